#include "common/StreamClass.h"

#include <array>

#include "common/AsciiText.h"

namespace telvanta {

namespace {

// Only a to z change (AsciiUpper): the text is bytes, and the user's locale
// must not decide what an ending is.
bool EqualsUpper(std::string_view part, std::string_view code) {
  if (part.size() != code.size()) {
    return false;
  }
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (AsciiUpper(part[i]) != code[i]) {
      return false;
    }
  }
  return true;
}

bool HasPrefix(std::string_view text, std::string_view code) {
  return text.size() >= code.size() && EqualsUpper(text.substr(0, code.size()), code);
}

bool HasSuffix(std::string_view text, std::string_view code) {
  return text.size() >= code.size() && EqualsUpper(text.substr(text.size() - code.size()), code);
}

enum class Where { Prefix, Suffix };

struct ClassRule {
  Where where;
  std::string_view code;
  StreamClass streamClass;
};

// First match decides: schemes, then endings, then the http prefix.
constexpr std::array<ClassRule, 18> ClassRules{{
    {Where::Prefix, "MMS", StreamClass::Mms},
    {Where::Prefix, "RTSP", StreamClass::Rtsp},
    {Where::Prefix, "PNM", StreamClass::Rtsp},
    {Where::Suffix, "ASX", StreamClass::Mms},
    {Where::Suffix, "WMV", StreamClass::Mms},
    {Where::Suffix, "WMX", StreamClass::Mms},
    {Where::Suffix, "ASF", StreamClass::Mms},
    {Where::Suffix, "WVX", StreamClass::Mms},
    {Where::Suffix, "RAM", StreamClass::Rtsp},
    {Where::Suffix, "SMIL", StreamClass::Rtsp},
    {Where::Suffix, "RAMX", StreamClass::Rtsp},
    {Where::Suffix, "SMI", StreamClass::Rtsp},
    {Where::Suffix, "RPM", StreamClass::Rtsp},
    {Where::Suffix, "PLS", StreamClass::Rtsp},
    {Where::Suffix, "RM", StreamClass::Rtsp},
    {Where::Suffix, "JPG", StreamClass::Webcam},
    {Where::Suffix, "JPEG", StreamClass::Webcam},
    {Where::Prefix, "HTTP", StreamClass::Mms},
}};

}  // namespace

std::string_view StreamClassText(StreamClass streamClass) {
  switch (streamClass) {
    case StreamClass::Mms:
      return "MMS";
    case StreamClass::Rtsp:
      return "RTSP";
    case StreamClass::Webcam:
      return "WEBCAM";
    case StreamClass::None:
      break;
  }
  return {};
}

StreamClass ClassifyStream(std::string_view url) {
  for (const ClassRule& rule : ClassRules) {
    const bool match =
        rule.where == Where::Prefix ? HasPrefix(url, rule.code) : HasSuffix(url, rule.code);
    if (match) {
      return rule.streamClass;
    }
  }
  return StreamClass::None;
}

std::string ClassifyUrl(std::string_view url) {
  return std::string(StreamClassText(ClassifyStream(url)));
}

}  // namespace telvanta
