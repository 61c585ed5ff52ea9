#pragma once
// AboutDialog: the program's name, version, maker and links. A new one each
// time, so it always shows the running version; it fades in when shown.

#include <gtkmm.h>

#include "widgets/FixedDialog.h"
#include "widgets/LinkLabel.h"

namespace telvanta {

class AboutDialog : public FixedDialog {
 public:
  explicit AboutDialog(Gtk::Window& owner);
  ~AboutDialog() override;
  AboutDialog(const AboutDialog&) = delete;
  AboutDialog& operator=(const AboutDialog&) = delete;

 protected:
  void on_show() override;

 private:
  bool onFadeStep();

  Gtk::Frame picturePanel_;
  Gtk::Image picture_;
  Gtk::Label makerLabel_;
  Gtk::Label titleLabel_;
  Gtk::Label versionLabel_;
  Gtk::Label madeByLabel_;
  Gtk::Label homepageLabel_;
  LinkLabel homepageLink_;
  Gtk::Label emailLabel_;
  LinkLabel emailLink_;
  Gtk::Button okButton_;
  Gtk::Separator bevel_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Label legalLabel_;
  sigc::connection fade_;
  double opacity_ = 0.0;
};

}  // namespace telvanta
