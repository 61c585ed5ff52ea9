#pragma once
// Decisions about a media address before it is opened: which playlists and
// metafiles the engine reads itself, which need our resolver, and the
// transports an mms:// address is tried over.

#include <string>
#include <string_view>
#include <vector>

namespace telvanta::platform {

enum class PlaylistKind {
  None,  // a media address
  M3u,   // .m3u, .m3u8 (HLS or plain lists)
  Pls,
  Asx,  // .asx, .wvx, .wax, .wmx
  Ram,  // .ram, .rpm
  Smil,
  Xspf,
};

// The kind named by the address's path ending (query and fragment ignored).
PlaylistKind PlaylistKindOf(std::string_view address);

// The engine reads M3U/HLS and PLS itself; the rest go through the resolver.
bool NeedsMetafileResolver(PlaylistKind kind);

// The addresses to try, in order, for one address. An mms:// address is
// tried as MMS over HTTP and then over TCP; everything else as is.
std::vector<std::string> TransportAttempts(std::string_view address);

// The address with its scheme in lower case ("HTTP://" appears in station
// lists; the engine knows only "http://").
std::string NormalizeScheme(std::string_view address);

// Whether the engine may open the address: a local path, or a scheme of a
// network stream or local file. Others (av://, edl://, fd://, ...) would let
// a page open devices or descriptors.
bool IsPlayableAddress(std::string_view address);

// Host part of an address for messages ("" when there is none).
std::string HostOf(std::string_view address);

// Whether the address goes over the network (so a time-out applies).
bool IsNetworkAddress(std::string_view address);

}  // namespace telvanta::platform
