#include "playback/windows/OpenUrlDialog.h"

#include "playback/OpenMediaRules.h"

namespace telvanta {

namespace {
constexpr int ClientWidth = 380;
constexpr int ClientHeight = 154;
}  // namespace

OpenUrlDialog::OpenUrlDialog(Gtk::Window& owner, PlayTarget& main)
    : Label1(std::string(OpenUrlPrompt)),
      Label2("Open:"),
      TeButton1("OK"),
      TeButton2("Cancel"),
      main_(main) {
  NameComponent(*this, "FrmOpenURL", OpenUrlCaption);
  set_title(std::string(OpenUrlCaption));
  set_transient_for(owner);
  set_position(Gtk::WIN_POS_CENTER);
  set_default_size(ClientWidth, ClientHeight);
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  InstallStyle(
      "#FrmOpenURL { font-family: Verdana, \"DejaVu Sans\", sans-serif; font-size: 8pt; }\n"
      "#FrmOpenURL button { min-height: 16px; padding: 2px 6px; }\n");

  Layout.set_size_request(ClientWidth, ClientHeight);
  add(Layout);

  Image1.set(Picture("openurl", 32));
  Image1Box.add(Image1);
  Image1Box.add_events(Gdk::BUTTON_PRESS_MASK);
  Image1Box.signal_button_press_event().connect([this](GdkEventButton* event) {
    if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
      Image1DblClick();
    }
    return false;
  });
  NameComponent(Image1Box, "Image1");
  Layout.put(Image1Box, 16, 16);

  Label1.set_line_wrap(true);
  Label1.set_max_width_chars(1);
  Label1.set_xalign(0.0F);
  Label1.set_yalign(0.0F);
  Label1.set_size_request(305, 49);
  NameComponent(Label1, "Label1", OpenUrlPrompt);
  Layout.put(Label1, 56, 16);

  NameComponent(Label2, "Label2", "Open:");
  Layout.put(Label2, 8, 76);
  Label2.set_mnemonic_widget(TeEdit1);
  TeEdit1.set_size_request(297, -1);
  TeEdit1.set_activates_default(true);
  NameComponent(TeEdit1, "TeEdit1", "Open:");
  Layout.put(TeEdit1, 56, 72);

  for (auto* button : {&TeButton1, &TeButton2}) {
    button->set_size_request(75, 25);
  }
  NameComponent(TeButton1, "TeButton1", "OK");
  NameComponent(TeButton2, "TeButton2", "Cancel");
  TeButton1.set_can_default(true);
  Layout.put(TeButton1, 176, 112);
  Layout.put(TeButton2, 272, 112);
  TeButton1.signal_clicked().connect(sigc::mem_fun(*this, &OpenUrlDialog::TeButton1Click));
  TeButton2.signal_clicked().connect(sigc::mem_fun(*this, &OpenUrlDialog::TeButton2Click));
  set_default(TeButton1);
  show_all_children();
}

void OpenUrlDialog::TeButton1Click() {
  // Taken as typed: neither trimmed nor checked.
  const std::string address = TeEdit1.get_text();
  main_.InitControl();
  main_.PlayTV(address);
  hide();
}

void OpenUrlDialog::TeButton2Click() { hide(); }

void OpenUrlDialog::Image1DblClick() {
  if (OnOpenTools) {
    OnOpenTools(*this);
  }
}

bool OpenUrlDialog::on_delete_event(GdkEventAny* /*event*/) {
  hide();
  return true;
}

}  // namespace telvanta
