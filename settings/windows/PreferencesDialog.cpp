#include "settings/windows/PreferencesDialog.h"

#include <string>
#include <string_view>
#include <utility>

#include "common/Captions.h"
#include "common/I18n.h"
#include "settings/Preferences.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int ClientWidth = 345;
constexpr int ClientHeight = 259;
constexpr const char* AutoUpdateCaption = N_("&Automatically download the latest channel list ");
constexpr const char* TopMostCaption = N_("Always on &top");

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmSetting";
constexpr std::string_view picture = "Image1";
constexpr std::string_view startupLabel = "Label1";
constexpr std::string_view startupBox = "TeComboBox1";
constexpr std::string_view autoUpdateCheck = "TeCheckBox1";
constexpr std::string_view topMostCheck = "TeCheckBox2";
constexpr std::string_view updateNowButton = "TeButton3";
constexpr std::string_view okButton = "TeButton1";
constexpr std::string_view cancelButton = "TeButton2";
}  // namespace component

}  // namespace

PreferencesDialog::PreferencesDialog(Gtk::Window& owner, std::function<void(bool)> applyTopMost,
                                     std::function<void()> openUpdateCheck)
    : FixedDialog(owner, component::window, _("Preferences"), ClientWidth, ClientHeight),
      applyTopMost_(std::move(applyTopMost)),
      openUpdateCheck_(std::move(openUpdateCheck)),
      startupLabel_(_("On startup display")),
      autoUpdateCheck_(GtkMnemonic(_(AutoUpdateCaption)), true),
      topMostCheck_(GtkMnemonic(_(TopMostCaption)), true),
      updateNowButton_(GtkMnemonic(_("&Update now!")), true),
      okButton_(GtkMnemonic(_("&OK")), true),
      cancelButton_(GtkMnemonic(_("&Cancel")), true) {
  picture_.set(Picture("tools", 32));
  NameComponent(picture_, component::picture);
  Layout().put(picture_, 16, 16);
  NameComponent(startupLabel_, component::startupLabel, _("On startup display"));
  startupLabel_.set_mnemonic_widget(startupBox_);
  Layout().put(startupLabel_, 64, 24);
  for (const std::string_view item : StartupDisplayItems) {
    startupBox_.append(Translate(item));
  }
  startupBox_.set_size_request(201, -1);
  NameComponent(startupBox_, component::startupBox, _("On startup display"));
  Layout().put(startupBox_, 64, 48);

  NameComponent(autoUpdateCheck_, component::autoUpdateCheck, _(AutoUpdateCaption));
  Layout().put(autoUpdateCheck_, 16, 104);
  NameComponent(topMostCheck_, component::topMostCheck, _(TopMostCaption));
  Layout().put(topMostCheck_, 16, 144);
  NameComponent(updateNowButton_, component::updateNowButton, _("&Update now!"));
  updateNowButton_.set_sensitive(static_cast<bool>(openUpdateCheck_));
  Layout().put(updateNowButton_, 224, 140);

  for (auto* button : {&okButton_, &cancelButton_}) {
    button->set_size_request(75, 25);
  }
  NameComponent(okButton_, component::okButton, _("&OK"));
  NameComponent(cancelButton_, component::cancelButton, _("&Cancel"));
  Layout().put(okButton_, 160, 216);
  Layout().put(cancelButton_, 252, 216);
  okButton_.signal_clicked().connect(sigc::mem_fun(*this, &PreferencesDialog::onOkClicked));
  cancelButton_.signal_clicked().connect([this] { hide(); });
  updateNowButton_.signal_clicked().connect(
      sigc::mem_fun(*this, &PreferencesDialog::onUpdateNowClicked));

  const PreferencesChoice stored = ReadPreferences();
  startupBox_.set_active(stored.startupIndex);
  autoUpdateCheck_.set_active(stored.autoUpdate);
  topMostCheck_.set_active(stored.topMost);
  show_all_children();
}

void PreferencesDialog::onOkClicked() {
  PreferencesChoice choice;
  choice.startupIndex = startupBox_.get_active_row_number();
  choice.autoUpdate = autoUpdateCheck_.get_active();
  choice.topMost = topMostCheck_.get_active();
  // A store error leaves what was written and keeps the dialog open.
  try {
    StorePreferences(choice, applyTopMost_);
  } catch (...) {
    ShowCurrentException();
    return;
  }
  hide();
}

void PreferencesDialog::onUpdateNowClicked() {
  hide();
  if (openUpdateCheck_) {
    openUpdateCheck_();
  }
}

}  // namespace telvanta
