#include "platform/player/PlayerGeometry.h"

#include <algorithm>
#include <cmath>

#include "common/AsciiText.h"

namespace telvanta::platform {
namespace {

int Round(double value) { return static_cast<int>(std::lround(value)); }

bool IsTrue(std::string_view text) {
  const std::string value = AsciiLower(text);
  return value == "1" || value == "true" || value == "yes";
}

bool IsFalse(std::string_view text) {
  const std::string value = AsciiLower(text);
  return value == "0" || value == "false" || value == "no";
}

}  // namespace

PictureMode PictureModeFor(const PlayerElement& element) {
  if (element.kind == PlayerKind::RealPlayer && IsTrue(element.Param("center"))) {
    return PictureMode::NaturalCentred;
  }
  return PictureMode::Fit;
}

std::optional<VideoSize> SizelessPlayerSize(const PlayerElement& element, VideoSize video,
                                            VideoSize view) {
  if (element.HasSizeAttributes()) {
    return std::nullopt;
  }
  // "Do not centre" is the RealPlayer page's Fit to window; without the
  // param an element keeps the natural size.
  if (element.kind == PlayerKind::RealPlayer && IsFalse(element.Param("center"))) {
    return view.Known() ? std::optional(view) : std::nullopt;
  }
  if (!video.Known()) {
    return std::nullopt;
  }
  if (!view.Known()) {
    return video;
  }
  const PixelRect shown = PicturePlacement(view, video, PictureMode::NaturalCentred);
  return VideoSize{shown.width, shown.height};
}

PixelRect PlayerBox(const PlayerElement& element, double zoom, VideoSize video, VideoSize view) {
  if (!(zoom > 0)) {
    zoom = 1;
  }
  // Rounding both edges keeps neighbouring boxes free of gaps and overlaps.
  const int left = Round(element.box.x * zoom);
  const int top = Round(element.box.y * zoom);
  if (const auto size = SizelessPlayerSize(element, video, view)) {
    return {left, top, size->width, size->height};
  }
  const int right = Round((element.box.x + element.box.width) * zoom);
  const int bottom = Round((element.box.y + element.box.height) * zoom);
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

std::optional<CssRect> RequestedCssSize(const PlayerElement& element, double zoom, VideoSize video,
                                        VideoSize view) {
  const auto size = SizelessPlayerSize(element, video, view);
  if (!size || !(zoom > 0)) {
    return std::nullopt;
  }
  const CssRect wanted{element.box.x, element.box.y, size->width / zoom, size->height / zoom};
  // Half a CSS pixel is rounding, not a change worth a relayout.
  if (std::fabs(wanted.width - element.box.width) < 0.5 &&
      std::fabs(wanted.height - element.box.height) < 0.5) {
    return std::nullopt;
  }
  return wanted;
}

PixelRect PicturePlacement(VideoSize area, VideoSize video, PictureMode mode) {
  if (area.width <= 0 || area.height <= 0) {
    return {};
  }
  if (mode == PictureMode::Fit || !video.Known()) {
    return {0, 0, area.width, area.height};
  }
  int width = video.width;
  int height = video.height;
  if (width > area.width || height > area.height) {
    const double scale = std::min(static_cast<double>(area.width) / video.width,
                                  static_cast<double>(area.height) / video.height);
    width = std::max(1, Round(video.width * scale));
    height = std::max(1, Round(video.height * scale));
  }
  return {(area.width - width) / 2, (area.height - height) / 2, width, height};
}

}  // namespace telvanta::platform
