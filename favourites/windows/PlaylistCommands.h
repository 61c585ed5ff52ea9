#pragma once
// The favourites list's playlist commands: a file dialog, then the core's
// export or import. Errors pass on to the caller's error display.

#include <gtkmm.h>

#include "favourites/Favourites.h"
#include "favourites/FavouritesHost.h"

namespace telvanta {

// Asks where to save (Favorites.m3u offered, a filter for each format,
// overwriting confirmed) and writes the favourites there in the format the
// name ends in.
void ExportFavouritesToPlaylist(Gtk::Window& owner, const FavouritesFile& favourites);

// Asks for a playlist, adds its entries to the favourites, reloads the
// host's list and shows what was added and, scrolled, what was refused.
void ImportPlaylistToFavourites(Gtk::Window& owner, const FavouritesFile& favourites,
                                FavouritesHost& host);

}  // namespace telvanta
