// Telvanta: a desktop tuner for live internet TV, radio and webcams.

#include "app/startup/Startup.h"
#include "widgets/ErrorDisplay.h"

#include <gtkmm.h>

#include <fontconfig/fontconfig.h>

#include <clocale>
#include <thread>

int main(int argc, char** argv) {
  // Before the toolkit: its start takes the UI thread for a while.
  auto startLists = telvanta::PreloadStartLists();
  // Fontconfig parses its configuration before the first text: on the other
  // core while GTK starts, not in front of the splash.
  std::jthread fonts([] { FcInit(); });
  auto app = Gtk::Application::create("org.telvanta.Telvanta", Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  // The media plug-ins parse numbers in the C locale.
  std::setlocale(LC_NUMERIC, "C");
  telvanta::InstallErrorDisplay();
  telvanta::ResetSkinWhenAsked(argc, argv);
  auto windows = telvanta::CreateWindowsWith(std::move(startLists));
  return app->run(*windows.mainWindow);
}
