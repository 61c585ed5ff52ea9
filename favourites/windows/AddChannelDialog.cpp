#include "favourites/windows/AddChannelDialog.h"

#include <string>
#include <string_view>

#include "common/Captions.h"
#include "common/I18n.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int ClientWidth = 437;
constexpr int ClientHeight = 242;
constexpr const char* Caption = N_("Add your own channel to Favorites");
constexpr const char* NameCaption = N_("Display name:");
constexpr const char* UrlCaption = N_("URL(should begin with \"mms://\" or \"rtsp://\"):");

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmAddUrl";
constexpr std::string_view picture = "Image1";
constexpr std::string_view nameLabel = "Label1";
constexpr std::string_view nameEntry = "Edit1";
constexpr std::string_view urlLabel = "Label2";
constexpr std::string_view urlEntry = "Edit2";
constexpr std::string_view okButton = "TeButton1";
constexpr std::string_view cancelButton = "TeButton2";
}  // namespace component

}  // namespace

AddChannelDialog::AddChannelDialog(Gtk::Window& owner, const FavouritesFile& favourites,
                                   FavouritesHost& host)
    : FixedDialog(owner, component::window, _(Caption), ClientWidth, ClientHeight),
      favourites_(favourites),
      host_(host),
      nameLabel_(_(NameCaption)),
      urlLabel_(_(UrlCaption)),
      okButton_(GtkMnemonic(_("&OK")), true),
      cancelButton_(GtkMnemonic(_("&Cancel")), true) {
  InstallStyle("#FrmAddUrl #Label1, #FrmAddUrl #Label2 { font-weight: bold; }\n");

  picture_.set(Picture("favorites", 32));
  NameComponent(picture_, component::picture);
  Layout().put(picture_, 16, 16);

  NameComponent(nameLabel_, component::nameLabel, _(NameCaption));
  nameLabel_.set_mnemonic_widget(nameEntry_);
  Layout().put(nameLabel_, 64, 24);
  nameEntry_.set_size_request(352, -1);
  NameComponent(nameEntry_, component::nameEntry, _(NameCaption));
  Layout().put(nameEntry_, 64, 48);

  NameComponent(urlLabel_, component::urlLabel, _(UrlCaption));
  urlLabel_.set_mnemonic_widget(urlEntry_);
  Layout().put(urlLabel_, 64, 96);
  urlEntry_.set_size_request(352, -1);
  urlEntry_.set_activates_default(true);
  NameComponent(urlEntry_, component::urlEntry, _(UrlCaption));
  Layout().put(urlEntry_, 64, 120);

  for (auto* button : {&okButton_, &cancelButton_}) {
    button->set_size_request(75, 25);
  }
  NameComponent(okButton_, component::okButton, _("&OK"));
  NameComponent(cancelButton_, component::cancelButton, _("&Cancel"));
  okButton_.set_can_default(true);
  Layout().put(okButton_, 248, 192);
  Layout().put(cancelButton_, 341, 192);
  okButton_.signal_clicked().connect(sigc::mem_fun(*this, &AddChannelDialog::onOkClicked));
  cancelButton_.signal_clicked().connect([this] { hide(); });
  set_default(okButton_);
  show_all_children();
}

void AddChannelDialog::onOkClicked() {
  // Taken exactly as typed: no trimming, no check of the address's form.
  const std::string name = nameEntry_.get_text();
  const std::string url = urlEntry_.get_text();
  // Any failure leaves the dialog open with what was typed.
  try {
    if (!CheckOwnChannel(name, url)) {
      return;
    }
    favourites_.Add(name, url);
    host_.LoadFav();
  } catch (...) {
    ShowCurrentException();
    return;
  }
  ShowInformationBox(_("OK"), _("The channel has been added successfully!"));
  hide();
  host_.ShowFavourites();
}

}  // namespace telvanta
