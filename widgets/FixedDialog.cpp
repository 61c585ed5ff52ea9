#include "widgets/FixedDialog.h"

#include <string>

#include "platform/desktop/CloseKeys.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

FixedDialog::FixedDialog(Gtk::Window& owner, std::string_view component, std::string_view caption,
                         int width, int height, Frame frame) {
  NameComponent(*this, component, caption);
  set_title(std::string(caption));
  set_transient_for(owner);
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(width, height);
  set_resizable(false);
  if (frame == Frame::Dialog) {
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  }
  platform::CloseWithKeys(*this);
  layout_.set_size_request(width, height);
  add(layout_);
}

bool FixedDialog::on_delete_event(GdkEventAny* /*event*/) {
  hide();
  return true;
}

}  // namespace telvanta
