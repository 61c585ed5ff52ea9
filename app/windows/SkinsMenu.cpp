#include "app/windows/SkinsMenu.h"

#include "common/I18n.h"
#include "common/Links.h"
#include "platform/desktop/ShellOpen.h"
#include "playback/OpenMediaRules.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view resetItem = "CustomItem89";
constexpr std::string_view selectItem = "CustomItem90";
constexpr std::string_view getMoreItem = "CustomItem91";
constexpr std::string_view separator = "CustomItem92";
constexpr std::string_view skinFileDialog = "OpenSkin1";
}  // namespace component

struct SkinItem {
  std::string_view component;
  std::string_view file;
};
constexpr SkinItem SkinItems[] = {
    {"CustomItem93", "aqua.mskn"},        {"CustomItem94", "beos.mskn"},
    {"CustomItem95", "devoir.mskn"},      {"CustomItem96", "ecliptic.mskn"},
    {"CustomItem97", "elegant99.mskn"},   {"CustomItem98", "futurism.mskn"},
    {"CustomItem99", "jezz.mskn"},        {"CustomItem100", "kde.mskn"},
    {"CustomItem101", "kromo_zone.mskn"}, {"CustomItem102", "macos.mskn"},
    {"CustomItem103", "profskin.mskn"},   {"CustomItem104", "qnx.mskn"},
    {"CustomItem105", "swing.mskn"},      {"CustomItem29", "vista.theme"},
    {"CustomItem106", "watercolor.mskn"},
};

}  // namespace

SkinsMenu::SkinsMenu(Gtk::Window& owner, Gtk::MenuItem& skinsItem, skins::SkinSwitcher& engine)
    : owner_(owner), engine_(engine) {
  auto* menu = Gtk::make_managed<Gtk::Menu>();
  AddMenuItem(*menu, component::resetItem, _("&Reset to Default"))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &SkinsMenu::onResetActivated));
  AddMenuItem(*menu, component::selectItem, _("&Select Skin..."))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &SkinsMenu::onSelectActivated));
  AddMenuItem(*menu, component::getMoreItem, _("&Get More Skins..."))
      .signal_activate()
      .connect(sigc::mem_fun(*this, &SkinsMenu::onGetMoreActivated));
  AddSeparator(*menu, component::separator);
  for (const auto& skin : SkinItems) {
    // The caption is the file name ChangeSkin is given.
    auto& item = AddMenuItem(*menu, skin.component, skin.file);
    item.signal_activate().connect([this, name = skin.file] { ChangeSkin(name); });
  }
  skinsItem.set_submenu(*menu);
}

void SkinsMenu::ChangeSkin(std::string_view name) { skins::ChangeSkin(engine_, name); }

void SkinsMenu::onResetActivated() { skins::ResetToDefault(engine_); }

void SkinsMenu::onGetMoreActivated() {
  platform::ShellOpen(SkinsSite, platform::ShowMode::Maximized);
}

void SkinsMenu::onSelectActivated() {
  auto& dialog = SkinFileDialog();
  dialog.set_current_folder(skins::SkinsFolder().string());
  // Each time on the first group, whichever the user chose last time.
  dialog.set_filter(dialog.list_filters().front());
  const int response = dialog.run();
  dialog.hide();
  if (response != Gtk::RESPONSE_ACCEPT) {
    return;
  }
  const std::string path = dialog.get_filename();
  if (!path.empty()) {
    skins::ApplyChosenSkin(engine_, path);
  }
}

Gtk::FileChooserDialog& SkinsMenu::SkinFileDialog() {
  if (skinFileDialog_) {
    return *skinFileDialog_;
  }
  skinFileDialog_ =
      std::make_unique<Gtk::FileChooserDialog>(owner_, _("Open"), Gtk::FILE_CHOOSER_ACTION_OPEN);
  skinFileDialog_->set_name(std::string(component::skinFileDialog));
  skinFileDialog_->add_button(_("_Cancel"), Gtk::RESPONSE_CANCEL);
  skinFileDialog_->add_button(_("_Open"), Gtk::RESPONSE_ACCEPT);
  skinFileDialog_->set_default_response(Gtk::RESPONSE_ACCEPT);
  for (const auto& group : ParseDialogFilter(skins::SkinFileFilter)) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(group.label);
    for (const auto& pattern : group.patterns) {
      filter->add_pattern(CaseInsensitivePattern(pattern));
    }
    skinFileDialog_->add_filter(filter);
  }
  return *skinFileDialog_;
}

}  // namespace telvanta
