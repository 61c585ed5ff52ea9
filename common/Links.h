#pragma once
// Where outbound links go: the maker's pages, and what a link label opens.

#include <string>
#include <string_view>

#include "common/BuildConfig.h"

namespace telvanta {

// The maker's site with its scheme (the TELVANTA_SITE_URL of the build); the
// welcome panel's links and the Tools menu's downloads derive from it.
inline constexpr std::string_view MakerSite = BuildSiteUrl;
inline const std::string RealPlayerPage = std::string(MakerSite) + "/realplayer.htm";
// Where "Get More Skins..." leads: the skins page of the maker's site.
inline const std::string SkinsSite = std::string(MakerSite) + "/skins.htm";
inline constexpr std::string_view MediaPlayerPage =
    "www.microsoft.com/windows/mediaplayer/download";

// The maker's site without its scheme, as the About box shows it.
std::string MakerSiteHost();
// The maker's support mail address: "support@" and the site's domain.
std::string SupportAddress();
// A new mail to support, as the Help menu's "Email" opens it.
std::string SupportMailAddress();

// The maker's bad-link report page, a plain HTTP address on its site.
std::string BadLinkPage();
// The maker's download page, opened when a newer version exists.
std::string DownloadPage();

// What a link label opens: its type's prefix and the hint. A hint that
// already names its scheme ("https://...", "mailto:...") is used as it is.
enum class TLabelType { hmHTTP = 0, hmMAIL = 1, hmFTP = 2 };
std::string UrlLabelAddress(TLabelType type, std::string_view hint);

}  // namespace telvanta
