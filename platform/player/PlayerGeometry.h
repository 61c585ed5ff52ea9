#pragma once
// Where a player widget goes over the page and where its picture goes in it.

#include <optional>

#include "platform/player/PlayerElement.h"

namespace telvanta::platform {

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

struct VideoSize {
  int width = 0;
  int height = 0;
  bool Known() const { return width > 0 && height > 0; }
  bool operator==(const VideoSize&) const = default;
};

enum class PictureMode {
  Fit,            // scaled to the widget, aspect kept
  NaturalCentred  // at its own size in the middle (shrunk only if it does not fit)
};

// RealPlayer elements centre at natural size when their "center" param is
// true; everything else fits the picture to the element.
PictureMode PictureModeFor(const PlayerElement& element);

// The size in widget pixels of a player whose element has no size
// attributes, inside a view of `view` pixels (unknown: no limit). A
// RealPlayer whose "center" param is false fills the view, as a Windows
// Media player of 100% does; any other takes the video's own size, shrunk
// with its aspect kept when it does not fit. nullopt when the element's own
// box stands.
std::optional<VideoSize> SizelessPlayerSize(const PlayerElement& element, VideoSize video,
                                            VideoSize view);

// Widget box over the view: the element's box scaled by the zoom level, or
// at the size above once the page has not yet made room for it.
PixelRect PlayerBox(const PlayerElement& element, double zoom, VideoSize video, VideoSize view);

// The CSS size the page should give an element without size attributes so
// that the page flows around the player; nullopt when nothing should change.
std::optional<CssRect> RequestedCssSize(const PlayerElement& element, double zoom, VideoSize video,
                                        VideoSize view);

// The rectangle inside a widget of `area` where the engine's picture is
// drawn, and at which size it is rendered. For Fit the engine letterboxes
// into the whole area itself.
PixelRect PicturePlacement(VideoSize area, VideoSize video, PictureMode mode);

}  // namespace telvanta::platform
