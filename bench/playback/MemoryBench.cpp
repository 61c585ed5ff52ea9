// What the program costs in memory and processor time: its proportional set
// size (PSS, summed over the program and every process below it, WebKit's
// web and network processes included) at idle with the channel list shown,
// and while a 720p live HLS stream from 127.0.0.1 plays. Beside it, in the
// same run: a plain libmpv gtkmm window (bench_reference_player) playing the
// same stream, and a bare WebKitGTK view (bench_bare_webview), the floor of
// any program that shows its pages in WebKit. The program runs over a
// temporary home whose catalogue is the shipped one with the loopback
// station added first.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_memory [rounds] [program]

// Before Xlib, whose None macro would meet its enumerators.
#include "update/CatalogueRefresh.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "common/DesCipher.h"
#include "common/ProgramPaths.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestMedia.h"

namespace telvanta {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kSegmentSeconds = 2;
constexpr int kSegments = 40;
constexpr int kLiveWindow = 4;
constexpr auto kSettle = 8s;
constexpr int kSamples = 8;

// ---- /proc ----

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct ProcessStat {
  pid_t parent = 0;
  std::string name;
  long long ticks = 0;  // user + system
};

std::optional<ProcessStat> StatOf(pid_t pid) {
  const std::string text = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const auto open = text.find('(');
  const auto close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos) {
    return std::nullopt;
  }
  ProcessStat stat;
  stat.name = text.substr(open + 1, close - open - 1);
  std::istringstream rest(text.substr(close + 2));
  std::string field;
  std::vector<std::string> fields;
  while (rest >> field) {
    fields.push_back(field);
  }
  if (fields.size() < 13) {
    return std::nullopt;
  }
  stat.parent = std::stoi(fields[1]);
  stat.ticks = std::stoll(fields[11]) + std::stoll(fields[12]);
  return stat;
}

// The process and everything below it.
std::map<pid_t, ProcessStat> Tree(pid_t root) {
  std::map<pid_t, ProcessStat> all;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    if (const auto stat = StatOf(std::stoi(name))) {
      all[std::stoi(name)] = *stat;
    }
  }
  std::map<pid_t, ProcessStat> tree;
  if (all.count(root) == 0) {
    return tree;
  }
  tree[root] = all[root];
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& [pid, stat] : all) {
      if (tree.count(pid) == 0 && tree.count(stat.parent) != 0) {
        tree[pid] = stat;
        grew = true;
      }
    }
  }
  return tree;
}

long FieldKb(const std::string& text, const std::string& name) {
  const auto at = text.find("\n" + name + ":");
  return at == std::string::npos ? 0 : std::atol(text.c_str() + at + name.size() + 2);
}

long PssKb(pid_t pid) {
  return FieldKb("\n" + ReadFile("/proc/" + std::to_string(pid) + "/smaps_rollup"), "Pss");
}

long Threads(pid_t pid) {
  return FieldKb("\n" + ReadFile("/proc/" + std::to_string(pid) + "/status"), "Threads");
}

long RssKb(pid_t pid) {
  return FieldKb("\n" + ReadFile("/proc/" + std::to_string(pid) + "/status"), "VmRSS");
}

// The resident pages the processes map, each counted once: what they hold
// between them, whatever else runs on the machine (PSS shares a page with
// every process that maps it, another program's too). Needs root to see
// page frames; 0 without.
double DistinctPagesMb(const std::map<pid_t, ProcessStat>& tree) {
  std::unordered_set<std::uint64_t> frames;
  for (const auto& [pid, stat] : tree) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/smaps");
    const int pagemap = open(("/proc/" + std::to_string(pid) + "/pagemap").c_str(), O_RDONLY);
    if (pagemap < 0) {
      continue;
    }
    std::string line;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    while (std::getline(maps, line)) {
      if (std::isxdigit(static_cast<unsigned char>(line[0])) && line.find('-') < 17) {
        start = std::stoull(line.substr(0, line.find('-')), nullptr, 16);
        end = std::stoull(line.substr(line.find('-') + 1), nullptr, 16);
      } else if (line.starts_with("Rss:") && std::atol(line.c_str() + 4) > 0) {
        std::vector<std::uint64_t> entries((end - start) / 4096);
        const ssize_t got = pread(pagemap, entries.data(), entries.size() * 8,
                                  static_cast<off_t>(start / 4096 * 8));
        entries.resize(got > 0 ? static_cast<std::size_t>(got) / 8 : 0);
        for (const std::uint64_t entry : entries) {
          const std::uint64_t frame = entry & ((1ULL << 55) - 1);
          if ((entry >> 63) != 0 && frame != 0) {
            frames.insert(frame);
          }
        }
      }
    }
    close(pagemap);
  }
  return static_cast<double>(frames.size()) * 4096 / (1024.0 * 1024.0);
}

