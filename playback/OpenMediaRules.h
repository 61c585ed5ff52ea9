#pragma once

#include "common/I18n.h"
// Open file and Open URL without a toolkit: the media file dialog's filter,
// split into its groups, and the texts of the Open URL dialog.

#include <string>
#include <string_view>
#include <vector>

namespace telvanta {

// OpenDialog1's filter: label|patterns pairs, patterns joined by ";".
// TRANSLATORS: translate only the names before each "|", never the patterns.
inline constexpr std::string_view MediaFileFilter = N_(
    "Media files(all types)|*.asf;*.wmv;*.wma;*.asf;*.avi;*.rm;*.ram;*.ra;*.smil;*.smi;*.rms;"
    "*.mp3;*.wav;*.mp2;*.mpa;*.wav|Windows Media file(*.asf;*.wmv;*.wma;*.asf)|*.asf;*.wmv;*.wma;"
    "*.asf;*.avi|RealMedia files(*.rm;*.ram;*.ra;*.smil;*.smi;*.avi)|*.rm;*.ram;*.ra;*.smil;*.smi;"
    "*.rms;*.avi|Audio files(*.mp3;*.wav;*.mp2;*.mpa;*.wav)|*.mp3;*.wav;*.mp2;*.mpa;*.wav|All "
    "files(*.*)|*.*");

struct FilterGroup {
  std::string label;
  std::vector<std::string> patterns;
  bool operator==(const FilterGroup&) const = default;
};

// Splits "label|p1;p2|label|..." into groups; a trailing label without
// patterns is dropped, empty patterns are skipped.
std::vector<FilterGroup> ParseDialogFilter(std::string_view filter);

// A pattern that matches either letter case, so "CLIP.WMV" is offered too:
// "*.wmv" -> "*.[wW][mM][vV]".
std::string CaseInsensitivePattern(std::string_view pattern);

// OpenUrlDialog's texts.
inline constexpr std::string_view OpenUrlCaption = N_("Open URL");
inline constexpr std::string_view OpenUrlPrompt =
    N_("Enter the URL or path to a multimedia file on the Internet, your computer or your network "
       "that you want to play: ");

}  // namespace telvanta
