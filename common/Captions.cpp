#include "common/Captions.h"

namespace telvanta {

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  // Bytes compare unsigned, so any non-ASCII ending also counts as "after".
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
    text += '.';
  }
  return text;
}

std::string GtkMnemonic(std::string_view caption) {
  std::string out;
  out.reserve(caption.size() + 1);
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      } else {
        out += '_';
      }
    } else if (c == '_') {
      out += "__";
    } else {
      out += c;
    }
  }
  return out;
}

std::string StripMnemonic(std::string_view caption) {
  std::string out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace telvanta
