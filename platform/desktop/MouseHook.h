#pragma once
// A process-wide hook over pointer button events of the UI thread, consulted
// before any widget sees them (the stand-in for a thread-local mouse hook).

#include <gtk/gtk.h>

#include <functional>

namespace telvanta::platform {

// Returns true to discard the event. `target` is the widget the event is for.
using MouseHookProc = std::function<bool(const GdkEventButton& event, GtkWidget* target)>;

class MouseHook {
 public:
  explicit MouseHook(MouseHookProc proc);  // installs
  ~MouseHook();                            // removes
  MouseHook(const MouseHook&) = delete;
  MouseHook& operator=(const MouseHook&) = delete;
};

// True when the widget or one of its ancestors has this widget name.
bool WidgetOrAncestorNamed(GtkWidget* widget, const char* name);

}  // namespace telvanta::platform
