#include "favourites/windows/PlaylistCommands.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "favourites/PlaylistExchange.h"
#include "playback/OpenMediaRules.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {

namespace {

constexpr std::string_view PlaylistFilter =
    "Playlists (*.m3u;*.m3u8;*.pls;*.xspf)|*.m3u;*.m3u8;*.pls;*.xspf";
constexpr std::string_view ExportCaption = "Export Favorites to Playlist";
constexpr std::string_view ImportCaption = "Import Playlist to Favorites";

// Component names of the dialogs.
namespace component {
constexpr std::string_view exportDialog = "SavePlaylistDialog";
constexpr std::string_view importDialog = "OpenPlaylistDialog";
}  // namespace component

// The chosen file; empty when the dialog was cancelled.
std::filesystem::path ChoosePlaylist(Gtk::Window& owner, Gtk::FileChooserAction action) {
  const bool save = action == Gtk::FILE_CHOOSER_ACTION_SAVE;
  Gtk::FileChooserDialog dialog(owner, std::string(save ? ExportCaption : ImportCaption), action);
  dialog.set_name(std::string(save ? component::exportDialog : component::importDialog));
  dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  dialog.add_button(save ? "_Save" : "_Open", Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  for (const FilterGroup& group : ParseDialogFilter(PlaylistFilter)) {
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
  }
  if (dialog.run() != Gtk::RESPONSE_ACCEPT) {
    return {};
  }
  return dialog.get_filename();
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
  ShowInformationBox(std::string(ImportCaption), ImportSummaryText(summary));
}

}  // namespace telvanta