struct Sample {
  double pssMb = 0;      // whole tree
  double aloneMb = 0;    // whole tree, each page once
  double mainPssMb = 0;  // the program's own process
  double mainRssMb = 0;
  long threads = 0;  // of the program's own process
  std::map<std::string, double> byName;
};

Sample Measure(pid_t root) {
  Sample sample;
  const auto tree = Tree(root);
  sample.aloneMb = DistinctPagesMb(tree);
  for (const auto& [pid, stat] : tree) {
    const double mb = static_cast<double>(PssKb(pid)) / 1024.0;
    sample.pssMb += mb;
    sample.byName[stat.name] += mb;
  }
  sample.mainPssMb = static_cast<double>(PssKb(root)) / 1024.0;
  sample.mainRssMb = static_cast<double>(RssKb(root)) / 1024.0;
  sample.threads = Threads(root);
  return sample;
}

long long TreeTicks(pid_t root) {
  long long ticks = 0;
  for (const auto& [pid, stat] : Tree(root)) {
    ticks += stat.ticks;
  }
  return ticks;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Figures {
  Sample sample;  // the median sample by PSS
  double cpuPercent = 0;
};

// Samples memory once a second and the processor time over the same span.
Figures Observe(pid_t root) {
  std::vector<Sample> samples;
  const long long ticksBefore = TreeTicks(root);
  const auto start = Clock::now();
  for (int n = 0; n < kSamples; ++n) {
    std::this_thread::sleep_for(1s);
    samples.push_back(Measure(root));
  }
  const long long ticks = TreeTicks(root) - ticksBefore;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::sort(samples.begin(), samples.end(),
            [](const Sample& a, const Sample& b) { return a.pssMb < b.pssMb; });
  Figures figures;
  figures.sample = samples[samples.size() / 2];
  figures.cpuPercent =
      100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
  return figures;
}

// ---- the stream ----

// A live stream: the playlist slides over the segments with the time since
// the player was started, so no player can read ahead of the live edge.
struct LiveStream {
  fs::path folder;
  Clock::time_point start = Clock::now();
  std::atomic<int> requests = 0;  // of the playlist

  std::string Playlist() const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start);
    const int newest = std::min(
        kLiveWindow - 1 + static_cast<int>(elapsed.count()) / kSegmentSeconds, kSegments - 1);
    const int first = newest - kLiveWindow + 1;
    std::string text =
        "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:" + std::to_string(kSegmentSeconds) +
        "\n#EXT-X-MEDIA-SEQUENCE:" + std::to_string(first) + "\n";
    for (int segment = first; segment <= newest; ++segment) {
      text += "#EXTINF:" + std::to_string(kSegmentSeconds) + ".0,\nseg" + std::to_string(segment) +
              ".ts\n";
    }
    return text;
  }
};

void MakeSegments(const fs::path& folder) {
  const std::string seconds = std::to_string(kSegments * kSegmentSeconds);
  const std::string gop = std::to_string(25 * kSegmentSeconds);
  if (!test::RunProgram({"ffmpeg",
                         "-nostdin",
                         "-loglevel",
                         "error",
                         "-y",
                         "-f",
                         "lavfi",
                         "-i",
                         "testsrc2=size=1280x720:rate=25",
                         "-f",
                         "lavfi",
                         "-i",
                         "sine=frequency=440:sample_rate=44100",
                         "-t",
                         seconds,
                         "-c:v",
                         "libx264",
                         "-preset",
                         "veryfast",
                         "-b:v",
                         "2500k",
                         "-maxrate",
                         "2500k",
                         "-bufsize",
                         "5000k",
                         "-pix_fmt",
                         "yuv420p",
                         "-g",
                         gop,
                         "-keyint_min",
                         gop,
                         "-sc_threshold",
                         "0",
                         "-c:a",
                         "aac",
                         "-b:a",
                         "128k",
                         "-f",
                         "hls",
                         "-hls_time",
                         std::to_string(kSegmentSeconds),
                         "-hls_list_size",
                         "0",
                         "-hls_segment_filename",
                         (folder / "seg%d.ts").string(),
                         (folder / "vod.m3u8").string()})) {
    throw std::runtime_error("ffmpeg could not make the stream");
  }
}

// ---- the program's home ----

