#pragma once
// The application's standard error display and its message boxes: a caption
// (the application title unless a box has its own), an optional icon, the
// text and one OK button, or Yes, No and Cancel for a question.

#include <gtkmm.h>

#include <string>

namespace telvanta {

enum class MessageIcon { None, Error, Information, Question };
enum class MessageAnswer { Yes, No, Cancel };

class MessageBox : public Gtk::Dialog {
 public:
  MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
             bool question = false);
  const std::string& Text() const { return text_; }
  MessageIcon Icon() const { return icon_; }

 private:
  std::string text_;
  MessageIcon icon_;
  Gtk::Box row_{Gtk::ORIENTATION_HORIZONTAL, 12};
  Gtk::Image image_;
  Gtk::Label label_;
};

// Error icon, the message under the full stop rule.
void ShowErrorBox(const std::string& message);
// No icon.
void ShowPlainMessage(const std::string& text);
// A caption of its own and the information icon.
void ShowInformationBox(const std::string& caption, const std::string& text);
// A caption of its own, the question icon, Yes, No and Cancel; closing the
// box answers Cancel.
MessageAnswer AskYesNoCancel(const std::string& caption, const std::string& text);

// Shows the exception being handled; call only inside a catch block.
void ShowCurrentException();

// Runs a command; an error that escapes it is shown and the program goes on.
template <typename Command>
void RunCommand(Command&& command) {
  try {
    command();
  } catch (...) {
    ShowCurrentException();
  }
}

// Routes errors escaping signal handlers, and the settings store's warning
// box, and links no program could open, to the displays above. Call once on
// the UI thread after GTK is up.
void InstallErrorDisplay();

}  // namespace telvanta
