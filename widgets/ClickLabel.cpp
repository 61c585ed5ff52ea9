#include "widgets/ClickLabel.h"

#include <gtk/gtk-a11y.h>

#include "widgets/WidgetSupport.h"

// What assistive technologies see of a ClickLabel: a link with one action,
// "click". The action is done from the main loop, not inside the request: a
// click may open a modal box, and the caller waits for the answer.
extern "C" {

struct TelvantaLinkAccessible {
  GtkContainerAccessible parent;
};
struct TelvantaLinkAccessibleClass {
  GtkContainerAccessibleClass parent;
};

static void telvanta_link_accessible_action_init(AtkActionIface* iface);

G_DEFINE_TYPE_WITH_CODE(TelvantaLinkAccessible, telvanta_link_accessible,
                        GTK_TYPE_CONTAINER_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_ACTION,
                                              telvanta_link_accessible_action_init))

static void telvanta_link_accessible_class_init(TelvantaLinkAccessibleClass* /*klass*/) {}
static void telvanta_link_accessible_init(TelvantaLinkAccessible* /*accessible*/) {}

static gint LinkActionCount(AtkAction* /*action*/) { return 1; }

static const gchar* LinkActionName(AtkAction* /*action*/, gint index) {
  return index == 0 ? "click" : nullptr;
}

static gboolean DoLinkAction(AtkAction* action, gint index) {
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(action));
  if (index != 0 || widget == nullptr || !gtk_widget_is_sensitive(widget) ||
      !gtk_widget_get_visible(widget)) {
    return FALSE;
  }
  auto* label = dynamic_cast<telvanta::ClickLabel*>(Glib::wrap(widget));
  if (label == nullptr) {
    return FALSE;
  }
  // Dropped if the label goes first.
  Glib::signal_idle().connect_once(sigc::mem_fun(*label, &telvanta::ClickLabel::Activate));
  return TRUE;
}

static void telvanta_link_accessible_action_init(AtkActionIface* iface) {
  iface->get_n_actions = LinkActionCount;
  iface->get_name = LinkActionName;
  iface->do_action = DoLinkAction;
}

}  // extern "C"

namespace telvanta {

namespace {

void InitClass(void* widgetClass, void* /*data*/) {
  auto* klass = static_cast<GtkWidgetClass*>(widgetClass);
  gtk_widget_class_set_accessible_type(klass, telvanta_link_accessible_get_type());
  gtk_widget_class_set_accessible_role(klass, ATK_ROLE_LINK);
}

bool IsActivationKey(guint key) {
  switch (key) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
      return true;
    default:
      return false;
  }
}

}  // namespace

ClickLabelClassInit::ClickLabelClassInit() : Glib::ExtraClassInit(InitClass) {}

ClickLabel::ClickLabel(const Glib::ustring& text)
    : Glib::ObjectBase("TelvantaClickLabel"), label_(text) {
  label_.set_xalign(0.0F);
  add(label_);
  set_can_focus(true);
  // The theme's focus ring is drawn inside a widget, where a one-line label
  // has its text; skins may draw their own.
  get_style_context()->add_class("click-label");
  InstallStyle(".click-label { outline-offset: -1px; outline-color: alpha(currentColor, 0.7); }");
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::KEY_PRESS_MASK);
}

void ClickLabel::Activate() { clicked_.emit(); }

bool ClickLabel::on_button_press_event(GdkEventButton* event) {
  if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
    SetPressed(true);
  }
  return false;
}

bool ClickLabel::on_button_release_event(GdkEventButton* event) {
  const bool wasPressed = pressed_;
  SetPressed(false);
  const auto area = get_allocation();
  const bool inside =
      event->x >= 0 && event->y >= 0 && event->x < area.get_width() && event->y < area.get_height();
  if (event->button == 1 && wasPressed && inside) {
    Activate();
  }
  return false;
}

bool ClickLabel::on_key_press_event(GdkEventKey* event) {
  if (IsActivationKey(event->keyval)) {
    Activate();
    return true;
  }
  return Gtk::EventBox::on_key_press_event(event);
}

bool ClickLabel::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  Gtk::EventBox::on_draw(cr);
  // An event box draws no focus of its own; without this, Tab leads nowhere visible.
  if (has_visible_focus()) {
    get_style_context()->render_focus(cr, 0, 0, get_allocated_width(), get_allocated_height());
  }
  return false;
}

void ClickLabel::on_realize() {
  Gtk::EventBox::on_realize();
  UseHandCursor(*this);
}

// The pressed look: skins and the link label's own colours select on :active.
void ClickLabel::SetPressed(bool pressed) {
  pressed_ = pressed;
  if (pressed) {
    label_.set_state_flags(Gtk::STATE_FLAG_ACTIVE, false);
  } else {
    label_.unset_state_flags(Gtk::STATE_FLAG_ACTIVE);
  }
}

}  // namespace telvanta
