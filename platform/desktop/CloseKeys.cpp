#include "platform/desktop/CloseKeys.h"

namespace telvanta::platform {

namespace {

bool IsCloseKey(const GdkEventKey& event) {
  const guint modifiers = event.state & gtk_accelerator_get_default_mod_mask();
  if (event.keyval == GDK_KEY_Escape) {
    return modifiers == 0;
  }
  return modifiers == GDK_CONTROL_MASK && gdk_keyval_to_lower(event.keyval) == GDK_KEY_w;
}

}  // namespace

void CloseWithKeys(Gtk::Window& window) {
  // Ahead of the focused widget: a web view takes every key for its page
  // and gives back none of these.
  window.signal_key_press_event().connect(
      [&window](GdkEventKey* event) {
        if (!IsCloseKey(*event)) {
          return false;
        }
        window.close();
        return true;
      },
      false);
}

}  // namespace telvanta::platform
