// Telvanta: a desktop tuner for live internet TV, radio and webcams.

#include "app/CommandLine.h"
#include "app/startup/Startup.h"
#include "platform/desktop/ShellOpen.h"
#include "widgets/ErrorDisplay.h"

#include <gtkmm.h>

#include <fontconfig/fontconfig.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// What the command line asks of the process, read before anything starts.
telvanta::CommandLine ReadOwnCommandLine(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path workingFolder = std::filesystem::current_path(error);
  return telvanta::ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc), workingFolder);
}

// --help, --version or a refused command line: told, and the run ends.
int Answer(const telvanta::CommandLine& command) {
  using Action = telvanta::CommandLine::Action;
  if (command.action == Action::Refuse) {
    std::fprintf(stderr, "telvanta: %s\n", command.error.c_str());
    return 2;
  }
  const std::string text =
      command.action == Action::Help ? telvanta::HelpText() : telvanta::VersionText();
  std::fputs(text.c_str(), stdout);
  return 0;
}

// Nothing of ours draws with OpenGL: the players use libmpv's software
// renderer and the pages are drawn without the GPU. Left alone, GDK and
// WebKit's view each open the GL driver as they start, which on Mesa maps and
// relocates libLLVM: 36 MB of the idle program's 179 (PSS, measured with the
// list shown). WebKit's web process needs EGL, so the driver still comes with
// the first play. A user's own setting of either variable wins, and the
// programs we open (a browser for a link) never see ours.
void KeepGlUnloadedWhileIdle() {
  telvanta::platform::SetForOwnProcesses("GDK_GL", "disable");
  telvanta::platform::SetForOwnProcesses("WEBKIT_DISABLE_COMPOSITING_MODE", "1");
}

}  // namespace

int main(int argc, char** argv) {
  // The command line's own texts speak the user's language too; GTK sets the
  // same locale again as it starts.
  std::setlocale(LC_ALL, "");
  const telvanta::CommandLine command = ReadOwnCommandLine(argc, argv);
  if (command.action != telvanta::CommandLine::Action::Run) {
    return Answer(command);
  }
  KeepGlUnloadedWhileIdle();
  // Before the toolkit: its start takes the UI thread for a while.
  auto startLists = telvanta::PreloadStartLists();
  // Fontconfig parses its configuration before the first text: on the other
  // core while GTK starts, not in front of the splash.
  std::jthread fonts([] { FcInit(); });
  auto app = Gtk::Application::create("org.telvanta.Telvanta");
  telvanta::SingleInstance instance(*app.get(), command.address);
  if (instance.HandedToRunningInstance()) {
    return 0;
  }
  // The media plug-ins parse numbers in the C locale.
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  telvanta::ResetSkinWhenAsked(command.resetSkin);
  auto windows = telvanta::CreateWindowsWith(std::move(startLists));
  instance.Serve(*windows.mainWindow);
  // The run ends when the main window closes; its first activation shows it.
  app->add_window(*windows.mainWindow);
  return app->run();
}
