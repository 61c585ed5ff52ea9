#include "playback/windows/OpenUrlDialog.h"

#include "common/I18n.h"
#include "playback/OpenMediaRules.h"

#include <string_view>

namespace telvanta {

namespace {

constexpr int ClientWidth = 380;
constexpr int ClientHeight = 154;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmOpenURL";
constexpr std::string_view pictureBox = "Image1";
constexpr std::string_view promptLabel = "Label1";
constexpr std::string_view addressLabel = "Label2";
constexpr std::string_view addressEntry = "TeEdit1";
constexpr std::string_view okButton = "TeButton1";
constexpr std::string_view cancelButton = "TeButton2";
}  // namespace component

}  // namespace

OpenUrlDialog::OpenUrlDialog(Gtk::Window& owner, PlayTarget& main)
    : FixedDialog(owner, component::window, Translate(OpenUrlCaption), ClientWidth, ClientHeight),
      promptLabel_(Translate(OpenUrlPrompt)),
      addressLabel_(_("Open:")),
      okButton_(_("OK")),
      cancelButton_(_("Cancel")),
      main_(main) {
  InstallStyle(
      "#FrmOpenURL { font-family: Verdana, \"DejaVu Sans\", sans-serif; font-size: 8pt; }\n"
      "#FrmOpenURL button { min-height: 16px; padding: 2px 6px; }\n");

  picture_.set(Picture("openurl", 32));
  pictureBox_.add(picture_);
  pictureBox_.add_events(Gdk::BUTTON_PRESS_MASK);
  pictureBox_.signal_button_press_event().connect([this](GdkEventButton* event) {
    if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
      onPictureDoubleClicked();
    }
    return false;
  });
  NameComponent(pictureBox_, component::pictureBox);
  Layout().put(pictureBox_, 16, 16);

  promptLabel_.set_line_wrap(true);
  promptLabel_.set_max_width_chars(1);
  promptLabel_.set_xalign(0.0F);
  promptLabel_.set_yalign(0.0F);
  promptLabel_.set_size_request(305, 49);
  NameComponent(promptLabel_, component::promptLabel, Translate(OpenUrlPrompt));
  Layout().put(promptLabel_, 56, 16);

  NameComponent(addressLabel_, component::addressLabel, _("Open:"));
  Layout().put(addressLabel_, 8, 76);
  addressLabel_.set_mnemonic_widget(addressEntry_);
  addressEntry_.set_size_request(297, -1);
  addressEntry_.set_activates_default(true);
  NameComponent(addressEntry_, component::addressEntry, _("Open:"));
  Layout().put(addressEntry_, 56, 72);

  for (auto* button : {&okButton_, &cancelButton_}) {
    button->set_size_request(75, 25);
  }
  NameComponent(okButton_, component::okButton, _("OK"));
  NameComponent(cancelButton_, component::cancelButton, _("Cancel"));
  okButton_.set_can_default(true);
  Layout().put(okButton_, 176, 112);
  Layout().put(cancelButton_, 272, 112);
  okButton_.signal_clicked().connect(sigc::mem_fun(*this, &OpenUrlDialog::onOkClicked));
  cancelButton_.signal_clicked().connect(sigc::mem_fun(*this, &OpenUrlDialog::onCancelClicked));
  set_default(okButton_);
  show_all_children();
}

void OpenUrlDialog::onOkClicked() {
  // Taken as typed: neither trimmed nor checked.
  const std::string address = addressEntry_.get_text();
  main_.InitControl();
  main_.PlayTV(address);
  hide();
}

void OpenUrlDialog::onCancelClicked() { hide(); }

void OpenUrlDialog::onPictureDoubleClicked() {
  if (openTools_) {
    openTools_(*this);
  }
}

}  // namespace telvanta
