#pragma once
// A desktop handler for some URL schemes that writes the address it was
// given into a file, found by GIO through the XDG folders of a temporary
// home. Install it before anything asks GIO for a handler.

#include <glib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace telvanta::test {

// Points XDG_DATA_HOME and XDG_CONFIG_HOME below home. With onlyOurs, the
// system's handlers are hidden too (XDG_DATA_DIRS); GTK then finds no
// settings schemas, which windows need, so window tests keep them.
inline void InstallTestUrlHandler(const std::filesystem::path& home,
                                  const std::vector<std::string>& schemes,
                                  const std::filesystem::path& marker, bool onlyOurs) {
  std::string mimeTypes;
  std::string defaults = "[Default Applications]\n";
  for (const auto& scheme : schemes) {
    mimeTypes += "x-scheme-handler/" + scheme + ";";
    defaults += "x-scheme-handler/" + scheme + "=telvanta-test-handler.desktop\n";
  }
  WriteFile(home / "data" / "applications" / "telvanta-test-handler.desktop",
            "[Desktop Entry]\nType=Application\nName=Test handler\n"
            "Exec=sh -c 'printf %s \"$1\" > \"" +
                marker.string() + "\"' sh %u\nMimeType=" + mimeTypes + "\nNoDisplay=true\n");
  WriteFile(home / "config" / "mimeapps.list", defaults);
  g_setenv("XDG_DATA_HOME", (home / "data").c_str(), TRUE);
  g_setenv("XDG_CONFIG_HOME", (home / "config").c_str(), TRUE);
  if (onlyOurs) {
    g_setenv("XDG_DATA_DIRS", (home / "none").c_str(), TRUE);
  }
}

}  // namespace telvanta::test
