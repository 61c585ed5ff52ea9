#pragma once
// Decisions of the application shell that need no toolkit: the error box
// text, captions and their mnemonics, the settings the main window reads.

#include <string>
#include <string_view>

namespace telvanta {

// Caption of plain message dialogs and of the error box.
inline constexpr std::string_view ApplicationTitle = "Telvanta";

// The status bar's first panel.
inline constexpr std::string_view MakerLine = "Quillmoor 2003-2026";

// Where the welcome panel's links and the Tools menu's downloads go.
// The maker's site is not settled yet; a reserved name keeps links harmless.
inline constexpr std::string_view MakerSite = "telvanta.example.org";
inline constexpr std::string_view RealPlayerPage = "telvanta.example.org/realplayer.htm";
inline constexpr std::string_view MediaPlayerPage =
    "www.microsoft.com/windows/mediaplayer/download";

// The error box's text: a full stop is appended when the last character
// sorts after the full stop ("Failed" -> "Failed.", "(-1)" stays).
std::string ErrorBoxText(std::string_view message);

// A caption's "&" mnemonic in GTK's "_" form: "Watch &TV" -> "Watch _TV",
// "&&" -> "&", a literal "_" doubled.
std::string GtkMnemonic(std::string_view caption);
// The caption as a reader says it: "Watch &TV" -> "Watch TV".
std::string StripMnemonic(std::string_view caption);

// TopMost is on only for exactly "1".
bool IsTopMost(std::string_view topMostSetting);

// What a link label opens: its type's prefix and the hint.
enum class TLabelType { hmHTTP = 0, hmMAIL = 1, hmFTP = 2 };
std::string UrlLabelAddress(TLabelType type, std::string_view hint);

}  // namespace telvanta
