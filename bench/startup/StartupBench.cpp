// Launch to the channel list on screen: starts the program and the bare
// window in turns, times each from fork to the map of its window (the list
// window comes up with every list filled), and prints both medians and the
// ratio. The program runs over a temporary home whose update check is done
// for today, so it stays offline.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_startup [program] [rounds]

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/ProgramPaths.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Launch {
  std::string program;
  std::string title;  // the window whose map ends the launch
  int minWidth;       // the splash shares the title; the list is wider
};

std::string WindowName(Display* display, Window window) {
  char* name = nullptr;
  std::string text;
  if (XFetchName(display, window, &name) != 0 && name != nullptr) {
    text = name;
    XFree(name);
  }
  return text;
}

// Waits for a top-level map of the launch's window; nullopt after 20 s.
std::optional<double> WaitForMap(Display* display, const Launch& launch, Clock::time_point start) {
  const auto deadline = start + std::chrono::seconds(20);
  while (Clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != MapNotify) continue;
      XWindowAttributes attributes;
      const Window window = event.xmap.window;
      if (WindowName(display, window) == launch.title &&
          XGetWindowAttributes(display, window, &attributes) != 0 &&
          attributes.width >= launch.minWidth) {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      }
    }
    usleep(200);
  }
  return std::nullopt;
}

pid_t Start(const std::string& program, const fs::path& home) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
    if (const int quiet = open("/dev/null", O_WRONLY); quiet >= 0) {
      dup2(quiet, STDERR_FILENO);
      close(quiet);
    }
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
}

fs::path MakeHome() {
  char pattern[] = "/tmp/telvanta-startup-XXXXXX";
  const fs::path home = mkdtemp(pattern);
  fs::create_directories(home / "config" / "telvanta");
  fs::create_directories(home / "run");
  fs::permissions(home / "run", fs::perms::owner_all);
  std::ofstream(home / "config" / "telvanta" / "settings.reg")
      << "Windows Registry Editor Version 5.00\r\n\r\n"
      << "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\r\n"
      << "\"Day\"=\"" << telvanta::DateText() << "\"\r\n\r\n";
  return home;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string program = argc > 1 ? argv[1] : TELVANTA_PROGRAM;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 12;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no display: run under xvfb-run\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  const Launch launches[] = {{program, "Telvanta", 500}, {TELVANTA_BARE_WINDOW, "Bare", 1}};
  std::vector<double> times[2];
  const fs::path home = MakeHome();
  for (int round = 0; round < rounds; ++round) {
    for (int which = 0; which < 2; ++which) {
      XSync(display, True);  // drop the previous launch's events
      const auto start = Clock::now();
      const pid_t pid = Start(launches[which].program, home);
      const auto elapsed = WaitForMap(display, launches[which], start);
      Stop(pid);
      if (!elapsed) {
        std::fprintf(stderr, "%s showed no window\n", launches[which].program.c_str());
        return 1;
      }
      times[which].push_back(*elapsed);
    }
  }
  fs::remove_all(home);
  const double telvanta = Median(times[0]);
  const double bare = Median(times[1]);
  std::printf("launch -> channel list on screen, median of %d\n", rounds);
  std::printf("  Telvanta                        %8.1f ms\n", telvanta);
  std::printf("  bare gtkmm window, empty tree   %8.1f ms\n", bare);
  std::printf("  ratio                           %8.2f\n", telvanta / bare);
  XCloseDisplay(display);
  return 0;
}
