#pragma once
// A fixed layout whose children may follow the right or bottom edge, or
// stretch with it, when it is given more room than its size request. At its
// requested size every child sits where it was put, as in a Gtk::Fixed.

#include <gtkmm.h>

#include <vector>

namespace telvanta {

class AnchoredLayout : public Gtk::Fixed {
 public:
  // What a child does with the room beyond the size request; flags combine.
  enum Follow : unsigned {
    Stay = 0,
    Right = 1,   // moves with the right edge
    Down = 2,    // moves with the bottom edge
    Wider = 4,   // takes the extra width
    Taller = 8,  // takes the extra height
  };

  void Put(Gtk::Widget& child, int x, int y, unsigned follow = Stay);

 protected:
  void on_size_allocate(Gtk::Allocation& allocation) override;

 private:
  struct Place {
    Gtk::Widget* child;
    int x;
    int y;
    unsigned follow;
  };
  std::vector<Place> places_;
};

}  // namespace telvanta
