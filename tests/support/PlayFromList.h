#pragma once
// Plays a row of the TV list as a double-click would, once the list window
// is on screen: at start-up it shows modally before the main window does,
// and a busy machine may take a while to get there.

#include <gtkmm.h>

#include "catalogue/windows/ChannelListWindow.h"
#include "catalogue/windows/StationListBox.h"
#include "tests/support/WindowTestSupport.h"

namespace telvanta::test {

inline void PlayTvRowOnceShown(ChannelListWindow& list, int row) {
  // Tracked: the poll ends with the window if it never shows.
  Glib::signal_timeout().connect(sigc::track_obj(
                                     [&list, row] {
                                       if (!list.get_visible() || !list.get_mapped()) {
                                         return true;
                                       }
                                       auto& tv = Find<StationListBox>(list, "ListBox1");
                                       tv.SetItemIndex(row);
                                       Gtk::TreeModel::Path path;
                                       path.push_back(row);
                                       tv.View().row_activated(path, *tv.View().get_column(0));
                                       return false;
                                     },
                                     list),
                                 20);
}

}  // namespace telvanta::test
