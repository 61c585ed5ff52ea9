#include "app/windows/AboutDialog.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "app/AppRules.h"
#include "common/Captions.h"
#include "common/I18n.h"
#include "common/Links.h"
#include "common/ProgramPaths.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int ClientWidth = 412;
constexpr int ClientHeight = 355;
constexpr int PictureWidth = 104;
constexpr int PictureHeight = 265;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmAbout";
constexpr std::string_view picturePanel = "Panel1";
constexpr std::string_view makerLabel = "Label4";
constexpr std::string_view titleLabel = "Label1";
constexpr std::string_view versionLabel = "Label2";
constexpr std::string_view madeByLabel = "Label3";
constexpr std::string_view homepageLabel = "Label7";
constexpr std::string_view homepageLink = "URLLabel1";
constexpr std::string_view emailLabel = "Label8";
constexpr std::string_view emailLink = "URLLabel2";
constexpr std::string_view okButton = "TeButton1";
constexpr std::string_view bevel = "Bevel1";
constexpr std::string_view legalLabel = "Label5";
}  // namespace component

constexpr std::string_view Style =
    "#FrmAbout { font-family: Verdana, \"DejaVu Sans\", sans-serif; font-size: 11px; }\n"
    "#FrmAbout #Label4 { font-family: Impact, \"DejaVu Sans Condensed\", sans-serif;"
    " font-size: 19px; font-style: italic; font-weight: bold; }\n"
    "#FrmAbout #Label1 { font-family: Impact, \"DejaVu Sans Condensed\", sans-serif;"
    " font-size: 24px; font-weight: bold; }\n"
    "#FrmAbout .about-link { font-family: \"MS Sans Serif\", \"DejaVu Sans\", sans-serif;"
    " font-size: 11px; }\n";

constexpr int LegalWidthChars = 58;
constexpr int FadeStepMs = 20;
constexpr double FadeStep = 0.1;

}  // namespace

AboutDialog::AboutDialog(Gtk::Window& owner)
    : FixedDialog(owner, component::window, _("About Telvanta"), ClientWidth, ClientHeight),
      makerLabel_("Quillmoor"),
      titleLabel_("Telvanta"),
      versionLabel_(_("Version: ") + std::string(ProgramVersion)),
      madeByLabel_(Translate(AboutMakerLine)),
      homepageLabel_(_("Homepage:")),
      homepageLink_(MakerSiteHost()),
      emailLabel_(_("Email:")),
      emailLink_(SupportAddress()),
      okButton_(GtkMnemonic(_("&OK")), true),
      legalLabel_(Translate(AboutLegalNotice)) {
  set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  set_modal(true);
  InstallStyle(std::string(Style));

  picture_.set(AboutPicture(PictureWidth, PictureHeight));
  picturePanel_.set_shadow_type(Gtk::SHADOW_IN);
  picturePanel_.add(picture_);
  NameComponent(picturePanel_, component::picturePanel);
  Layout().put(picturePanel_, 8, 8);

  const struct {
    Gtk::Label& label;
    std::string_view component;
    int x, y;
  } labels[] = {
      {makerLabel_, component::makerLabel, 128, 16},
      {titleLabel_, component::titleLabel, 128, 40},
      {versionLabel_, component::versionLabel, 128, 80},
      {madeByLabel_, component::madeByLabel, 128, 104},
      {homepageLabel_, component::homepageLabel, 128, 128},
      {emailLabel_, component::emailLabel, 128, 152},
  };
  for (const auto& l : labels) {
    l.label.set_xalign(0.0F);
    NameComponent(l.label, l.component, l.label.get_text().raw());
    Layout().put(l.label, l.x, l.y);
  }
  makerLabel_.set_size_request(113, 23);

  // The site keeps its own scheme (HTTPS) rather than the label's "http://".
  homepageLink_.SetHint(std::string(MakerSite));
  homepageLink_.SetLabelType(TLabelType::hmHTTP);
  emailLink_.SetHint(SupportAddress());
  emailLink_.SetLabelType(TLabelType::hmMAIL);
  for (auto* link : {&homepageLink_, &emailLink_}) {
    link->get_style_context()->add_class("about-link");
  }
  NameComponent(homepageLink_, component::homepageLink, homepageLink_.Caption().raw());
  NameComponent(emailLink_, component::emailLink, emailLink_.Caption().raw());
  Layout().put(homepageLink_, 200, 128);
  Layout().put(emailLink_, 200, 152);

  okButton_.set_size_request(75, 25);
  okButton_.signal_clicked().connect([this] { hide(); });
  NameComponent(okButton_, component::okButton, _("&OK"));
  Layout().put(okButton_, 320, 240);

  // A line along the bevel's bottom edge.
  bevel_.set_size_request(393, -1);
  NameComponent(bevel_, component::bevel);
  Layout().put(bevel_, 8, 273 + 14);

  // A fixed layout measures heights without a width: the wrap width must come
  // from the label itself, or it asks for one character per line.
  legalLabel_.set_line_wrap(true);
  legalLabel_.set_width_chars(LegalWidthChars);
  legalLabel_.set_max_width_chars(LegalWidthChars);
  legalLabel_.set_xalign(0.0F);
  legalLabel_.set_yalign(0.0F);
  legalLabel_.set_size_request(393, 57);
  NameComponent(legalLabel_, component::legalLabel, legalLabel_.get_text().raw());
  Layout().put(legalLabel_, 8, 296);

  okButton_.set_can_default(true);
  set_default(okButton_);
  show_all_children();
}

AboutDialog::~AboutDialog() { fade_.disconnect(); }

void AboutDialog::on_show() {
  opacity_ = 0.0;
  set_opacity(opacity_);
  FixedDialog::on_show();
  fade_.disconnect();
  fade_ =
      Glib::signal_timeout().connect(sigc::mem_fun(*this, &AboutDialog::onFadeStep), FadeStepMs);
}

bool AboutDialog::onFadeStep() {
  opacity_ = std::min(1.0, opacity_ + FadeStep);
  set_opacity(opacity_);
  return opacity_ < 1.0;
}

}  // namespace telvanta
