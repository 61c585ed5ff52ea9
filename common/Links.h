#pragma once
// Where outbound links go: the maker's pages, and what a link label opens.

#include <string>
#include <string_view>

namespace telvanta {

// Where the welcome panel's links and the Tools menu's downloads go.
// The maker's site is not settled yet; a reserved name keeps links harmless.
inline constexpr std::string_view MakerSite = "telvanta.example.org";
inline constexpr std::string_view RealPlayerPage = "telvanta.example.org/realplayer.htm";
inline constexpr std::string_view MediaPlayerPage =
    "www.microsoft.com/windows/mediaplayer/download";

// The maker's bad-link report page, a plain HTTP address on its site.
std::string BadLinkPage();

// What a link label opens: its type's prefix and the hint.
enum class TLabelType { hmHTTP = 0, hmMAIL = 1, hmFTP = 2 };
std::string UrlLabelAddress(TLabelType type, std::string_view hint);

}  // namespace telvanta
