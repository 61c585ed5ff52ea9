#include "common/Links.h"

namespace telvanta {

std::string BadLinkPage() { return "http://" + std::string(MakerSite) + "/badlink.php"; }

std::string UrlLabelAddress(TLabelType type, std::string_view hint) {
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
