#include "tests/support/WindowTestSupport.h"

#include <cstring>

#include "tests/support/MainLoop.h"
#include "tools/catalogue/CatalogueWriter.h"

#include <atk/atk.h>

#ifndef TELVANTA_BUILD_PROGRAM_DIR
#error "TELVANTA_BUILD_PROGRAM_DIR names the build's program folder"
#endif

namespace telvanta::test {

CatalogueRow Station(std::string country, std::string name, std::string speed, std::string url,
                     std::string type) {
  return {std::move(country), std::move(name), std::move(speed), std::move(url), std::move(type)};
}

void MakeProgramFolder(const std::filesystem::path& folder, std::vector<CatalogueRow> tv,
                       std::vector<CatalogueRow> radio, std::vector<CatalogueRow> webcam) {
  Catalogue catalogue;
  catalogue.tv.rows = std::move(tv);
  catalogue.radio.rows = std::move(radio);
  catalogue.webcam.rows = std::move(webcam);
  WriteCatalogue(catalogue, folder / "listv2.dll");
  const std::filesystem::path data = std::filesystem::path(TELVANTA_BUILD_PROGRAM_DIR) / "Data";
  std::filesystem::create_directories(folder / "Data");
  for (const char* name : {"MP.dll", "RP.dll", "WB.dll"}) {
    std::filesystem::copy_file(data / name, folder / "Data" / name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

namespace {

// Every button inside, internal children (a dialog's action area) included.
void CollectButtonLabels(GtkWidget* widget, std::vector<std::string>& labels) {
  if (GTK_IS_BUTTON(widget)) {
    if (const char* label = gtk_button_get_label(GTK_BUTTON(widget))) labels.emplace_back(label);
    return;
  }
  if (!GTK_IS_CONTAINER(widget)) return;
  gtk_container_forall(
      GTK_CONTAINER(widget),
      [](GtkWidget* child, gpointer data) {
        CollectButtonLabels(child, *static_cast<std::vector<std::string>*>(data));
      },
      &labels);
}

std::vector<std::string> ButtonLabels(Gtk::Dialog& dialog) {
  std::vector<std::string> labels;
  CollectButtonLabels(GTK_WIDGET(dialog.gobj()), labels);
  return labels;
}

}  // namespace

std::vector<SeenDialog> AnswerDialogs(const std::function<void()>& action) {
  return AnswerDialogs(action, Gtk::RESPONSE_OK);
}

std::vector<SeenDialog> AnswerDialogs(const std::function<void()>& action, Gtk::ResponseType answer,
                                      const std::string& typed) {
  std::vector<SeenDialog> seen;
  sigc::connection watch = Glib::signal_timeout().connect(
      [&seen, answer, &typed] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          if (!window->get_visible()) continue;
          if (auto* dialog = dynamic_cast<MessageBox*>(window)) {
            seen.push_back(
                {dialog->get_title(), dialog->Text(), dialog->Icon(), ButtonLabels(*dialog)});
            dialog->response(answer);
          } else if (auto* box = dynamic_cast<Gtk::Dialog*>(window);
                     box != nullptr && box->get_name() == "InputBox") {
            auto* prompt = dynamic_cast<Gtk::Label*>(FindByName(*box, "Prompt"));
            seen.push_back({box->get_title(), prompt ? prompt->get_text() : "", MessageIcon::None,
                            ButtonLabels(*box)});
            if (auto* edit = dynamic_cast<Gtk::Entry*>(FindByName(*box, "Edit"))) {
              edit->set_text(typed);
            }
            box->response(typed.empty() ? Gtk::RESPONSE_CANCEL : Gtk::RESPONSE_OK);
          }
        }
        return true;
      },
      20);
  try {
    action();
  } catch (...) {
    watch.disconnect();
    throw;
  }
  watch.disconnect();
  return seen;
}

namespace {

// Children, then the menus attached to the widget (submenus are attached to
// their items): pop-up menus are not children of the window that owns them.
void Collect(Gtk::Widget& widget, std::vector<Gtk::Widget*>& out) {
  out.push_back(&widget);
  if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
    for (Gtk::Widget* child : container->get_children()) Collect(*child, out);
  }
  GList* menus = gtk_menu_get_for_attach_widget(widget.gobj());
  for (GList* m = menus; m != nullptr; m = m->next) {
    Gtk::Widget* menu = Glib::wrap(GTK_WIDGET(m->data));
    if (menu != &widget) Collect(*menu, out);
  }
}

}  // namespace

std::vector<Gtk::Widget*> AllWidgets(Gtk::Widget& root) {
  std::vector<Gtk::Widget*> widgets;
  Collect(root, widgets);
  return widgets;
}

Gtk::Widget* FindByName(Gtk::Widget& root, const std::string& name) {
  for (Gtk::Widget* widget : AllWidgets(root)) {
    if (widget->get_name() == name) return widget;
  }
  return nullptr;
}

Gtk::Window* FindToplevel(const std::string& name) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (window->get_name() == name && window->get_visible()) return window;
  }
  return nullptr;
}

