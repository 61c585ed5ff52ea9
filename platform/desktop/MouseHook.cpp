#include "platform/desktop/MouseHook.h"

#include <cstring>
#include <memory>

namespace telvanta::platform {
namespace {

// GDK has one event handler per process; the hook sits in it and passes
// everything it does not discard on to GTK's own.
std::unique_ptr<MouseHookProc>& CurrentProc() {
  static std::unique_ptr<MouseHookProc> proc;
  return proc;
}

bool IsButtonEvent(GdkEventType type) {
  return type == GDK_BUTTON_PRESS || type == GDK_2BUTTON_PRESS || type == GDK_3BUTTON_PRESS ||
         type == GDK_BUTTON_RELEASE;
}

void Dispatch(GdkEvent* event, gpointer) {
  const auto& proc = CurrentProc();
  if (proc && *proc && IsButtonEvent(event->type)) {
    bool discard = false;
    try {
      discard = (*proc)(event->button, gtk_get_event_widget(event));
    } catch (...) {
      discard = false;  // a failing hook must not eat the user's clicks
    }
    if (discard) {
      return;
    }
  }
  gtk_main_do_event(event);
}

// What GTK installs itself, without the cast between function types.
void PassToGtk(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

}  // namespace

MouseHook::MouseHook(MouseHookProc proc) {
  CurrentProc() = std::make_unique<MouseHookProc>(std::move(proc));
  gdk_event_handler_set(Dispatch, nullptr, nullptr);
}

MouseHook::~MouseHook() {
  gdk_event_handler_set(PassToGtk, nullptr, nullptr);
  CurrentProc().reset();
}

bool WidgetOrAncestorNamed(GtkWidget* widget, const char* name) {
  for (; widget != nullptr; widget = gtk_widget_get_parent(widget)) {
    if (std::strcmp(gtk_widget_get_name(widget), name) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace telvanta::platform
