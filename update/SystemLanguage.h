#pragma once
// The system default language as a Windows language identifier, taken from
// the locale the program runs under, and the gates of the catalogue refresh.
// Pure apart from SystemDefaultLangID(), which reads the environment.

#include <cstdint>
#include <optional>
#include <string_view>

namespace telvanta {

using LangId = std::uint16_t;

inline constexpr LangId LangGermanGermany = 1031;   // 0x0407
inline constexpr LangId LangEnglishUs = 1033;       // 0x0409
inline constexpr LangId LangChinesePrc = 2052;      // 0x0804
inline constexpr LangId LangEnglishBritain = 2057;  // 0x0809

// "de_DE.UTF-8@euro" gives 1031. "C", "POSIX" (with any code set) and an empty
// name give 1033, as a Windows system on which no language was chosen; a name
// the table does not know gives none.
std::optional<LangId> LanguageOfLocale(std::string_view locale);

// The locale of messages as the C library picks it: the first non-empty of
// LC_ALL, LC_MESSAGES and LANG. Null stands for unset.
std::optional<LangId> SystemDefaultLangID(const char* lcAll, const char* lcMessages,
                                          const char* lang);
// The same from this process's environment.
std::optional<LangId> SystemDefaultLangID();

// The refresh runs only for German (Germany), English (US) and Chinese (PRC),
// compared as whole identifiers; then when AutoUpdate is exactly "1", or while
// FirstRun is not "1" (the first run, before the main window was ever closed).
bool CatalogueRefreshAllowed(std::optional<LangId> language, std::string_view autoUpdate,
                             std::string_view firstRun);

}  // namespace telvanta
