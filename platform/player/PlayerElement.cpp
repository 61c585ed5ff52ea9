#include "platform/player/PlayerElement.h"

#include <json-glib/json-glib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

#include "common/AsciiText.h"
#include "platform/glib/GObjectPtr.h"

namespace telvanta::platform {
namespace {

// A hostile page must not make us host thousands of players or huge strings.
constexpr std::size_t kMaxPlayers = 32;
constexpr std::size_t kMaxText = 8192;
constexpr double kMaxCoordinate = 1e6;
// Our script caps every text; anything near this is not from it.
constexpr std::size_t kMaxReport = 4 << 20;

std::string StringMember(JsonObject* object, const char* name) {
  JsonNode* node = json_object_get_member(object, name);
  if (node == nullptr || !JSON_NODE_HOLDS_VALUE(node) ||
      json_node_get_value_type(node) != G_TYPE_STRING) {
    return {};
  }
  std::string text = json_node_get_string(node);
  if (text.size() > kMaxText) {
    text.resize(kMaxText);
  }
  return text;
}

std::optional<double> NumberMember(JsonObject* object, const char* name) {
  JsonNode* node = json_object_get_member(object, name);
  if (node == nullptr || !JSON_NODE_HOLDS_VALUE(node)) {
    return std::nullopt;
  }
  const GType type = json_node_get_value_type(node);
  if (type != G_TYPE_DOUBLE && type != G_TYPE_INT64) {
    return std::nullopt;
  }
  const double value = json_node_get_double(node);
  if (!std::isfinite(value) || std::fabs(value) > kMaxCoordinate) {
    return std::nullopt;
  }
  return value;
}

std::optional<CssRect> ReadRect(JsonObject* player) {
  JsonNode* node = json_object_get_member(player, "rect");
  if (node == nullptr || !JSON_NODE_HOLDS_OBJECT(node)) {
    return std::nullopt;
  }
  JsonObject* rect = json_node_get_object(node);
  const auto x = NumberMember(rect, "x");
  const auto y = NumberMember(rect, "y");
  const auto w = NumberMember(rect, "w");
  const auto h = NumberMember(rect, "h");
  if (!x || !y || !w || !h || *w < 0 || *h < 0) {
    return std::nullopt;
  }
  return CssRect{*x, *y, *w, *h};
}

std::map<std::string, std::string> ReadParams(JsonObject* player) {
  std::map<std::string, std::string> params;
  JsonNode* node = json_object_get_member(player, "params");
  if (node == nullptr || !JSON_NODE_HOLDS_OBJECT(node)) {
    return params;
  }
  JsonObject* object = json_node_get_object(node);
  GList* names = json_object_get_members(object);
  for (GList* item = names; item != nullptr && params.size() < kMaxPlayers * 4; item = item->next) {
    const auto* name = static_cast<const char*>(item->data);
    params.emplace(AsciiLower(name), StringMember(object, name));
  }
  g_list_free(names);
  return params;
}

std::optional<PlayerElement> ReadPlayer(JsonNode* node) {
  if (node == nullptr || !JSON_NODE_HOLDS_OBJECT(node)) {
    return std::nullopt;
  }
  JsonObject* object = json_node_get_object(node);
  PlayerElement element;
  element.type = StringMember(object, "type");
  const auto kind = PlayerKindFor(element.type, StringMember(object, "classid"));
  const auto id = NumberMember(object, "id");
  const auto rect = ReadRect(object);
  if (!kind || !id || !rect) {
    return std::nullopt;
  }
  element.kind = *kind;
  element.id = static_cast<int>(*id);
  element.box = *rect;
  element.widthAttr = std::string(TrimAsciiSpace(StringMember(object, "width")));
  element.heightAttr = std::string(TrimAsciiSpace(StringMember(object, "height")));
  element.title = StringMember(object, "title");
  element.params = ReadParams(object);
  element.visible = !json_object_has_member(object, "visible") ||
                    json_object_get_boolean_member_with_default(object, "visible", TRUE);
  std::string written = StringMember(object, "data");
  std::string resolved = StringMember(object, "href");
  // Pages written for the old plug-ins name the address in a <param>.
  for (const char* name : {"url", "src", "filename"}) {
    if (!written.empty()) {
      break;
    }
    written = element.Param(name);
    resolved.clear();
  }
  element.address = ChooseMediaAddress(written, resolved);
  return element;
}

}  // namespace

std::optional<PlayerKind> PlayerKindFor(std::string_view mimeType, std::string_view classId) {
  const std::string type = AsciiLower(TrimAsciiSpace(mimeType));
  if (type == "application/x-ms-wmp" || type == "video/x-ms-asf" ||
      type == "application/x-mplayer2") {
    return PlayerKind::WindowsMedia;
  }
  if (type == "audio/x-pn-realaudio-plugin" || type == "audio/x-pn-realaudio") {
    return PlayerKind::RealPlayer;
  }
  std::string id = AsciiLower(TrimAsciiSpace(classId));
  if (id.starts_with("clsid:")) {
    id.erase(0, 6);
  }
  if (id == "6bf52a52-394a-11d3-b153-00c04f79faa6" ||
      id == "22d6f312-b0f6-11d0-94ab-0080c74c7e95") {
    return PlayerKind::WindowsMedia;
  }
  if (id == "cfcdaa03-8be4-11cf-b84b-0020afbbccfa") {
    return PlayerKind::RealPlayer;
  }
  return std::nullopt;
}

std::string PlayerElement::Param(std::string_view name) const {
  const auto found = params.find(AsciiLower(name));
  return found == params.end() ? std::string() : found->second;
}

bool PlayerElement::AutoStartOff() const {
  for (const char* name : {"autostart", "autoplay"}) {
    const std::string value = AsciiLower(TrimAsciiSpace(Param(name)));
    if (value == "false" || value == "0" || value == "no") {
      return true;
    }
  }
  return false;
}

std::optional<PageReport> ParsePageReport(std::string_view json) {
  if (json.size() > kMaxReport) {
    return std::nullopt;
  }
  GObjectPtr<JsonParser> parser(json_parser_new_immutable());
  if (!json_parser_load_from_data(parser.get(), json.data(), static_cast<gssize>(json.size()),
                                  nullptr)) {
    return std::nullopt;
  }
  JsonNode* root = json_parser_get_root(parser.get());
  if (root == nullptr || !JSON_NODE_HOLDS_OBJECT(root)) {
    return std::nullopt;
  }
  JsonObject* object = json_node_get_object(root);
  JsonNode* list = json_object_get_member(object, "players");
  if (list == nullptr || !JSON_NODE_HOLDS_ARRAY(list)) {
    return std::nullopt;
  }
  PageReport report;
  report.title = StringMember(object, "title");
  JsonArray* array = json_node_get_array(list);
  const guint count = json_array_get_length(array);
  for (guint i = 0; i < count && report.players.size() < kMaxPlayers; ++i) {
    auto element = ReadPlayer(json_array_get_element(array, i));
    const bool duplicate =
        element && std::any_of(report.players.begin(), report.players.end(),
                               [&](const PlayerElement& seen) { return seen.id == element->id; });
    if (element && !duplicate) {
      report.players.push_back(std::move(*element));
    }
  }
  return report;
}

std::string ChooseMediaAddress(std::string_view written, std::string_view resolved) {
  const std::string_view trimmed = TrimAsciiSpace(written);
  if (trimmed.empty()) {
    return {};
  }
  // A scheme is at least two characters, so "C:\..." is not one.
  const auto colon = trimmed.find(':');
  const bool hasScheme =
      colon != std::string_view::npos && colon >= 2 &&
      std::isalpha(static_cast<unsigned char>(trimmed[0])) &&
      std::all_of(
          trimmed.begin(), trimmed.begin() + static_cast<std::ptrdiff_t>(colon),
          [](unsigned char c) { return std::isalnum(c) != 0 || c == '+' || c == '-' || c == '.'; });
  if (hasScheme || trimmed.front() == '/' || resolved.empty()) {
    return std::string(trimmed);
  }
  return std::string(resolved);
}

}  // namespace telvanta::platform
