#pragma once
// What the add-own-channel dialog needs of the window that keeps the
// favourites list.

namespace telvanta {

class FavouritesHost {
 public:
  virtual ~FavouritesHost() = default;
  // Rebuilds the favourites list from the file; errors pass on.
  virtual void LoadFav() = 0;
  // Brings the favourites list to the front.
  virtual void ShowFavourites() = 0;
};

}  // namespace telvanta
