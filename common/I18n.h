#pragma once
// The program's texts in the user's language: gettext with the "telvanta"
// domain. The English texts are the message ids, so an untranslated text, an
// English session and the C locale all show them unchanged.
//
//   _("Watch &TV")                   a shown text
//   N_("Always on &top")             marked for the catalogue, translated where shown
//   P_("%d day", "%d days", n)       a text that counts

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace telvanta {

inline constexpr const char* TextDomain = "telvanta";

// The text in the user's language; the catalogues are bound on first use.
const char* Translate(const char* msgid);
std::string Translate(std::string_view msgid);
const char* TranslatePlural(const char* one, const char* many, unsigned long count);

// The pattern with %1, %2 ... replaced by the arguments in turn, so a
// translation can put them where its language wants them.
std::string Substitute(std::string_view pattern, std::initializer_list<std::string_view> arguments);

// Where the catalogues of a program in `executableFolder` are: share/locale
// beside an install's share/telvanta, else locale/ in the program folder
// (the build folder).
std::filesystem::path LocaleFolderBeside(const std::filesystem::path& executableFolder);
// Tests point the domain at the build's catalogues.
void BindCataloguesForTesting(const std::filesystem::path& folder);

}  // namespace telvanta

#define _(msgid) ::telvanta::Translate(msgid)
#define N_(msgid) msgid
#define P_(one, many, count) ::telvanta::TranslatePlural(one, many, count)
