#pragma once
// Decisions about the first bytes of an answer: whether to read on, whether
// they are a playlist or a web page, and a playlist's first entry.

#include <optional>
#include <string>
#include <string_view>

namespace telvanta::health {

enum class BodyKind {
  Stream,  // media: the station answers
  WebPage,
  LineList,  // M3U, RAM: one address per line
  KeyList,   // PLS, [Reference]: File1=..., Ref1=...
  XmlList,   // ASX, XSPF, SMIL: read by the player's metafile parser
};

// Whether an answer may be a playlist (so it is read to its end, up to the
// byte limit) rather than a stream, whose first bytes are enough.
bool MayBePlaylist(std::string_view address, std::string_view contentType);

// Whether the bytes hold NULs or control characters: media, not a list.
bool LooksBinary(std::string_view bytes);

// What the body of an answer from `address` is.
BodyKind ClassifyBody(std::string_view address, std::string_view contentType,
                      std::string_view body);

// The first address a list names, made absolute against `address`; nullopt
// when it names none.
std::optional<std::string> FirstEntry(BodyKind kind, const std::string& body,
                                      const std::string& address);

}  // namespace telvanta::health
