// Where players sit over the page and where their picture goes.

#include <gtest/gtest.h>

#include "platform/player/PlayerGeometry.h"

namespace telvanta::platform {
namespace {

PlayerElement Element(PlayerKind kind, CssRect box, bool sized, const char* center = nullptr) {
  PlayerElement element;
  element.kind = kind;
  element.box = box;
  if (sized) {
    element.widthAttr = "100%";
    element.heightAttr = "100%";
  }
  if (center != nullptr) {
    element.params["center"] = center;
  }
  return element;
}

TEST(PlayerBox, FollowsTheElementScaledByZoom) {
  const auto sized = Element(PlayerKind::WindowsMedia, {10, 20, 300, 200}, true);
  EXPECT_EQ(PlayerBox(sized, 1.0, {}), (PixelRect{10, 20, 300, 200}));
  EXPECT_EQ(PlayerBox(sized, 1.5, {}), (PixelRect{15, 30, 450, 300}));
  // A sized element keeps its box whatever the video's size.
  EXPECT_EQ(PlayerBox(sized, 1.0, {640, 480}), (PixelRect{10, 20, 300, 200}));
}

TEST(PlayerBox, EdgesAreRoundedSoNeighboursNeitherGapNorOverlap) {
  const auto left = Element(PlayerKind::WindowsMedia, {0, 0, 100.4, 10}, true);
  const auto right = Element(PlayerKind::WindowsMedia, {100.4, 0, 100, 10}, true);
  const PixelRect a = PlayerBox(left, 1.25, {});
  const PixelRect b = PlayerBox(right, 1.25, {});
  EXPECT_EQ(a.x + a.width, b.x);
}

TEST(PlayerBox, WithoutSizeAttributesThePlayerTakesTheVideosSize) {
  const auto bare = Element(PlayerKind::WindowsMedia, {5, 6, 300, 150}, false);
  EXPECT_EQ(PlayerBox(bare, 1.0, {}), (PixelRect{5, 6, 300, 150}));  // until it is known
  EXPECT_EQ(PlayerBox(bare, 1.0, {320, 240}), (PixelRect{5, 6, 320, 240}));
  EXPECT_EQ(PlayerBox(bare, 2.0, {320, 240}), (PixelRect{10, 12, 320, 240}));
}

TEST(PlayerBox, ANonsenseZoomCountsAsOne) {
  const auto sized = Element(PlayerKind::WindowsMedia, {1, 2, 3, 4}, true);
  EXPECT_EQ(PlayerBox(sized, 0.0, {}), (PixelRect{1, 2, 3, 4}));
  EXPECT_EQ(PlayerBox(sized, -2.0, {}), (PixelRect{1, 2, 3, 4}));
}

TEST(NaturalCssSize, AsksThePageForRoomOnlyWhenSomethingChanges) {
  const auto bare = Element(PlayerKind::WindowsMedia, {0, 0, 300, 150}, false);
  const auto wanted = NaturalCssSize(bare, 2.0, {320, 240});
  ASSERT_TRUE(wanted);
  EXPECT_DOUBLE_EQ(wanted->width, 160);
  EXPECT_DOUBLE_EQ(wanted->height, 120);
  const auto done = Element(PlayerKind::WindowsMedia, {0, 0, 160.2, 119.8}, false);
  EXPECT_FALSE(NaturalCssSize(done, 2.0, {320, 240}));
  EXPECT_FALSE(NaturalCssSize(bare, 1.0, {}));
  EXPECT_FALSE(
      NaturalCssSize(Element(PlayerKind::WindowsMedia, {0, 0, 1, 1}, true), 1.0, {320, 240}));
}

TEST(PictureModeFor, OnlyACentringRealPlayerKeepsNaturalSize) {
  EXPECT_EQ(PictureModeFor(Element(PlayerKind::RealPlayer, {}, true, "1")),
            PictureMode::NaturalCentred);
  EXPECT_EQ(PictureModeFor(Element(PlayerKind::RealPlayer, {}, true, "true")),
            PictureMode::NaturalCentred);
  EXPECT_EQ(PictureModeFor(Element(PlayerKind::RealPlayer, {}, true, "0")), PictureMode::Fit);
  EXPECT_EQ(PictureModeFor(Element(PlayerKind::RealPlayer, {}, true)), PictureMode::Fit);
  EXPECT_EQ(PictureModeFor(Element(PlayerKind::WindowsMedia, {}, true, "1")), PictureMode::Fit);
}

TEST(PicturePlacement, PlacesThePictureForEachMode) {
  struct Case {
    VideoSize area;
    VideoSize video;
    PictureMode mode;
    PixelRect expected;
  };
  const Case cases[] = {
      {{800, 600}, {320, 240}, PictureMode::Fit, {0, 0, 800, 600}},
      {{800, 600}, {320, 240}, PictureMode::NaturalCentred, {240, 180, 320, 240}},
      // Too big to fit: shrunk with its aspect, still centred.
      {{320, 320}, {640, 480}, PictureMode::NaturalCentred, {0, 40, 320, 240}},
      {{800, 600}, {}, PictureMode::NaturalCentred, {0, 0, 800, 600}},
      {{0, 600}, {320, 240}, PictureMode::Fit, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PicturePlacement(c.area, c.video, c.mode), c.expected);
  }
}

}  // namespace
}  // namespace telvanta::platform