std::string AccessibleName(Gtk::Widget& widget) {
  auto accessible = widget.get_accessible();
  return accessible ? std::string(accessible->get_name()) : std::string();
}

std::string AccessibleId(Gtk::Widget& widget) {
  auto accessible = widget.get_accessible();
  if (!accessible) return {};
  const char* id = atk_object_get_accessible_id(accessible->gobj());
  return id != nullptr ? id : "";
}

void SendKey(Gtk::Window& window, guint keyval, guint modifiers) {
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
  event->key.send_event = TRUE;
  event->key.time = GDK_CURRENT_TIME;
  event->key.keyval = keyval;
  // The text of the key, which some handlers read instead of the key.
  if (const gunichar c = gdk_keyval_to_unicode(keyval); c >= 0x20) {
    event->key.string = g_ucs4_to_utf8(&c, 1, nullptr, nullptr, nullptr);
    event->key.length = static_cast<gint>(std::strlen(event->key.string));
  }
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(window.get_display()->gobj()),
                                        keyval, &keys, &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    event->key.group = static_cast<guint8>(keys[0].group);
    event->key.state = keys[0].level == 1 ? GDK_SHIFT_MASK : 0;
  }
  g_free(keys);
  event->key.state |= modifiers;
  auto* seat = gdk_display_get_default_seat(window.get_display()->gobj());
  gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void TypeText(Gtk::Window& window, const std::string& text) {
  for (const char c : text) {
    SendKey(window, gdk_unicode_to_keyval(static_cast<unsigned char>(c)));
    // What a key starts (a pop-up, a search) is under way before the next.
    while (Glib::MainContext::get_default()->iteration(false)) {
    }
  }
}

void SendButton(Gtk::Widget& widget, GdkEventType type, unsigned button, double x, double y) {
  SendButtonTo(widget, widget.get_window(), type, button, x, y);
}

namespace {

// Hands a pointer event to the widget as GTK does, from the seat's pointer.
void DeliverPointerEvent(Gtk::Widget& widget, GdkEvent* event) {
  auto* seat = gdk_display_get_default_seat(gdk_display_get_default());
  gdk_event_set_device(event, gdk_seat_get_pointer(seat));
  widget.event(event);
  gdk_event_free(event);
}

}  // namespace

void SendButtonTo(Gtk::Widget& widget, const Glib::RefPtr<Gdk::Window>& window, GdkEventType type,
                  unsigned button, double x, double y) {
  GdkEvent* event = gdk_event_new(type);
  event->button.window = window ? static_cast<GdkWindow*>(g_object_ref(window->gobj())) : nullptr;
  event->button.send_event = TRUE;
  event->button.time = GDK_CURRENT_TIME;
  event->button.x = x;
  event->button.y = y;
  event->button.button = button;
  DeliverPointerEvent(widget, event);
}

void SendMotion(Gtk::Widget& widget, double x, double y) {
  GdkEvent* event = gdk_event_new(GDK_MOTION_NOTIFY);
  event->motion.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
  event->motion.send_event = TRUE;
  event->motion.time = GDK_CURRENT_TIME;
  event->motion.x = x;
  event->motion.y = y;
  DeliverPointerEvent(widget, event);
}

}  // namespace telvanta::test
