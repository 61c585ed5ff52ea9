#pragma once
// The rows a station list shows, as a tree model over a whole loaded list and
// the indices of the rows shown, both shared with the list they come from.
// Showing other rows swaps the two pointers and copies no row, so a search keystroke does not
// refill thousands of rows; texts and icons are read only for the rows the view draws. The model is
// a plain GObject: the view walks every row when it takes the model, and a wrapper's call-backs per
// row would cost more than the walk.

#include "catalogue/ListLoading.h"
#include "common/StreamClass.h"

#include <gtkmm.h>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace telvanta {

struct StationRows;

class StationRowsModel {
 public:
  enum Column { IconColumn, TextColumn, ClassColumn, ColumnCount };
  // The picture of each stream class, by its value; none for a class without.
  using Icons = std::array<Glib::RefPtr<Gdk::Pixbuf>, 4>;

  explicit StationRowsModel(Icons icons);

  const Glib::RefPtr<Gtk::TreeModel>& TreeModel() const { return model_; }
  // Shows these rows of the list, in this order. Iterators given out before
  // become invalid and no view is told: detach views while it changes.
  void Show(std::shared_ptr<const StationList> all,
            std::shared_ptr<const std::vector<std::size_t>> rows);
  int Count() const;
  // The text of a shown row as valid UTF-8; "" out of range.
  std::string Entry(int index) const;
  StreamClass ClassOf(int index) const;
  const Glib::RefPtr<Gdk::Pixbuf>& IconOf(int index) const;

 private:
  Glib::RefPtr<Gtk::TreeModel> model_;
  // Lives in the model's instance, as long as model_.
  StationRows* rows_;
};

}  // namespace telvanta
