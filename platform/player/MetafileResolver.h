#pragma once
// Reads a playlist or metafile (ASX, RAM, SMIL, XSPF, ...) into the stream
// addresses it names. Blocking: run it on a worker, never on the UI thread.

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "platform/player/PlaybackFailure.h"

namespace telvanta::platform {

struct MetafileEntry {
  std::string address;
  std::string title;
};

struct MetafileResult {
  std::vector<MetafileEntry> entries;
  std::string title;  // the playlist's own title, when it has one
  Failure failure;    // kind None when entries were found
};

// Fetches an http(s) address (or reads a local file or file:// address) of
// at most 1 MiB within `timeout` and parses it with totem-pl-parser.
// Setting `cancelled` makes it return soon with FailureKind::Unknown.
MetafileResult ResolveMetafile(const std::string& address, std::chrono::milliseconds timeout,
                               const std::atomic<bool>& cancelled);

// Parses a playlist file on this machine where it lies, at any size; entries
// with relative paths resolve against its folder. Failure NotFound when it is
// not a readable file, UnsupportedFormat when the parser does not take it,
// EmptyPlaylist when it names nothing.
MetafileResult ReadPlaylistFile(const std::string& path);

// Parses a list already fetched from `address`, which gives its kind (by the
// ending) and the base of relative entries.
MetafileResult ParseMetafile(const std::string& body, const std::string& address);

}  // namespace telvanta::platform
