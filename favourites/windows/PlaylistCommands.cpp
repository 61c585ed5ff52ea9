#include "favourites/windows/PlaylistCommands.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/I18n.h"
#include "favourites/PlaylistExchange.h"
#include "playback/OpenMediaRules.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {

namespace {

// TRANSLATORS: translate only the names before each "|", never the patterns.
constexpr const char* ImportFilter =
    N_("Playlists (*.m3u;*.m3u8;*.pls;*.xspf)|*.m3u;*.m3u8;*.pls;*.xspf");
// What export writes: the format the name ends in. Each filter's first
// pattern is the ending a name gets when the filter is chosen.
// TRANSLATORS: translate only the names before each "|", never the patterns.
constexpr const char* ExportFilter =
    N_("M3U playlist (*.m3u;*.m3u8)|*.m3u;*.m3u8|PLS playlist (*.pls)|*.pls|"
       "XSPF playlist (*.xspf)|*.xspf");
constexpr const char* ExportCaption = N_("Export Favorites to Playlist");
constexpr const char* ImportCaption = N_("Import Playlist to Favorites");
// The refusals scroll within this height, less on a small screen.
constexpr int RefusalsHeight = 320;

// Component names of the dialogs.
namespace component {
constexpr std::string_view exportDialog = "SavePlaylistDialog";
constexpr std::string_view importDialog = "OpenPlaylistDialog";
constexpr std::string_view refusals = "Refusals";
}  // namespace component

// A chosen filter gives the name its ending, so the format written is the
// one picked; a name with an ending of its own keeps it.
void FollowFilterWithEnding(Gtk::FileChooserDialog& dialog,
                            const std::vector<FilterGroup>& groups) {
  dialog.property_filter().signal_changed().connect([&dialog, groups] {
    const auto filter = dialog.get_filter();
    const auto group = std::find_if(groups.begin(), groups.end(), [&](const FilterGroup& g) {
      return filter && filter->get_name() == g.label;
    });
    if (group == groups.end() || group->patterns.empty()) {
      return;
    }
    std::filesystem::path name = dialog.get_current_name().raw();
    const std::string ending = name.extension().string();
    const bool known = std::any_of(groups.begin(), groups.end(), [&](const FilterGroup& g) {
      return std::any_of(g.patterns.begin(), g.patterns.end(),
                         [&](const std::string& p) { return p == "*" + ending; });
    });
    if (!name.empty() && (ending.empty() || known)) {
      name.replace_extension(group->patterns.front().substr(1));
      dialog.set_current_name(name.string());
    }
  });
}

// The chosen file; empty when the dialog was cancelled.
std::filesystem::path ChoosePlaylist(Gtk::Window& owner, Gtk::FileChooserAction action) {
  const bool save = action == Gtk::FILE_CHOOSER_ACTION_SAVE;
  Gtk::FileChooserDialog dialog(owner, _(save ? ExportCaption : ImportCaption), action);
  dialog.set_name(std::string(save ? component::exportDialog : component::importDialog));
  dialog.add_button(_("_Cancel"), Gtk::RESPONSE_CANCEL);
  dialog.add_button(save ? _("_Save") : _("_Open"), Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  const std::vector<FilterGroup> groups = ParseDialogFilter(_(save ? ExportFilter : ImportFilter));
  for (const FilterGroup& group : groups) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(group.label);
    for (const std::string& pattern : group.patterns) {
      filter->add_pattern(CaseInsensitivePattern(pattern));
    }
    dialog.add_filter(filter);
  }
  if (save) {
    dialog.set_do_overwrite_confirmation(true);
    dialog.set_current_name("Favorites.m3u");
    FollowFilterWithEnding(dialog, groups);
  }
  if (dialog.run() != Gtk::RESPONSE_ACCEPT) {
    return {};
  }
  return dialog.get_filename();
}

// The box's refusals scroll, so it fits the screen however many there are.
void ShowImportSummary(Gtk::Window& owner, const ImportSummary& summary) {
  if (summary.refused.empty()) {
    ShowInformationBox(_(ImportCaption), ImportHeadline(summary));
    return;
  }
  MessageBox box(_(ImportCaption), ImportHeadline(summary) + "\n\n" + _("Not added:"),
                 MessageIcon::Information);
  Gtk::Label refusals(ImportRefusals(summary));
  refusals.set_name(std::string(component::refusals));
  refusals.set_line_wrap(true);
  refusals.set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
  // As wide as the box's text may grow, so long refusals take few lines.
  refusals.set_width_chars(60);
  refusals.set_max_width_chars(60);
  refusals.set_xalign(0.0F);
  refusals.set_yalign(0.0F);
  refusals.set_selectable(true);
  Gdk::Rectangle area;
  const auto display = owner.get_display();
  auto monitor = owner.get_window() ? display->get_monitor_at_window(owner.get_window())
                                    : display->get_primary_monitor();
  if (!monitor && display->get_n_monitors() > 0) {
    monitor = display->get_monitor(0);
  }
  int height = RefusalsHeight;
  if (monitor) {
    monitor->get_workarea(area);
    height = std::min(height, area.get_height() / 3);
  }
  Gtk::ScrolledWindow scroll;
  scroll.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
  scroll.set_propagate_natural_height(true);
  scroll.set_max_content_height(height);
  scroll.set_margin_bottom(12);
  scroll.add(refusals);
  box.get_content_area()->pack_start(scroll, true, true);
  scroll.show_all();
  box.set_transient_for(owner);
  box.set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  box.run();
}

}  // namespace

void ExportFavouritesToPlaylist(Gtk::Window& owner, const FavouritesFile& favourites) {
  const std::filesystem::path playlist = ChoosePlaylist(owner, Gtk::FILE_CHOOSER_ACTION_SAVE);
  if (!playlist.empty()) {
    ExportFavourites(favourites, playlist);
  }
}

void ImportPlaylistToFavourites(Gtk::Window& owner, const FavouritesFile& favourites,
                                FavouritesHost& host) {
  const std::filesystem::path playlist = ChoosePlaylist(owner, Gtk::FILE_CHOOSER_ACTION_OPEN);
  if (playlist.empty()) {
    return;
  }
  const ImportSummary summary = ImportPlaylist(favourites, playlist);
  // The summary shows even when the new list can't be loaded.
  RunCommand([&] { host.LoadFav(); });
  ShowImportSummary(owner, summary);
}

}  // namespace telvanta
