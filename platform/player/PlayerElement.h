#pragma once
// What the page reports about each embedded player element, and how a
// report (JSON from our user script) is read. No toolkit here.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvanta::platform {

enum class PlayerKind { WindowsMedia, RealPlayer };

// The player kind for an element's MIME type or ActiveX class id, if it is one of ours.
std::optional<PlayerKind> PlayerKindFor(std::string_view mimeType, std::string_view classId = {});

struct CssRect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  bool operator==(const CssRect&) const = default;
};

struct PlayerElement {
  int id = 0;  // stable for the element's life in the page
  PlayerKind kind = PlayerKind::WindowsMedia;
  std::string type;       // MIME type as written
  std::string address;    // what to play
  std::string widthAttr;  // as written; empty when absent
  std::string heightAttr;
  std::map<std::string, std::string> params;  // <param> names in lower case
  std::string title;                          // title or name attribute
  CssRect box;                                // border box in CSS px, viewport-relative
  bool visible = true;

  bool HasSizeAttributes() const { return !widthAttr.empty() || !heightAttr.empty(); }
  // A <param> value by case-insensitive name; empty when absent.
  std::string Param(std::string_view name) const;
  // Whether the page asked not to start playing by itself.
  bool AutoStartOff() const;
};

struct PageReport {
  std::string title;
  std::vector<PlayerElement> players;
};

// Reads one report. Entries that are not players or are malformed are
// skipped; nullopt when the text is not a report at all.
std::optional<PageReport> ParsePageReport(std::string_view json);

// The address to hand to the engine, from the attribute as written and the
// address the page resolved against its base: absolute addresses of any
// scheme stay as written (the page resolver would mangle mms://, rtsp://).
std::string ChooseMediaAddress(std::string_view written, std::string_view resolved);

}  // namespace telvanta::platform
