#pragma once
// The user script that reports a page's player elements to the host.

namespace telvanta::platform {

// Our own script world, so page scripts can neither see nor break it.
inline constexpr const char* kPlayerScriptWorld = "telvanta-plugins";
inline constexpr const char* kPlayerMessageHandler = "telvantaPlayers";

// Posts {"title", "players": [...]} (see ParsePageReport) on load, scroll,
// resize, element resizes and DOM changes, at most once per frame. Exposes
// __telvanta.report() and __telvanta.setSize(id, cssWidth, cssHeight).
extern const char* const kPlayerReportScript;

}  // namespace telvanta::platform
