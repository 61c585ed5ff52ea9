#pragma once
// A station list of the list window: entry texts with the icon of each
// entry's stream class and its health mark, in rows of 16 pixels, scrolled.

#include "catalogue/ListLoading.h"
#include "catalogue/windows/StationRowsModel.h"
#include "health/HealthRules.h"

#include <gtkmm.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace telvanta {

class StationListBox : public Gtk::ScrolledWindow {
 public:
  StationListBox();

  // Shows the given rows of a whole list (indices into it, in order) in place
  // of the entries before; both are shared, not copied. The view is detached
  // from its model meanwhile, so it takes the new rows in one go.
  void Fill(std::shared_ptr<const StationList> all,
            std::shared_ptr<const std::vector<std::size_t>> rows);
  void Clear();
  int Count() const;
  // -1 when no entry is selected.
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Entry(int index) const;
  // The stream class whose icon entry index shows ("" for none).
  std::string IconClass(int index) const;
  double ScrollOffset() const;
  // Selects the entry at index (-1: none) and scrolls to the offset, or
  // without one brings the selection into view (the top when none). An
  // offset the list cannot reach yet is applied once it has its height.
  void ShowView(int index, std::optional<double> scroll);

  // The health mark beside the class icon and the tool tip of an entry. The
  // source gives an entry's checks (null: none), asked for the rows drawn
  // only; the tip is made only when the tool tip is asked for.
  struct HealthMark {
    health::HealthState state = health::HealthState::Unknown;
    std::string tip;
  };
  using HealthSource = std::function<const health::StationHealth*(int index)>;
  void SetHealthSource(HealthSource source);
  // Draws the marks again (the source's answers changed).
  void RedrawHealth();
  HealthMark HealthAt(int index) const;

  Gtk::TreeView& View() { return view_; }
  // Right button pressed over the list (after selecting the row under it).
  sigc::signal<void(GdkEventButton*)>& signal_context_menu() { return contextMenu_; }
  // Double-click or Enter on an entry.
  sigc::signal<void()>& signal_dbl_click() { return dblClick_; }

 private:
  bool onButtonPress(GdkEventButton* event);
  void onHeightChanged();
  const health::StationHealth* ChecksAt(int index) const;
  void ShowHealthMark(Gtk::CellRenderer* cell, const Gtk::TreeModel::iterator& row);
  bool onQueryTooltip(int x, int y, bool keyboard, const Glib::RefPtr<Gtk::Tooltip>& tooltip);

  StationRowsModel model_;
  Gtk::TreeView view_;
  Gtk::TreeViewColumn column_;
  Gtk::CellRendererPixbuf iconCell_;
  Gtk::CellRendererPixbuf healthCell_;
  Gtk::CellRendererText textCell_;
  Glib::RefPtr<Gdk::Pixbuf> iconAlive_, iconFailed_, iconUnknown_;
  HealthSource healthSource_;
  sigc::signal<void(GdkEventButton*)> contextMenu_;
  sigc::signal<void()> dblClick_;
  std::optional<double> pendingScroll_;
};

}  // namespace telvanta
