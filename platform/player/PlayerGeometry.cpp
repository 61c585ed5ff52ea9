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

}  // namespace

PictureMode PictureModeFor(const PlayerElement& element) {
  if (element.kind == PlayerKind::RealPlayer && IsTrue(element.Param("center"))) {
    return PictureMode::NaturalCentred;
  }
  return PictureMode::Fit;
}

PixelRect PlayerBox(const PlayerElement& element, double zoom, VideoSize video) {
  if (!(zoom > 0)) {
    zoom = 1;
  }
  // Rounding both edges keeps neighbouring boxes free of gaps and overlaps.
  const int left = Round(element.box.x * zoom);
  const int top = Round(element.box.y * zoom);
  if (!element.HasSizeAttributes() && video.Known()) {
    return {left, top, video.width, video.height};
  }
  const int right = Round((element.box.x + element.box.width) * zoom);
  const int bottom = Round((element.box.y + element.box.height) * zoom);
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

std::optional<CssRect> NaturalCssSize(const PlayerElement& element, double zoom, VideoSize video) {
  if (element.HasSizeAttributes() || !video.Known() || !(zoom > 0)) {
    return std::nullopt;
  }
  const CssRect wanted{element.box.x, element.box.y, video.width / zoom, video.height / zoom};
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