// The shipped catalogue with the loopback station first in the TV list, where
// a refreshed catalogue goes.
void MakeHome(const fs::path& home, const fs::path& program, const std::string& stream) {
  const fs::path data = home / "data" / "telvanta";
  fs::create_directories(home / "config" / "telvanta");
  fs::create_directories(data);
  fs::create_directories(home / "run");
  fs::permissions(home / "run", fs::perms::owner_all);
  std::ofstream(home / "config" / "telvanta" / "settings.reg")
      << "Windows Registry Editor Version 5.00\r\n\r\n"
      << "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora]\r\n"
      << "\"Day\"=\"" << DateText() << "\"\r\n"
      << "\"FirstRun\"=\"1\"\r\n\r\n";
  // Installed as a refresh is, so that the program opens it.
  const fs::path catalogue = StagingFolder(data) / "listv2.dll";
  fs::create_directories(catalogue.parent_path());
  fs::copy_file(program.parent_path() / "listv2.dll", catalogue,
                fs::copy_options::overwrite_existing);
  sqlite3* db = nullptr;
  sqlite3_open(catalogue.c_str(), &db);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO tv VALUES('Aaa Loopback', 'Loopback TV', '2500k', ?, 'News')",
                     -1, &insert, nullptr);
  const std::string url = DesEncryptHex(stream, StationKey);
  sqlite3_bind_text(insert, 1, url.c_str(), -1, SQLITE_TRANSIENT);
  const int done = sqlite3_step(insert);
  sqlite3_finalize(insert);
  sqlite3_close(db);
  if (done != SQLITE_DONE) {
    throw std::runtime_error("could not add the loopback station");
  }
  if (!AcceptStagedCatalogue(data, program.parent_path()) || !InstallStagedCatalogue(data)) {
    throw std::runtime_error("the catalogue with the loopback station was refused");
  }
}

// ---- windows ----

std::string WindowName(Display* display, Window window) {
  char* name = nullptr;
  std::string text;
  if (XFetchName(display, window, &name) != 0 && name != nullptr) {
    text = name;
    XFree(name);
  }
  return text;
}

// A mapped top-level window whose name starts with `prefix` and is at least
// this wide.
std::optional<Window> FindWindow(Display* display, const std::string& prefix, int minWidth) {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::optional<Window> found;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
    return found;
  }
  for (unsigned n = 0; n < count && !found; ++n) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[n], &attributes) != 0 &&
        attributes.map_state == IsViewable && attributes.width >= minWidth &&
        WindowName(display, children[n]).starts_with(prefix)) {
      found = children[n];
    }
  }
  XFree(children);
  return found;
}

std::optional<Window> WaitForWindow(Display* display, const std::string& prefix, int minWidth) {
  for (const auto deadline = Clock::now() + 30s; Clock::now() < deadline;
       std::this_thread::sleep_for(50ms)) {
    if (const auto window = FindWindow(display, prefix, minWidth)) {
      return window;
    }
  }
  return std::nullopt;
}

bool WaitFor(const std::function<bool()>& done) {
  for (const auto deadline = Clock::now() + 10s; Clock::now() < deadline;
       std::this_thread::sleep_for(50ms)) {
    if (done()) {
      return true;
    }
  }
  return false;
}

pid_t Start(const std::vector<std::string>& argv, const fs::path& home) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "run").c_str(), 1);
    freopen("/dev/null", "w", stderr);
    freopen("/dev/null", "w", stdout);
    std::vector<char*> args;
    for (const auto& arg : argv) {
      args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  std::this_thread::sleep_for(1s);  // WebKit's processes follow their host
}

struct Round {
  Figures idle;
  Figures playing;
  Figures reference;
  Figures webView;
};

std::optional<Round> RunRound(Display* display, const fs::path& home, const fs::path& path,
                              LiveStream& live, const std::string& stream) {
  Round round;
  const pid_t program = Start({path.string()}, home);
  const auto list = WaitForWindow(display, "Telvanta", 500);
  if (!list) {
    std::puts("bench_memory: the channel list did not come up");
    Stop(program);
    return std::nullopt;
  }
  // The browser is made once the list is on screen; let it settle.
  std::this_thread::sleep_for(kSettle);
  round.idle = Observe(program);

  // A double-click on the first row of the TV list, the loopback station.
  XWindowAttributes attributes;
  XGetWindowAttributes(display, *list, &attributes);
  live.start = Clock::now();
  test::RunProgram({"xdotool", "mousemove", std::to_string(attributes.x + 150),
                    std::to_string(attributes.y + 88), "click", "--repeat", "2", "1"});
  live.requests = 0;
  if (!WaitForWindow(display, "Telvanta - ", 300) ||
      !WaitFor([&live] { return live.requests > 0; })) {
    std::puts("bench_memory: the station did not play");
    test::RunProgram({"import", "-window", "root", "/tmp/bench_memory_failure.png"});
    Stop(program);
    return std::nullopt;
  }
  std::this_thread::sleep_for(kSettle);
  round.playing = Observe(program);
  Stop(program);

  live.start = Clock::now();
  const pid_t reference = Start({TELVANTA_REFERENCE_PLAYER, stream, "636", "358"}, home);
  std::this_thread::sleep_for(kSettle);
  round.reference = Observe(reference);
  Stop(reference);

  const pid_t webView = Start({TELVANTA_BARE_WEBVIEW}, home);
  std::this_thread::sleep_for(kSettle);
  round.webView = Observe(webView);
  Stop(webView);
  return round;
}

