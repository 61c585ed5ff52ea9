// The hive under concurrent use: threads of one process, several processes, and
// a writer killed at an arbitrary moment.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "platform/hive/RegistryHive.h"
#include "settings/Settings.h"
#include "tests/support/TempFolder.h"

namespace telvanta {
namespace {

const std::string Nivora = "HKEY_CURRENT_USER\\Software\\Quillmoor\\Nivora";

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

class RegistryConcurrencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hive_ = folder_.Path() / "telvanta" / "settings.reg";
    SetRegistryHivePathForTesting(hive_);
    SetRegistryWarningHandler([this](const std::string&) { ++warnings_; });
  }
  void TearDown() override {
    SetRegistryWarningHandler(nullptr);
    SetRegistryHivePathForTesting({});
  }

  // The hive as a file on disk, which must always parse.
  platform::Hive HiveOnDisk() const {
    auto parsed = platform::ParseHive(test::ReadFile(hive_));
    EXPECT_TRUE(std::holds_alternative<platform::Hive>(parsed));
    auto* hive = std::get_if<platform::Hive>(&parsed);
    return hive ? *hive : platform::Hive{};
  }

  static std::string Text(const platform::Hive& hive, const std::string& name) {
    const auto* key = hive.FindKey(Nivora);
    const auto* value = key ? key->Find(name) : nullptr;
    return value ? platform::StringValueText(*value) : std::string("<absent>");
  }

  // Runs body in a child process that reports success by its exit status.
  template <typename F>
  static pid_t Spawn(F body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      int status = 1;
      try {
        status = body() ? 0 : 1;
      } catch (...) {
      }
      ::_exit(status);
    }
    return pid;
  }

  static int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
  }

  test::TempFolder folder_{"telvanta-reg"};
  std::filesystem::path hive_;
  std::atomic<int> warnings_{0};
};

// Guards against lost updates and torn reads between threads of one process:
// each thread must always read back exactly what it wrote last.
TEST_F(RegistryConcurrencyTest, TwoThreadsTenThousandMixedOperationsEach) {
  constexpr int operations = 10000;
  constexpr int names = 8;
  std::atomic<int> faults{0};
  auto worker = [&](int id) {
    std::mt19937 random(static_cast<unsigned>(id) + 1);
    std::vector<std::string> last(names);
    const std::string own = "T" + std::to_string(id) + "_";
    const std::string other = "T" + std::to_string(1 - id) + "_";
    try {
      for (int i = 0; i < operations; ++i) {
        const int k = static_cast<int>(random() % names);
        switch (random() % 8) {  // a quarter writes, three quarters reads
          case 0:
            last[k] = std::to_string(i);
            WriteSetting(own + std::to_string(k), last[k]);
            break;
          case 1:
            WriteSetting("Shared", std::to_string(id) + ":" + std::to_string(i));
            break;
          case 2:
          case 3:
          case 4:
            if (ReadSetting(own + std::to_string(k)) != last[k]) ++faults;
            break;
          default: {
            const std::string theirs = ReadSetting(other + std::to_string(k));
            const std::string shared = ReadSetting("Shared");
            if (!theirs.empty() && !IsNumber(theirs)) ++faults;
            if (!shared.empty() &&
                !(shared.size() > 2 && shared[1] == ':' && (shared[0] == '0' || shared[0] == '1') &&
                  IsNumber(shared.substr(2)))) {
              ++faults;
            }
          }
        }
      }
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
    for (int k = 0; k < names; ++k) {
      if (!last[k].empty() && ReadSetting(own + std::to_string(k)) != last[k]) ++faults;
    }
  };
  std::thread first(worker, 0);
  std::thread second(worker, 1);
  first.join();
  second.join();
  EXPECT_EQ(faults, 0);
  EXPECT_EQ(warnings_, 0);
  EXPECT_NE(Text(HiveOnDisk(), "Shared"), "<absent>");
}

// The update worker and the UI thread meeting a store that can't be saved:
// the user is told once, not once per thread.
TEST_F(RegistryConcurrencyTest, ThreadsFailingToSaveAtOnceTellItOnce) {
  test::WriteFile(folder_.Path() / "file", "x");
  SetRegistryHivePathForTesting(folder_.Path() / "file" / "telvanta" / "settings.reg");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i) {
        WriteSetting(i % 2 ? "LastText" : "LastURL", std::to_string(i));
        if (!ReadSetting("LastText").empty()) ADD_FAILURE() << "nothing can be stored";
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(warnings_, 1);
}

// Guards against one process's rename dropping the other's change.
TEST_F(RegistryConcurrencyTest, TwoProcessesWritingAtOnceLoseNoUpdate) {
  constexpr int perProcess = 300;
  auto writer = [](char id) {
    return [id] {
      for (int i = 0; i < perProcess; ++i) {
        WriteSetting(std::string(1, id) + std::to_string(i), std::to_string(i));
      }
      return true;
    };
  };
  const pid_t a = Spawn(writer('A'));
  const pid_t b = Spawn(writer('B'));
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  EXPECT_EQ(Wait(a), 0);
  EXPECT_EQ(Wait(b), 0);
  const platform::Hive hive = HiveOnDisk();
  int missing = 0;
  for (const char id : {'A', 'B'}) {
    for (int i = 0; i < perProcess; ++i) {
      if (Text(hive, std::string(1, id) + std::to_string(i)) != std::to_string(i)) ++missing;
    }
  }
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(warnings_, 0);
}

// Guards against a half-written hive: a writer killed at any moment must leave
// a file that parses and holds an old or a new value for every name.
TEST_F(RegistryConcurrencyTest, WriterKilledMidWriteLeavesAnOldOrNewHive) {
  constexpr int names = 16;
  for (int k = 0; k < names; ++k) WriteSetting("N" + std::to_string(k), "0");
  // A big hive widens the moments in which a torn write could be caught.
  WriteRegValue(HKEY_CURRENT_USER, SettingsKey, "Padding", RegKindString, std::string(20000, 'p'));
  std::vector<long> seen(names, 0);
  std::mt19937 random(42);
  for (int round = 0; round < 20; ++round) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = Spawn([&] {
      for (long n = 1;; ++n) {
        WriteSetting("N" + std::to_string(n % names), std::to_string(n));
        if (n == 1 && ::write(ready[1], "x", 1) != 1) return false;
      }
      return true;
    });
    ASSERT_GT(child, 0);
    // Killed at a random moment once the writer is under way, however slow the build.
    char byte = 0;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    ::kill(child, SIGKILL);
    const int status = Wait(child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const platform::Hive hive = HiveOnDisk();
    for (int k = 0; k < names; ++k) {
      const std::string text = Text(hive, "N" + std::to_string(k));
      ASSERT_TRUE(IsNumber(text)) << "round " << round << " N" << k << " = " << text;
      // Old: what the name held before this round; new: a number the writer gave it.
      const long value = std::stol(text);
      EXPECT_TRUE(value == seen[k] || value % names == k) << "N" << k << " = " << text;
      seen[k] = value;
    }
    EXPECT_EQ(ReadSetting("N0"), Text(hive, "N0"));
  }
  long written = 0;
  for (long value : seen) written += value;
  EXPECT_GT(written, 0) << "the writers never got to write";
  WriteSetting("After", "1");  // the killed writers left no lock behind
  EXPECT_EQ(ReadSetting("After"), "1");
  EXPECT_EQ(warnings_, 0);
}

}  // namespace
}  // namespace telvanta
