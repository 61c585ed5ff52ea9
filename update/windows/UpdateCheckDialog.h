#pragma once
// UpdateCheckDialog: asks the update server whether a newer release exists.
// Shown modally; a moment after it appears it fetches tvinfo.ini off the UI
// thread, so every window stays responsive, tells the outcome and closes.

#include <gtkmm.h>

#include <chrono>
#include <memory>
#include <optional>

#include "update/CheckNetVersion.h"
#include "widgets/FixedDialog.h"

namespace telvanta {

class UpdateCheckDialog : public FixedDialog {
 public:
  // context: where the check fetches from (none: it can't, and says so).
  UpdateCheckDialog(Gtk::Window& owner, std::optional<UpdateContext> context,
                    std::chrono::milliseconds delay = std::chrono::milliseconds(3000));
  ~UpdateCheckDialog() override;
  UpdateCheckDialog(const UpdateCheckDialog&) = delete;
  UpdateCheckDialog& operator=(const UpdateCheckDialog&) = delete;

 protected:
  // Closing the dialog cancels a pending check.
  bool on_delete_event(GdkEventAny* event) override;

 private:
  struct Check;
  bool onTimer();
  void onChecked(const UpdateCheck& check);

  std::optional<UpdateContext> context_;
  std::shared_ptr<Check> check_;
  sigc::connection timer_;
  Gtk::Image picture_;
  Gtk::Label label_;
};

}  // namespace telvanta
