// Player reports come from web pages: whatever a page posts must be read
// without crashing, and what comes out must be sane.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/player/PlayerElement.h"
#include "platform/player/PlayerGeometry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telvanta::platform;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto report = ParsePageReport(text);
  if (!report) {
    return 0;
  }
  if (report->players.size() > 32) {
    std::abort();
  }
  for (const auto& player : report->players) {
    const auto& box = player.box;
    if (!std::isfinite(box.x) || !std::isfinite(box.y) || box.width < 0 || box.height < 0) {
      std::abort();
    }
    const PixelRect placed = PlayerBox(player, 1.5, {320, 240}, {636, 430});
    if (placed.width < 0 || placed.height < 0) {
      std::abort();
    }
  }
  return 0;
}
