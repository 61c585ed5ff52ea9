#include "widgets/InputBox.h"

#include "common/I18n.h"
#include "platform/desktop/CloseKeys.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

std::string InputBox(Gtk::Window& owner, std::string_view caption, std::string_view prompt,
                     std::string_view initial) {
  Gtk::Dialog box(std::string(caption), owner, true);
  NameComponent(box, "InputBox", caption);
  box.set_resizable(false);
  box.set_border_width(8);
  platform::CloseWithKeys(box);
  Gtk::Label label{std::string(prompt)};
  label.set_xalign(0.0F);
  Gtk::Entry entry;
  entry.set_text(std::string(initial));
  entry.set_activates_default(true);
  entry.set_width_chars(40);
  label.set_mnemonic_widget(entry);
  NameComponent(label, "Prompt", prompt);
  NameComponent(entry, "Edit", prompt);
  auto* area = box.get_content_area();
  area->set_spacing(6);
  area->pack_start(label, false, false);
  area->pack_start(entry, false, false);
  NameComponent(*box.add_button(_("OK"), Gtk::RESPONSE_OK), "OK", _("OK"));
  NameComponent(*box.add_button(_("Cancel"), Gtk::RESPONSE_CANCEL), "Cancel", _("Cancel"));
  box.set_default_response(Gtk::RESPONSE_OK);
  box.show_all_children();
  return box.run() == Gtk::RESPONSE_OK ? std::string(entry.get_text()) : std::string(initial);
}

}  // namespace telvanta
