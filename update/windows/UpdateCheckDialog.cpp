#include "update/windows/UpdateCheckDialog.h"

#include <atomic>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "common/I18n.h"
#include "common/Links.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/glib/PostToUi.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/WidgetSupport.h"

namespace telvanta {

namespace {

constexpr int ClientWidth = 313;
constexpr int ClientHeight = 65;

// Component names: the widget names skins select on, and accessible ids.
namespace component {
constexpr std::string_view window = "FrmUpdate";
constexpr std::string_view picture = "Image1";
constexpr std::string_view label = "Label1";
}  // namespace component

}  // namespace

// Shared with the fetching thread, which outlives a dialog closed early.
struct UpdateCheckDialog::Check {
  std::atomic<bool> cancel{false};
  std::mutex mutex;
  UpdateCheckDialog* target = nullptr;
};

UpdateCheckDialog::UpdateCheckDialog(Gtk::Window& owner, std::optional<UpdateContext> context,
                                     std::chrono::milliseconds delay)
    : FixedDialog(owner, component::window, _("Update"), ClientWidth, ClientHeight),
      context_(std::move(context)),
      check_(std::make_shared<Check>()),
      label_(_("Downloading update information...")) {
  check_->target = this;
  InstallStyle(
      "#FrmUpdate { font-family: Verdana, \"DejaVu Sans\", sans-serif; font-size: 12px; }\n");
  picture_.set(Picture("update", 32));
  NameComponent(picture_, component::picture);
  Layout().put(picture_, 16, 16);
  NameComponent(label_, component::label, _("Downloading update information..."));
  Layout().put(label_, 64, 24);
  show_all_children();
  timer_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &UpdateCheckDialog::onTimer),
                                          static_cast<unsigned>(delay.count()));
}

UpdateCheckDialog::~UpdateCheckDialog() {
  timer_.disconnect();
  check_->cancel = true;
  std::lock_guard lock(check_->mutex);
  check_->target = nullptr;
}

bool UpdateCheckDialog::onTimer() {
  if (!context_) {
    onChecked({});
    return false;
  }
  try {
    std::thread([check = check_, context = *context_] {
      const UpdateCheck result = CheckForUpdate(context, &check->cancel);
      platform::PostToUi([check, result] {
        UpdateCheckDialog* target = nullptr;
        {
          std::lock_guard lock(check->mutex);
          target = check->target;
        }
        if (target != nullptr && !check->cancel) {
          target->onChecked(result);
        }
      });
    }).detach();
  } catch (const std::system_error&) {
    onChecked({});
  }
  return false;
}

void UpdateCheckDialog::onChecked(const UpdateCheck& check) {
  ShowPlainMessage(UpdateCheckMessage(check));
  if (OpensDownloadPage(check)) {
    platform::ShellOpen(DownloadPage(), platform::ShowMode::Maximized);
  }
  hide();
}

bool UpdateCheckDialog::on_delete_event(GdkEventAny* event) {
  check_->cancel = true;
  timer_.disconnect();
  return FixedDialog::on_delete_event(event);
}

}  // namespace telvanta
