// The list window's station health: a check of the stations a page shows,
// run in the background with its progress below the lists, and each row's
// health mark and tool tip.

#include <string>
#include <utility>

#include "catalogue/windows/ChannelListWindow.h"
#include "common/I18n.h"
#include "health/HealthRules.h"
#include "platform/glib/PostToUi.h"
#include "settings/Settings.h"
#include "widgets/ErrorDisplay.h"

namespace telvanta {
namespace {

namespace component {
constexpr std::string_view checkProgress = "CheckProgress";
constexpr std::string_view checkCancelButton = "CheckCancelButton";
constexpr std::string_view hideFailedBox = "HideFailedBox";
}  // namespace component

constexpr const char* HideFailedCaption = N_("Hide stations that failed their last two checks");
constexpr const char* HideFailedSetting = "HideFailedStations";

}  // namespace

void ChannelListWindow::BuildHealth(AnchoredLayout& layout, int hideBoxX, int hideBoxY) {
  NameComponent(hideFailedBox_, component::hideFailedBox, _(HideFailedCaption));
  hideFailedBox_.set_label(_(HideFailedCaption));
  layout.Put(hideFailedBox_, hideBoxX, hideBoxY, AnchoredLayout::Down);
  hideFailedBox_.signal_toggled().connect([this] {
    WriteSetting(HideFailedSetting, hideFailedBox_.get_active() ? "1" : "0");
    ApplyHideFailed();
  });
  NameComponent(checkProgress_, component::checkProgress, _("Checking stations"));
  NameComponent(checkCancelButton_, component::checkCancelButton, _("Cancel"));
  checkProgress_.set_show_text(true);
  checkProgress_.set_size_request(180, -1);
  checkCancelButton_.set_label(_("Cancel"));
  checkCancelButton_.signal_clicked().connect([this] {
    checkCancelButton_.set_sensitive(false);
    checker_.Cancel();
  });
  for (const ListPage page : AllPages) {
    PageOf(page).list.SetHealthSource([this, page](int index) { return ChecksOf(page, index); });
  }
  layout.Put(checkProgress_, 300, 428, AnchoredLayout::Down);
  layout.Put(checkCancelButton_, 490, 425, AnchoredLayout::Down);
  // Shown only while a check runs.
  checkProgress_.set_no_show_all(true);
  checkCancelButton_.set_no_show_all(true);
}

void ChannelListWindow::OpenHealth() {
  if (!health_) {
    health_ = std::make_unique<health::HealthBook>();
    health_->OnTrouble([](const std::string& text) { ShowErrorBox(text); });
    health_->OnChange([this](const std::string&) {
      for (const ListPage page : AllPages) {
        PageOf(page).list.RedrawHealth();
      }
    });
  }
}

void ChannelListWindow::RestoreHideFailed() {
  const bool hide = ReadSetting(HideFailedSetting) == "1";
  if (hideFailedBox_.get_active() != hide) {
    hideFailedBox_.set_active(hide);  // writes the same value back, and applies it
  } else {
    ApplyHideFailed();
  }
}

void ChannelListWindow::ApplyHideFailed() {
  const bool hide = hideFailedBox_.get_active() && health_;
  for (const ListPage page : AllPages) {
    SearchableList& search = PageOf(page).rows;
    StationListBox& list = PageOf(page).list;
    const std::optional<std::size_t> selected = search.RowAt(list.ItemIndex());
    const double scroll = list.ScrollOffset();
    if (hide) {
      search.SetRowFilter([this, &search](std::size_t row) {
        const health::StationHealth* checks = health_->Find(search.All().urls[row]);
        return checks == nullptr || !health::FailedLastTwo(*checks);
      });
    } else {
      search.SetRowFilter({});
    }
    ShowRows(page);
    const int shown = selected ? search.ShownIndexOf(*selected) : -1;
    list.ShowView(shown, shown >= 0 ? std::nullopt : std::optional<double>(scroll));
  }
}

std::string ChannelListWindow::HealthProblem() const {
  return health_ ? health_->Problem() : std::string();
}

const health::StationHealth* ChannelListWindow::ChecksOf(ListPage page, int index) const {
  const TwinUrls urls = Urls(page);
  if (!health_ || index < 0 || static_cast<std::size_t>(index) >= urls.size()) {
    return nullptr;
  }
  return health_->Find(urls[static_cast<std::size_t>(index)]);
}

void ChannelListWindow::RecordCheck(const std::string& url, const health::CheckOutcome& outcome) {
  OpenHealth();
  health_->RecordCheck(url, outcome);
  if (hideFailedBox_.get_active()) {
    ApplyHideFailed();
  }
}

void ChannelListWindow::CheckStations(ListPage page) {
  if (checking_) {
    return;
  }
  OpenHealth();
  const TwinUrls shown = Urls(page);
  std::vector<std::string> urls(shown.begin(), shown.end());
  if (urls.empty()) {
    return;
  }
  checking_ = true;
  for (const ListPage each : AllPages) {
    UpdateCommands(each);
  }
  checkProgress_.set_fraction(0);
  checkProgress_.set_text(Substitute(_("Checking %1 of %2"), {"0", std::to_string(urls.size())}));
  checkProgress_.show();
  checkCancelButton_.set_sensitive(true);
  checkCancelButton_.show();
  // The checker reports from its own thread; each report hops to this
  // thread and is dropped once the window is gone.
  const std::weak_ptr<int> alive = alive_;
  auto shared = std::make_shared<const std::vector<std::string>>(urls);
  health::CheckCallbacks callbacks;
  callbacks.result = [this, alive, shared](std::size_t index, const health::CheckOutcome& outcome) {
    platform::PostToUi([this, alive, url = (*shared)[index], outcome] {
      if (alive.lock()) {
        onCheckResult(url, outcome);
      }
    });
  };
  callbacks.progress = [this, alive](std::size_t done, std::size_t total) {
    platform::PostToUi([this, alive, done, total] {
      if (alive.lock()) {
        onCheckProgress(done, total);
      }
    });
  };
  checker_.Start(std::move(urls), std::move(callbacks), [this, alive](bool) {
    platform::PostToUi([this, alive] {
      if (alive.lock()) {
        onCheckFinished();
      }
    });
  });
}

void ChannelListWindow::onCheckResult(const std::string& url, const health::CheckOutcome& outcome) {
  health_->Record(url, outcome, health::UnixNow());
}

void ChannelListWindow::onCheckProgress(std::size_t done, std::size_t total) {
  checkProgress_.set_fraction(total > 0 ? static_cast<double>(done) / static_cast<double>(total)
                                        : 1.0);
  checkProgress_.set_text(
      Substitute(_("Checking %1 of %2"), {std::to_string(done), std::to_string(total)}));
}

void ChannelListWindow::onCheckFinished() {
  checking_ = false;
  for (const ListPage page : AllPages) {
    UpdateCommands(page);
  }
  checkProgress_.hide();
  checkCancelButton_.hide();
  // Rows stay put while a check runs; those it finds dead twice go now.
  if (hideFailedBox_.get_active()) {
    ApplyHideFailed();
  }
}

}  // namespace telvanta
