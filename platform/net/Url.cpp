#include "platform/net/Url.h"

#include <curl/curl.h>

#include <memory>

namespace telvanta::platform {

std::string ResolveUrl(const std::string& base, const std::string& reference) {
  struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
  };
  struct TextDeleter {
    void operator()(char* text) const { curl_free(text); }
  };
  std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
  if (!url ||
      curl_url_set(url.get(), CURLUPART_URL, base.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    return reference;
  }
  if (curl_url_set(url.get(), CURLUPART_URL, reference.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
      CURLUE_OK) {
    return reference;
  }
  char* raw = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &raw, 0) != CURLUE_OK) {
    return reference;
  }
  std::unique_ptr<char, TextDeleter> text(raw);
  return text.get();
}

}  // namespace telvanta::platform
