#include "common/Links.h"

#include <cctype>

#include "common/AsciiText.h"

namespace telvanta {

namespace {

// "https://host/path" gives "host/path".
std::string_view WithoutScheme(std::string_view address) {
  const auto scheme = address.find("://");
  return scheme == std::string_view::npos ? address : address.substr(scheme + 3);
}

// A leading "scheme://" (letters, digits, "+", "-", "." after a letter) or "mailto:".
bool HasScheme(std::string_view hint) {
  if (AsciiLower(hint.substr(0, 7)) == "mailto:") {
    return true;
  }
  std::size_t i = 0;
  while (i < hint.size() && (std::isalnum(static_cast<unsigned char>(hint[i])) != 0 ||
                             (i > 0 && (hint[i] == '+' || hint[i] == '-' || hint[i] == '.')))) {
    if (i == 0 && std::isalpha(static_cast<unsigned char>(hint[0])) == 0) {
      return false;
    }
    ++i;
  }
  return i > 0 && hint.substr(i, 3) == "://";
}

}  // namespace

std::string MakerSiteHost() { return std::string(WithoutScheme(MakerSite)); }

std::string SupportAddress() {
  std::string_view domain = WithoutScheme(MakerSite);
  domain = domain.substr(0, domain.find_first_of("/:"));
  if (AsciiLower(domain.substr(0, 4)) == "www.") {
    domain.remove_prefix(4);
  }
  return "support@" + std::string(domain);
}

std::string SupportMailAddress() {
  return "mailto:" + SupportAddress() + "?subject=About Telvanta";
}

// The report carries no secret and the report page asks for plain HTTP.
std::string BadLinkPage() {
  return "http://" + std::string(WithoutScheme(MakerSite)) + "/badlink.php";
}

std::string DownloadPage() { return std::string(MakerSite) + "/download.htm"; }

std::string UrlLabelAddress(TLabelType type, std::string_view hint) {
  if (HasScheme(hint)) {
    return std::string(hint);
  }
  // Forward slashes: desktop handlers do not read "http:\\" as a web address.
  switch (type) {
    case TLabelType::hmMAIL:
      return "mailto:" + std::string(hint);
    case TLabelType::hmFTP:
      return "ftp://" + std::string(hint);
    case TLabelType::hmHTTP:
      break;
  }
  return "http://" + std::string(hint);
}

}  // namespace telvanta
