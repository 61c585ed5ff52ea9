#pragma once
// The player page of a play: the template for the URL's stream class, read
// through the keyed stream, with its placeholders filled in, written to
// "~tmp" + N + ".htm" in the user's page folder (the program folder may be
// read-only). Toolkit-free; the main window's
// PlayTV navigates to the page and runs the rest.

#include "common/DesCipher.h"
#include "common/Error.h"
#include "common/StreamClass.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace telvanta {

// The templates are enciphered with this key.
inline constexpr std::string_view TemplateKey = UpdateKey;

// Thrown for an address that is neither MMS, RTSP nor WEBCAM.
class UnknownStreamClassError : public Error {
 public:
  explicit UnknownStreamClassError(std::string url);
  const std::string& Url() const { return url_; }

 private:
  std::string url_;
};

// The text escaped for a double- or single-quoted HTML attribute value.
std::string EscapeHtmlAttribute(std::string_view text);

// The page text from a deciphered template: lines split at CR, LF or CR LF
// and joined with CR LF, "%Nivora_URL%" replaced by the escaped URL, and for
// "MMS" "%WidthHeight%", for "RTSP" "%CENTER%" by what stretch asks for.
std::string BuildPlayerPage(std::string_view templateText, StreamClass streamClass,
                            std::string_view url, std::string_view stretch);

// The text of a template that deciphers to something other than a page
// holding its URL placeholder: a damaged or foreign file.
std::string DamagedTemplateMessage(const std::filesystem::path& path);

class PlayerPageWriter {
 public:
  // Templates are read from dataFolder, pages written to pageFolder, which is
  // made (private to the user) when the first page is written.
  PlayerPageWriter(std::filesystem::path dataFolder, std::filesystem::path pageFolder);

  // Deletes the previous page, advances the counter, classifies the URL and
  // writes the new page from its template; returns the page's full path.
  // stretch is the Stretch setting's text. Throws UnknownStreamClassError
  // (after the counter moved, class unchanged), or Error "Cannot open file
  // ..." or DamagedTemplateMessage for the template and "Cannot create file
  // ..." for the page.
  std::filesystem::path WritePlayerPage(std::string_view url, std::string_view stretch);

  // Deletes the page numbered PageCounter (~tmp0.htm before any play); a
  // missing file or a failed deletion is silent.
  void DeleteCurrentPage() const;

  int PageCounter() const { return pageCounter_; }
  const std::string& PageFileName() const { return pageFileName_; }
  StreamClass CurrentStreamClass() const { return currentStreamClass_; }
  // Whether the current page shows its address through a player element
  // (webcam pages show a picture the browser loads itself).
  bool CurrentPageHasPlayer() const { return currentStreamClass_ != StreamClass::Webcam; }
  const std::filesystem::path& DataFolder() const { return dataFolder_; }
  const std::filesystem::path& PageFolder() const { return pageFolder_; }

 private:
  std::filesystem::path PagePath(int number) const;

  std::filesystem::path dataFolder_;
  std::filesystem::path pageFolder_;
  int pageCounter_ = 0;
  std::string pageFileName_;
  StreamClass currentStreamClass_ = StreamClass::None;
};

}  // namespace telvanta
