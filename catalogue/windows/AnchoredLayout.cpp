#include "catalogue/windows/AnchoredLayout.h"

#include <algorithm>

namespace telvanta {

void AnchoredLayout::Put(Gtk::Widget& child, int x, int y, unsigned follow) {
  places_.push_back({&child, x, y, follow});
  put(child, x, y);
}

void AnchoredLayout::on_size_allocate(Gtk::Allocation& allocation) {
  set_allocation(allocation);
  int minimumWidth = 0;
  int minimumHeight = 0;
  int naturalSize = 0;
  get_preferred_width(minimumWidth, naturalSize);
  get_preferred_height(minimumHeight, naturalSize);
  const int extraWidth = std::max(0, allocation.get_width() - minimumWidth);
  const int extraHeight = std::max(0, allocation.get_height() - minimumHeight);
  for (const Place& place : places_) {
    if (!place.child->get_visible()) {
      continue;
    }
    // As Gtk::Fixed does: each child at its minimum size, in the layout's
    // coordinates (it has no window of its own).
    Gtk::Requisition minimum;
    Gtk::Requisition natural;
    place.child->get_preferred_size(minimum, natural);
    Gtk::Allocation child(allocation.get_x() + place.x, allocation.get_y() + place.y, minimum.width,
                          minimum.height);
    if (place.follow & Right) {
      child.set_x(child.get_x() + extraWidth);
    }
    if (place.follow & Down) {
      child.set_y(child.get_y() + extraHeight);
    }
    if (place.follow & Wider) {
      child.set_width(child.get_width() + extraWidth);
    }
    if (place.follow & Taller) {
      child.set_height(child.get_height() + extraHeight);
    }
    place.child->size_allocate(child);
  }
}

}  // namespace telvanta
