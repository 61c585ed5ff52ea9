// The network, archive and playlist libraries open on their first call, not
// at start: with what they pull in they are some thirty shared objects that
// every start would map and relocate for features it does not use yet. Only
// the program links this file; each function here stands in for the
// library's own and forwards to it.

#define CURL_DISABLE_TYPECHECK  // the real declarations, not the checking macros
#include <archive.h>
#include <archive_entry.h>
#include <curl/curl.h>
#include <dlfcn.h>
#include <totem-pl-parser.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

void* Open(const char* soname) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_GLOBAL);
  if (library == nullptr) {
    // The package depends on it: an installation without it is broken.
    std::fprintf(stderr, "Telvanta can't open %s: %s\n", soname, dlerror());
    std::abort();
  }
  return library;
}

void* Curl() {
  static void* const library = Open("libcurl.so.4");
  return library;
}

void* Archive() {
  static void* const library = Open("libarchive.so.13");
  return library;
}

void* Totem() {
  static void* const library = Open("libtotem-plparser.so.18");
  return library;
}

template <typename Function>
Function Resolve(void* library, const char* name) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    std::fprintf(stderr, "Telvanta can't find %s: %s\n", name, dlerror());
    std::abort();
  }
  return reinterpret_cast<Function>(symbol);
}

// The option types curl encodes in its option numbers, for the one value the
// variadic calls take.
template <typename Real, typename Handle, typename Option>
CURLcode ForwardOption(Real real, Handle handle, Option option, va_list values) {
  if (option < CURLOPTTYPE_OBJECTPOINT) {
    return static_cast<CURLcode>(real(handle, option, va_arg(values, long)));
  }
  if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB) {
    return static_cast<CURLcode>(real(handle, option, va_arg(values, curl_off_t)));
  }
  return static_cast<CURLcode>(real(handle, option, va_arg(values, void*)));
}

}  // namespace

#define TELVANTA_FORWARD(library, result, name, parameters, arguments)   \
  extern "C" result name parameters {                                    \
    static const auto real = Resolve<decltype(&name)>(library(), #name); \
    return real arguments;                                               \
  }

TELVANTA_FORWARD(Curl, CURLcode, curl_global_init, (long flags), (flags))
TELVANTA_FORWARD(Curl, CURL*, curl_easy_init, (), ())
TELVANTA_FORWARD(Curl, CURLcode, curl_easy_perform, (CURL * handle), (handle))
TELVANTA_FORWARD(Curl, void, curl_easy_cleanup, (CURL * handle), (handle))
TELVANTA_FORWARD(Curl, const char*, curl_easy_strerror, (CURLcode code), (code))
TELVANTA_FORWARD(Curl, void, curl_free, (void* pointer), (pointer))
TELVANTA_FORWARD(Curl, curl_slist*, curl_slist_append, (curl_slist * list, const char* text),
                 (list, text))
TELVANTA_FORWARD(Curl, void, curl_slist_free_all, (curl_slist * list), (list))
TELVANTA_FORWARD(Curl, CURLM*, curl_multi_init, (), ())
TELVANTA_FORWARD(Curl, CURLMcode, curl_multi_add_handle, (CURLM * multi, CURL* handle),
                 (multi, handle))
TELVANTA_FORWARD(Curl, CURLMcode, curl_multi_remove_handle, (CURLM * multi, CURL* handle),
                 (multi, handle))
TELVANTA_FORWARD(Curl, CURLMcode, curl_multi_perform, (CURLM * multi, int* running),
                 (multi, running))
TELVANTA_FORWARD(Curl, CURLMcode, curl_multi_poll,
                 (CURLM * multi, curl_waitfd* extra, unsigned int count, int timeout, int* ready),
                 (multi, extra, count, timeout, ready))
TELVANTA_FORWARD(Curl, CURLMsg*, curl_multi_info_read, (CURLM * multi, int* left), (multi, left))
TELVANTA_FORWARD(Curl, CURLMcode, curl_multi_cleanup, (CURLM * multi), (multi))
TELVANTA_FORWARD(Curl, CURLU*, curl_url, (), ())
TELVANTA_FORWARD(Curl, void, curl_url_cleanup, (CURLU * url), (url))
TELVANTA_FORWARD(Curl, CURLUcode, curl_url_set,
                 (CURLU * url, CURLUPart part, const char* text, unsigned int flags),
                 (url, part, text, flags))
TELVANTA_FORWARD(Curl, CURLUcode, curl_url_get,
                 (CURLU * url, CURLUPart part, char** text, unsigned int flags),
                 (url, part, text, flags))

extern "C" CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
  static const auto real =
      Resolve<CURLcode (*)(CURL*, CURLoption, ...)>(Curl(), "curl_easy_setopt");
  va_list values;
  va_start(values, option);
  const CURLcode result = ForwardOption(real, handle, option, values);
  va_end(values);
  return result;
}

extern "C" CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
  static const auto real =
      Resolve<CURLMcode (*)(CURLM*, CURLMoption, ...)>(Curl(), "curl_multi_setopt");
  va_list values;
  va_start(values, option);
  const auto result = static_cast<CURLMcode>(ForwardOption(real, multi, option, values));
  va_end(values);
  return result;
}

// Every piece of information is asked for through a pointer.
extern "C" CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
  static const auto real = Resolve<CURLcode (*)(CURL*, CURLINFO, ...)>(Curl(), "curl_easy_getinfo");
  va_list values;
  va_start(values, info);
  void* target = va_arg(values, void*);
  va_end(values);
  return real(handle, info, target);
}

TELVANTA_FORWARD(Archive, archive*, archive_read_new, (), ())
TELVANTA_FORWARD(Archive, int, archive_read_support_format_zip, (archive * a), (a))
TELVANTA_FORWARD(Archive, int, archive_read_open_filename,
                 (archive * a, const char* file, size_t block), (a, file, block))
TELVANTA_FORWARD(Archive, int, archive_read_next_header, (archive * a, archive_entry** entry),
                 (a, entry))
TELVANTA_FORWARD(Archive, la_ssize_t, archive_read_data, (archive * a, void* buffer, size_t size),
                 (a, buffer, size))
TELVANTA_FORWARD(Archive, int, archive_read_data_block,
                 (archive * a, const void** buffer, size_t* size, la_int64_t* offset),
                 (a, buffer, size, offset))
TELVANTA_FORWARD(Archive, int, archive_read_free, (archive * a), (a))
TELVANTA_FORWARD(Archive, const char*, archive_error_string, (archive * a), (a))
TELVANTA_FORWARD(Archive, const char*, archive_entry_pathname, (archive_entry * entry), (entry))
TELVANTA_FORWARD(Archive, __LA_MODE_T, archive_entry_filetype, (archive_entry * entry), (entry))
TELVANTA_FORWARD(Archive, const char*, archive_entry_hardlink, (archive_entry * entry), (entry))

TELVANTA_FORWARD(Totem, TotemPlParser*, totem_pl_parser_new, (), ())
TELVANTA_FORWARD(Totem, TotemPlParserResult, totem_pl_parser_parse_with_base,
                 (TotemPlParser * parser, const char* uri, const char* base, gboolean fallback),
                 (parser, uri, base, fallback))
