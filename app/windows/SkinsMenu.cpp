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
  std::string_view name;  // the caption
};
constexpr SkinItem SkinItems[] = {
    {"CustomItem93", "aqua.mskn", "Aqua"},
    {"CustomItem94", "beos.mskn", "BeOS"},
    {"CustomItem95", "devoir.mskn", "Devoir"},
    {"CustomItem96", "ecliptic.mskn", "Ecliptic"},
    {"CustomItem97", "elegant99.mskn", "Elegant 99"},
    {"CustomItem98", "futurism.mskn", "Futurism"},
    {"CustomItem99", "jezz.mskn", "Jezz"},
    {"CustomItem100", "kde.mskn", "KDE"},
    {"CustomItem101", "kromo_zone.mskn", "Kromo Zone"},
    {"CustomItem102", "macos.mskn", "Mac OS"},
    {"CustomItem103", "profskin.mskn", "Profskin"},
    {"CustomItem104", "qnx.mskn", "QNX"},
    {"CustomItem105", "swing.mskn", "Swing"},
    {"CustomItem29", "vista.theme", "Windows Vista"},
    {"CustomItem106", "watercolor.mskn", "Watercolor"},
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
  auto group = noneItem_.get_group();
  for (const auto& skin : SkinItems) {
    auto* item = Gtk::make_managed<Gtk::RadioMenuItem>(group, std::string(skin.name));
    NameComponent(*item, skin.component, skin.name);
    item->show();
    menu->append(*item);
    item->signal_activate().connect([this, file = skin.file] {
      // Marking the skin in use activates its item too.
      if (!marking_) {
        ChangeSkin(file);
      }
    });
    skinItems_.push_back({item, skin.file});
  }
  menu->signal_show().connect(sigc::mem_fun(*this, &SkinsMenu::MarkSkinInUse));
  skinsItem.set_submenu(*menu);
  MarkSkinInUse();
}

void SkinsMenu::ChangeSkin(std::string_view name) {
  Marked([&] { skins::ChangeSkin(engine_, name); });
}

void SkinsMenu::onResetActivated() {
  Marked([&] { skins::ResetToDefault(engine_); });
}

void SkinsMenu::MarkSkinInUse() {
  const std::string drawn = engine_.DrawnSkinFile();
  Gtk::RadioMenuItem* inUse = &noneItem_;
  for (const auto& [item, file] : skinItems_) {
    if ((skins::SkinsFolder() / std::string(file)).string() == drawn) {
      inUse = item;
    }
  }
  marking_ = true;
  inUse->set_active(true);
  marking_ = false;
}

void SkinsMenu::Marked(const std::function<void()>& change) {
  try {
    change();
  } catch (...) {
    MarkSkinInUse();
    throw;
  }
  MarkSkinInUse();
}

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
    Marked([&] { skins::ApplyChosenSkin(engine_, path); });
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
