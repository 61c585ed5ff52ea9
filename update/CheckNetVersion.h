#pragma once
// The daily update worker and the manual check's fetch. Neither touches a
// widget: results go to callbacks, which the GUI hops to the UI thread.

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/net/Download.h"
#include "update/SystemLanguage.h"
#include "update/UpdateInfo.h"

namespace telvanta {

// What a check reads from its surroundings; tests give their own.
struct UpdateContext {
  std::string infoEndpointHex;  // DES hex under UpdateKey
  std::string listEndpointHex;
  std::filesystem::path downloadFolder;  // tvinfo.ini and listv2.zip go here
  std::filesystem::path dataFolder;      // the refresh is staged below it
  std::filesystem::path programFolder;   // holds the shipped catalogue
  std::string version;
  std::optional<LangId> language;
  platform::DownloadLimits limits;
};

// The built-in endpoints, a private folder below the temporary folder,
// UserDataFolder(), ProgramFolder(), ProgramVersion and SystemDefaultLangID().
// None when the download folder can't be made private to the user.
std::optional<UpdateContext> DefaultUpdateContext();
// Window tests point the program's checks at a loopback server; none restores
// the default.
void SetUpdateContextForTesting(std::optional<UpdateContext> context);

// Called on the worker thread, never after the worker's destructor returned:
// the destructor waits for a callback that is running, so a callback must not
// wait for the thread that destroys the worker (post to the UI thread and
// return).
struct UpdateCallbacks {
  // The announcement for our version (empty when tvinfo.ini has none).
  std::function<void(const Announcement&)> announce;
  // A whole catalogue waits in the staging folder; the UI thread closes the
  // database, calls InstallStagedCatalogue, reconnects and reloads.
  std::function<void(const std::filesystem::path& staged)> catalogueStaged;
  // The run has ended, whichever way.
  std::function<void()> finished;
};

// Runs one check on its own thread: fetches tvinfo.ini, announces, stores
// LastText and LastURL, and when the gates allow fetches listv2.zip, extracts
// it into the staging folder and reports a whole catalogue. Downloaded files
// are deleted after use; a failed download ends the run silently.
class CheckNetVersion {
 public:
  CheckNetVersion(UpdateContext context, UpdateCallbacks callbacks);
  // Cancels a running check and waits for its thread, which a cancel ends
  // within about a second; no callback runs after this returns.
  ~CheckNetVersion();
  CheckNetVersion(const CheckNetVersion&) = delete;
  CheckNetVersion& operator=(const CheckNetVersion&) = delete;

  // Starts a run; false while the previous one is still running.
  bool Start();
  bool Running() const;
  // Ends a running check early; it then reports nothing more but `finished`.
  void Cancel();

 private:
  struct Job;
  static void Run(const UpdateContext& context, Job& job);

  UpdateContext context_;
  UpdateCallbacks callbacks_;
  std::shared_ptr<Job> job_;
};

// The manual check's fetch: downloads tvinfo.ini, reads "Version" of
// "Current" (UnknownVersion when absent), deletes the file and compares it
// with the context's version. Blocks for as long as the download takes; call
// it off the UI thread. Never throws.
UpdateCheck CheckForUpdate(const UpdateContext& context, const std::atomic<bool>* cancel = nullptr);

}  // namespace telvanta
