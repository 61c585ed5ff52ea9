#include "catalogue/windows/PropertiesDialog.h"

#include <string_view>

#include "catalogue/StationCommands.h"
#include "common/Captions.h"
#include "common/I18n.h"
#include "common/StreamClass.h"
#include "platform/desktop/CloseKeys.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmProperties";
constexpr std::string_view pages = "TePageControl1";
constexpr std::string_view generalPage = "TeTabSheet1";
constexpr std::string_view mediaPicture = "Image1";
constexpr std::string_view realPicture = "Image2";
constexpr std::string_view heading = "Label1";
constexpr std::string_view nameLine = "Label3";
constexpr std::string_view countryLine = "Label4";
constexpr std::string_view speedLine = "Label5";
constexpr std::string_view typeLine = "Label2";
constexpr std::string_view okButton = "TeButton1";
}  // namespace component

void PlaceLine(Gtk::Label& label, std::string_view component, const std::string& text) {
  label.set_text(text);
  label.set_xalign(0.0F);
  NameComponent(label, component, text);
}

}  // namespace

PropertiesDialog::PropertiesDialog(Gtk::Window& owner, const std::string& entry,
                                   const std::string& url)
    : okButton_(GtkMnemonic(_("&OK")), true) {
  NameComponent(*this, component::window, _("Properties"));
  set_title(_("Properties"));
  set_transient_for(owner);
  set_position(Gtk::WIN_POS_CENTER);
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
  set_border_width(8);
  group_->add_window(*this);
  platform::CloseWithKeys(*this);

  const EntryParts parts = SplitEntryText(entry);
  const StreamClass streamClass = ClassifyStream(url);

  mediaPicture_.set(Picture("class-mms", 32));
  realPicture_.set(Picture("class-rtsp", 32));
  NameComponent(mediaPicture_, component::mediaPicture);
  NameComponent(realPicture_, component::realPicture);
  // Both sit at the same place; at most one shows.
  headingRow_.pack_start(mediaPicture_, false, false);
  headingRow_.pack_start(realPicture_, false, false);
  mediaPicture_.set_no_show_all(true);
  realPicture_.set_no_show_all(true);
  mediaPicture_.set_visible(streamClass == StreamClass::Mms);
  realPicture_.set_visible(streamClass == StreamClass::Rtsp);
  heading_.set_size_request(32, 32);
  PlaceLine(heading_, component::heading, parts.name);
  headingRow_.pack_start(heading_, true, true);

  PlaceLine(nameLine_, component::nameLine, _("Channel Name : ") + parts.name);
  PlaceLine(countryLine_, component::countryLine, _("Country : ") + parts.country);
  PlaceLine(speedLine_, component::speedLine, _("Speed : ") + parts.speed);
  PlaceLine(typeLine_, component::typeLine,
            _("Type : ") + std::string(PlayerTypeText(streamClass)));

  generalPage_.set_border_width(12);
  generalPage_.pack_start(headingRow_, false, false);
  generalPage_.pack_start(divider_, false, false);
  for (auto* line : {&nameLine_, &countryLine_, &speedLine_, &typeLine_}) {
    generalPage_.pack_start(*line, false, false);
  }
  NameComponent(generalPage_, component::generalPage, _("General"));
  pages_.append_page(generalPage_, _("General"));
  NameComponent(pages_, component::pages);
  content_.pack_start(pages_, true, true);

  okButton_.set_size_request(75, 25);
  okButton_.set_halign(Gtk::ALIGN_END);
  NameComponent(okButton_, component::okButton, _("&OK"));
  okButton_.signal_clicked().connect([this] { hide(); });
  content_.pack_start(okButton_, false, false);
  add(content_);
  show_all_children();
}

bool PropertiesDialog::on_delete_event(GdkEventAny* /*event*/) {
  hide();
  return true;
}

}  // namespace telvanta
