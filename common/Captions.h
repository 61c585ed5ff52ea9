#pragma once
// Texts as windows show them: the application title, the error box text and
// captions with their "&" mnemonics.

#include <string>
#include <string_view>

namespace telvanta {

// Caption of plain message dialogs and of the error box.
inline constexpr std::string_view ApplicationTitle = "Telvanta";

// The error box's text: a full stop is appended when the last character
// sorts after the full stop ("Failed" -> "Failed.", "(-1)" stays).
std::string ErrorBoxText(std::string_view message);

// A caption's "&" mnemonic in GTK's "_" form: "Watch &TV" -> "Watch _TV",
// "&&" -> "&", a literal "_" doubled.
std::string GtkMnemonic(std::string_view caption);
// The caption as a reader says it: "Watch &TV" -> "Watch TV".
std::string StripMnemonic(std::string_view caption);

}  // namespace telvanta
