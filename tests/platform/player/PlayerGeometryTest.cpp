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
  EXPECT_EQ(PlayerBox(sized, 1.0, {}, {}), (PixelRect{10, 20, 300, 200}));
  EXPECT_EQ(PlayerBox(sized, 1.5, {}, {}), (PixelRect{15, 30, 450, 300}));
  // A sized element keeps its box whatever the video's size.
  EXPECT_EQ(PlayerBox(sized, 1.0, {640, 480}, {100, 100}), (PixelRect{10, 20, 300, 200}));
}

TEST(PlayerBox, EdgesAreRoundedSoNeighboursNeitherGapNorOverlap) {
  const auto left = Element(PlayerKind::WindowsMedia, {0, 0, 100.4, 10}, true);
  const auto right = Element(PlayerKind::WindowsMedia, {100.4, 0, 100, 10}, true);
  const PixelRect a = PlayerBox(left, 1.25, {}, {});
  const PixelRect b = PlayerBox(right, 1.25, {}, {});
  EXPECT_EQ(a.x + a.width, b.x);
}

TEST(PlayerBox, WithoutSizeAttributesThePlayerTakesTheVideosSize) {
  const auto bare = Element(PlayerKind::WindowsMedia, {5, 6, 300, 150}, false);
  EXPECT_EQ(PlayerBox(bare, 1.0, {}, {}), (PixelRect{5, 6, 300, 150}));  // until it is known
  EXPECT_EQ(PlayerBox(bare, 1.0, {320, 240}, {636, 430}), (PixelRect{5, 6, 320, 240}));
  EXPECT_EQ(PlayerBox(bare, 2.0, {320, 240}, {}), (PixelRect{10, 12, 320, 240}));
  EXPECT_EQ(PlayerBox(bare, 1.0, {1280, 720}, {636, 430}), (PixelRect{5, 6, 636, 358}));
}

TEST(PlayerBox, ANonsenseZoomCountsAsOne) {
  const auto sized = Element(PlayerKind::WindowsMedia, {1, 2, 3, 4}, true);
  EXPECT_EQ(PlayerBox(sized, 0.0, {}, {}), (PixelRect{1, 2, 3, 4}));
  EXPECT_EQ(PlayerBox(sized, -2.0, {}, {}), (PixelRect{1, 2, 3, 4}));
}

TEST(SizelessPlayerSize, NaturalSizeShrinksIntoTheViewAndAnUncentredRealPlayerFillsIt) {
  struct Case {
    PlayerKind kind;
    const char* center;
    VideoSize video;
    VideoSize view;
    std::optional<VideoSize> expected;
  };
  constexpr auto WMP = PlayerKind::WindowsMedia;
  constexpr auto RP = PlayerKind::RealPlayer;
  const Case cases[] = {
      {WMP, nullptr, {320, 240}, {636, 430}, VideoSize{320, 240}},
      {WMP, nullptr, {1280, 720}, {636, 430}, VideoSize{636, 358}},
      {WMP, nullptr, {480, 640}, {636, 430}, VideoSize{323, 430}},
      {WMP, nullptr, {1280, 720}, {}, VideoSize{1280, 720}},  // view not laid out yet
      {WMP, nullptr, {}, {636, 430}, std::nullopt},
      {RP, "1", {320, 240}, {636, 430}, VideoSize{320, 240}},
      {RP, "1", {1280, 720}, {636, 430}, VideoSize{636, 358}},
      {RP, "0", {320, 240}, {636, 430}, VideoSize{636, 430}},
      {RP, "0", {}, {636, 430}, VideoSize{636, 430}},  // before the video is known
      {RP, "false", {1280, 720}, {636, 430}, VideoSize{636, 430}},
      {RP, nullptr, {1280, 720}, {636, 430}, VideoSize{636, 358}},  // another page's
      {RP, "0", {320, 240}, {}, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto element = Element(c.kind, {0, 0, 300, 150}, false, c.center);
    EXPECT_EQ(SizelessPlayerSize(element, c.video, c.view), c.expected)
        << (c.kind == RP ? "RP " : "WMP ") << (c.center ? c.center : "-") << " " << c.video.width
        << "x" << c.video.height << " in " << c.view.width << "x" << c.view.height;
  }
  // Size attributes leave the size to the page.
  EXPECT_FALSE(SizelessPlayerSize(Element(RP, {}, true, "0"), {320, 240}, {636, 430}));
}

TEST(RequestedCssSize, AsksThePageForRoomOnlyWhenSomethingChanges) {
  const auto bare = Element(PlayerKind::WindowsMedia, {0, 0, 300, 150}, false);
  const auto wanted = RequestedCssSize(bare, 2.0, {320, 240}, {});
  ASSERT_TRUE(wanted);
  EXPECT_DOUBLE_EQ(wanted->width, 160);
  EXPECT_DOUBLE_EQ(wanted->height, 120);
  const auto done = Element(PlayerKind::WindowsMedia, {0, 0, 160.2, 119.8}, false);
  EXPECT_FALSE(RequestedCssSize(done, 2.0, {320, 240}, {}));
  EXPECT_FALSE(RequestedCssSize(bare, 1.0, {}, {636, 430}));
  EXPECT_FALSE(RequestedCssSize(Element(PlayerKind::WindowsMedia, {0, 0, 1, 1}, true), 1.0,
                                {320, 240}, {636, 430}));
  // A RealPlayer that fills the view follows it in CSS pixels.
  const auto filling = Element(PlayerKind::RealPlayer, {0, 0, 300, 150}, false, "0");
  const auto fill = RequestedCssSize(filling, 2.0, {}, {636, 430});
  ASSERT_TRUE(fill);
  EXPECT_DOUBLE_EQ(fill->width, 318);
  EXPECT_DOUBLE_EQ(fill->height, 215);
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
