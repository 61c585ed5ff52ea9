#pragma once

#include "common/I18n.h"
// Decisions of the application shell that need no toolkit.

#include <string>
#include <string_view>

namespace telvanta {

// The status bar's first panel.
inline constexpr std::string_view MakerLine = "Quillmoor 2003-2026";

// A line under the About box's version, and its legal notice.
inline constexpr std::string_view AboutMakerLine = N_("Made by Quillmoor, 2003-2026.");
inline constexpr std::string_view AboutLegalNotice =
    N_("Warning: this computer program is protected by copyright law and "
       "international treaties. Unauthorized reproduction or distribution of this "
       "program, or any portion of it, may result in severe civil and criminal "
       "penalties, and will be prosecuted to the maximum extent possible under the law.");

// The F.A.Q submenu's three answers, each shown in a plain message box. The
// second breaks its line with a lone CR, which the box shows as a new line.
struct FaqAnswer {
  std::string_view caption;
  std::string_view text;
};
inline constexpr FaqAnswer FaqAnswers[] = {
    {N_("&Why I need Microsoft Media Player and RealPlayer"),
     N_("Because Telvanta uses the system of decoding of both programs to present the radio and "
        "television signals.")},
    {N_("&Picture quality is poor, what's wrong?"),
     N_("The quality and continuity of the image depends of where it's originates the signal and "
        "not of Telvanta. Video will not look comparable to normal TV unless the station "
        "broadcasts "
        "at a high rate (>300k).\rYou must also have a fast enough connection to view a high speed "
        "station. A faster machine will not solve this issue.")},
    {N_("&Cannot connect to server"),
     N_("Don't forget that the live television depends on the origin and not of the program that "
        "show them, some stations can be off line temporarily or with too many connections.")},
};

// What a click on the announcement opens: its link, with "http://" before a
// link that names no scheme ("www.example.org/news"); empty opens nothing.
std::string AnnouncementAddress(std::string_view link);

// TopMost is on only for exactly "1".
bool IsTopMost(std::string_view topMostSetting);

}  // namespace telvanta
