#include "widgets/ErrorDisplay.h"

#include "common/Captions.h"
#include "common/I18n.h"
#include "platform/desktop/CloseKeys.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/glib/PostToUi.h"
#include "settings/Settings.h"
#include "widgets/WidgetSupport.h"

#include <exception>
#include <memory>
#include <thread>

namespace telvanta {

namespace {

std::thread::id uiThread;

// The window the box belongs to: the active one, else a modal one shown.
Gtk::Window* OwnerWindow() {
  Gtk::Window* modal = nullptr;
  for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
    if (!window->get_visible()) {
      continue;
    }
    if (window->is_active()) {
      return window;
    }
    if (window->get_modal() && modal == nullptr) {
      modal = window;
    }
  }
  return modal;
}

int RunMessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                  bool question = false) {
  MessageBox box(caption, text, icon, question);
  if (Gtk::Window* owner = OwnerWindow()) {
    box.set_transient_for(*owner);
    box.set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  }
  return box.run();
}

const char* IconPicture(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return "error";
    case MessageIcon::Question:
      return "help";
    case MessageIcon::Information:
    case MessageIcon::None:
      break;
  }
  return "about";
}

// The store may warn from the update worker; the box belongs to the UI thread.
void ShowWarningOnUiThread(const std::string& text) {
  if (std::this_thread::get_id() == uiThread) {
    ShowPlainMessage(text);
    return;
  }
  platform::PostToUi([text] { ShowPlainMessage(text); });
}

}  // namespace

MessageBox::MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                       bool question)
    : text_(text), icon_(icon), label_(text) {
  NameComponent(*this, "MessageBox", caption);
  set_title(caption);
  set_modal(true);
  set_resizable(false);
  set_position(Gtk::WIN_POS_CENTER);
  set_border_width(12);
  platform::CloseWithKeys(*this);
  if (icon != MessageIcon::None) {
    image_.set(Picture(IconPicture(icon), 32));
    image_.set_valign(Gtk::ALIGN_START);
    row_.pack_start(image_, false, false);
  }
  label_.set_line_wrap(true);
  label_.set_max_width_chars(60);
  label_.set_xalign(0.0F);
  row_.pack_start(label_, true, true);
  row_.set_margin_bottom(12);
  get_content_area()->pack_start(row_, true, true);
  if (question) {
    add_button(_("Yes"), Gtk::RESPONSE_YES);
    add_button(_("No"), Gtk::RESPONSE_NO);
    add_button(_("Cancel"), Gtk::RESPONSE_CANCEL);
    set_default_response(Gtk::RESPONSE_YES);
  } else {
    add_button(_("OK"), Gtk::RESPONSE_OK);
    set_default_response(Gtk::RESPONSE_OK);
  }
  show_all_children();
}

void ShowErrorBox(const std::string& message) {
  RunMessageBox(std::string(ApplicationTitle), ErrorBoxText(message), MessageIcon::Error);
}

void ShowPlainMessage(const std::string& text) {
  RunMessageBox(std::string(ApplicationTitle), text, MessageIcon::None);
}

void ShowInformationBox(const std::string& caption, const std::string& text) {
  RunMessageBox(caption, text, MessageIcon::Information);
}

MessageAnswer AskYesNoCancel(const std::string& caption, const std::string& text) {
  switch (RunMessageBox(caption, text, MessageIcon::Question, true)) {
    case Gtk::RESPONSE_YES:
      return MessageAnswer::Yes;
    case Gtk::RESPONSE_NO:
      return MessageAnswer::No;
    default:
      return MessageAnswer::Cancel;
  }
}

void ShowCurrentException() {
  try {
    throw;
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  } catch (const Glib::Exception& error) {
    ShowErrorBox(error.what());
  } catch (...) {
    ShowErrorBox(_("Unknown error"));
  }
}

void InstallErrorDisplay() {
  uiThread = std::this_thread::get_id();
  Glib::add_exception_handler([] { ShowCurrentException(); });
  SetRegistryWarningHandler(ShowWarningOnUiThread);
  platform::SetShellOpenFailureHandler([](const std::string& message) { ShowErrorBox(message); });
}

}  // namespace telvanta
