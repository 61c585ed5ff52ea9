#pragma once
// Skin files: what they hold and how they are read. This is the one place
// that describes the formats.
//
// A skin is a GTK CSS style sheet for the whole program. It selects widgets
// by type ("button", "treeview"), style class (".toolbutton") and component
// name, which every window keeps as its widgets' names ("#TeButton6",
// "#ListBox1", "#frmmain"). Links are "label.link" (":active" while
// pressed), blue and red unless a skin colours them; a rule for all labels
// of a place colours its links too. The file's extension says how it is
// packed:
//
//   .uskn   A plain style sheet in UTF-8. Relative url() names are pictures
//           in the folder of the file.
//   .mskn   A ZIP archive (stored or deflated) holding "skin.css" at its top
//   .kskn   and the pictures that sheet names, by their stored names
//   .xskn   (url("pictures/tab.svg")). Pictures are read straight from the
//           archive into memory and handed to the toolkit under
//           "telvanta-skin:" addresses; nothing is unpacked. A sheet naming
//           a picture the archive lacks is refused.
//   .theme  A small INI file (UTF-8, GLib key file syntax):
//               [Skin]
//               Name=Windows Vista
//               Author=Telvanta
//               StyleSheet=vista/skin.css
//           StyleSheet is required and relative to the .theme file's folder;
//           the sheet is read as a .uskn, its pictures beside it.
//   .msstyles  Windows visual style binaries. They cannot be read on this
//           platform and always fail to load.
//
// url() names with a scheme ("data:", "resource:") are left as they are.
// Toolkit-free; the style sheet's own syntax is checked by the toolkit.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "skins/SkinPictures.h"

namespace telvanta::skins {

struct Skin {
  std::string styleSheet;  // url() names resolved, ready for the toolkit
  std::string name;        // from a .theme; the file's stem otherwise
  std::string author;
  PictureSet pictures;  // a packed skin's, by the URLs its sheet now names
};

struct SkinFileRead {
  std::optional<Skin> skin;
  std::string error;  // why there is no skin, naming the file
};

// Reads a skin file of any of the formats above. Nothing is thrown.
SkinFileRead ReadSkinFile(const std::filesystem::path& file);

// Replaces every url() name of the sheet by what `resolve` gives for it
// (comments and strings are skipped); none when `resolve` gives none for a
// name, which is then put in *unresolved.
using UrlResolver = std::function<std::optional<std::string>(std::string_view name)>;
std::optional<std::string> RewriteUrls(std::string_view css, const UrlResolver& resolve,
                                       std::string* unresolved = nullptr);

// The extensions the file dialog offers, lower case with their dot.
inline constexpr std::string_view SkinExtensions[] = {".msstyles", ".uskn", ".kskn",
                                                      ".xskn",     ".mskn", ".theme"};

}  // namespace telvanta::skins