void PrintBreakdown(const char* label, const Sample& sample) {
  std::printf("    %s:", label);
  for (const auto& [name, mb] : sample.byName) {
    std::printf(" %s %.1f", name.c_str(), mb);
  }
  std::printf(" (MB)\n");
}

int Run(int rounds, const fs::path& program) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::puts(
        "bench_memory needs a display: run it as\n"
        "  xvfb-run -a -s \"-screen 0 1280x1024x24\" build/bench/bench_memory");
    return 0;
  }
  test::TempFolder media("telvanta-bench-live");
  MakeSegments(media.Path());
  LiveStream live{media.Path()};
  test::LoopbackHttpServer server(media.Path());
  server.AddRoute("/live.m3u8", [&live](const test::HttpRequest&, test::HttpConnection& out) {
    ++live.requests;
    const std::string body = live.Playlist();
    out.Send("HTTP/1.0 200 OK\r\nContent-Type: application/vnd.apple.mpegurl\r\nContent-Length: " +
             std::to_string(body.size()) + "\r\n\r\n" + body);
  });
  const std::string stream = server.Url("/live.m3u8");
  test::TempFolder home("telvanta-bench-memory");
  MakeHome(home.Path(), program, stream);

  std::vector<Round> results;
  for (int n = 0; n < rounds; ++n) {
    const auto round = RunRound(display, home.Path(), program, live, stream);
    if (!round) {
      return 1;
    }
    results.push_back(*round);
  }
  XCloseDisplay(display);

  const auto median = [&](auto pick) {
    std::vector<double> values;
    for (const auto& round : results) {
      values.push_back(pick(round));
    }
    return Median(values);
  };
  const auto row = [&](const char* label, Figures Round::*phase) {
    const auto of = [&](auto field) {
      return median([&](const Round& r) { return field(r.*phase); });
    };
    std::printf("  %-36s %7.1f %7.1f %8.1f %7.1f %7.0f %6.1f\n", label,
                of([](const Figures& f) { return f.sample.pssMb; }),
                of([](const Figures& f) { return f.sample.aloneMb; }),
                of([](const Figures& f) { return f.sample.mainPssMb; }),
                of([](const Figures& f) { return f.sample.mainRssMb; }),
                of([](const Figures& f) { return static_cast<double>(f.sample.threads); }),
                of([](const Figures& f) { return f.cpuPercent; }));
  };
  std::printf(
      "Memory and processor time, 720p live HLS from 127.0.0.1, median of %d rounds\n"
      "(each the median of %d samples a second apart). PSS is summed over the\n"
      "program's processes; 'alone' counts each page they hold once, whatever else\n"
      "runs (PSS shares a page with every process mapping it). MB, %% of one core:\n",
      rounds, kSamples);
  std::printf("  %-36s %7s %7s %8s %7s %7s %6s\n", "", "PSS", "alone", "own PSS", "own RSS",
              "threads", "CPU");
  row("Telvanta, idle with the list shown", &Round::idle);
  row("Telvanta, playing", &Round::playing);
  row("plain libmpv gtkmm window, playing", &Round::reference);
  row("bare WebKitGTK view, one-line page", &Round::webView);
  const double playing = median([](const Round& r) { return r.playing.sample.pssMb; });
  const double reference = median([](const Round& r) { return r.reference.sample.pssMb; });
  const double playingAlone = median([](const Round& r) { return r.playing.sample.aloneMb; });
  const double referenceAlone = median([](const Round& r) { return r.reference.sample.aloneMb; });
  std::printf("  %-36s %7.2f %7.2f\n", "ratio playing / plain", playing / reference,
              referenceAlone > 0 ? playingAlone / referenceAlone : 0.0);
  std::puts("  where it goes (last round):");
  PrintBreakdown("idle", results.back().idle.sample);
  PrintBreakdown("playing", results.back().playing.sample);
  PrintBreakdown("plain", results.back().reference.sample);
  PrintBreakdown("web view", results.back().webView.sample);
  return 0;
}

}  // namespace
}  // namespace telvanta

int main(int argc, char** argv) {
  return telvanta::Run(argc > 1 ? std::max(1, std::atoi(argv[1])) : 3,
                       argc > 2 ? argv[2] : TELVANTA_PROGRAM);
}
