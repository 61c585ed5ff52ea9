// Help addresses come from links inside help pages, and contents files from
// the help file itself: whatever they hold must be read without crashing, and
// what comes out must keep the forms the help window relies on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/chm/ChmFile.h"
#include "platform/chm/HelpAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace telvanta::platform;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto help = ParseHelpAddress(text)) {
    if (help->file.empty() || (!help->topic.empty() && help->topic.front() == '/') ||
        help->topic.find('#') != std::string::npos || help->topic.find('\\') != std::string::npos) {
      std::abort();
    }
  }
  const HelpLink link = ClassifyHelpLink(text);
  if (link == HelpLink::OtherHelp && !ParseHelpAddress(text)) {
    std::abort();
  }
  if (const auto first = FirstLocalTopic(text); first && first->size() > size) {
    std::abort();
  }
  HelpMimeType(text);
  return 0;
}
