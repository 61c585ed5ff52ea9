#include "update/CheckNetVersion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <system_error>
#include <thread>

#include "common/Error.h"
#include "common/Files.h"
#include "common/ProgramPaths.h"
#include "platform/archive/ZipExtract.h"
#include "settings/Settings.h"
#include "update/CatalogueRefresh.h"
#include "update/Endpoints.h"

namespace telvanta {

namespace fs = std::filesystem;

namespace {

// tvinfo.ini belongs to one user at a time: the worker or the manual check.
std::mutex& UpdateInfoFileMutex() {
  static std::mutex mutex;
  return mutex;
}

void RemoveQuietly(const fs::path& file) {
  std::error_code ignored;
  fs::remove(file, ignored);
}

// Fetches, reads and deletes tvinfo.ini; none when the download failed.
std::optional<std::string> FetchUpdateInfo(const UpdateContext& context,
                                           const std::atomic<bool>* cancel) {
  const std::string url = DecipherEndpoint(context.infoEndpointHex);
  const fs::path file = context.downloadFolder / UpdateInfoFileName;
  std::lock_guard lock(UpdateInfoFileMutex());
  if (!platform::DownloadFile(url, file, cancel, context.limits, std::chrono::seconds(30))) {
    return std::nullopt;
  }
  std::optional<std::string> text;
  try {
    text = ReadWholeFile(file).value_or("");
  } catch (const Error&) {
    text = "";  // read as a file without the keys
  }
  RemoveQuietly(file);
  return text;
}

// A folder of the user's own under the shared temporary folder, so another
// user can't plant a file or a link under our fixed names.
std::optional<fs::path> PrivateDownloadFolder() {
  const fs::path folder = fs::path(DownloadFolder()) / ("telvanta-" + std::to_string(::getuid()));
  ::mkdir(folder.c_str(), 0700);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
    return std::nullopt;
  }
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
    return std::nullopt;
  }
  return folder;
}

std::mutex contextOverrideMutex;
std::optional<UpdateContext> contextOverride;

}  // namespace

struct CheckNetVersion::Job {
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  // Cleared by the destructor; callbacks run only while holding it set.
  std::mutex mutex;
  const UpdateCallbacks* target = nullptr;
  std::thread thread;

  template <typename Call>
  void Report(Call call) {
    std::lock_guard lock(mutex);
    if (target != nullptr && !cancel.load()) {
      call(*target);
    }
  }
};

void SetUpdateContextForTesting(std::optional<UpdateContext> context) {
  std::lock_guard lock(contextOverrideMutex);
  contextOverride = std::move(context);
}

std::optional<UpdateContext> DefaultUpdateContext() {
  {
    std::lock_guard lock(contextOverrideMutex);
    if (contextOverride) {
      return contextOverride;
    }
  }
  const auto downloads = PrivateDownloadFolder();
  if (!downloads) {
    return std::nullopt;
  }
  UpdateContext context;
  context.infoEndpointHex = std::string(UpdateInfoEndpointHex());
  context.listEndpointHex = std::string(CatalogueArchiveEndpointHex());
  context.downloadFolder = *downloads;
  context.dataFolder = UserDataFolder();
  context.programFolder = ProgramFolder();
  context.version = std::string(ProgramVersion);
  context.language = SystemDefaultLangID();
  return context;
}

CheckNetVersion::CheckNetVersion(UpdateContext context, UpdateCallbacks callbacks)
    : context_(std::move(context)), callbacks_(std::move(callbacks)) {}

CheckNetVersion::~CheckNetVersion() {
  if (!job_) {
    return;
  }
  job_->cancel = true;
  {
    std::lock_guard lock(job_->mutex);
    job_->target = nullptr;
  }
  if (job_->thread.joinable()) {
    job_->thread.join();
  }
}

bool CheckNetVersion::Start() {
  if (Running()) {
    return false;
  }
  if (job_ && job_->thread.joinable()) {
    job_->thread.join();
  }
  auto job = std::make_shared<Job>();
  job->target = &callbacks_;
  job->thread = std::thread([job, context = context_] {
    try {
      Run(context, *job);
    } catch (...) {
      // Any error ends the run without a word, as every failure here does.
    }
    {
      std::lock_guard lock(job->mutex);
      if (job->target != nullptr && job->target->finished) {
        job->target->finished();
      }
    }
    job->done = true;
  });
  job_ = std::move(job);
  return true;
}

bool CheckNetVersion::Running() const { return job_ && !job_->done.load(); }

void CheckNetVersion::Cancel() {
  if (job_) {
    job_->cancel = true;
  }
}

void CheckNetVersion::Run(const UpdateContext& context, Job& job) {
  const auto info = FetchUpdateInfo(context, &job.cancel);
  if (!info || job.cancel) {
    return;
  }
  const Announcement announcement = ReadAnnouncement(*info, context.version);
  WriteSetting("LastText", announcement.text);
  WriteSetting("LastURL", announcement.url);
  job.Report([&](const UpdateCallbacks& target) {
    if (target.announce) {
      target.announce(announcement);
    }
  });

  if (!CatalogueRefreshAllowed(context.language, ReadSetting("AutoUpdate"),
                               ReadSetting("FirstRun"))) {
    return;
  }
  const fs::path archive = context.downloadFolder / CatalogueArchiveFileName;
  if (!platform::DownloadFile(DecipherEndpoint(context.listEndpointHex), archive, &job.cancel,
                              context.limits, std::chrono::seconds(120))) {
    return;
  }
  const fs::path staging = StagingFolder(context.dataFolder);
  std::error_code ignored;
  fs::remove_all(staging, ignored);
  if (MakePrivateFolders(staging)) {
    platform::ExtractZip(archive, staging, &job.cancel);
  }
  RemoveQuietly(archive);
  if (job.cancel) {
    fs::remove_all(staging, ignored);
    return;
  }
  if (const auto staged =
          AcceptStagedCatalogue(context.dataFolder, context.programFolder, &job.cancel)) {
    job.Report([&](const UpdateCallbacks& target) {
      if (target.catalogueStaged) {
        target.catalogueStaged(*staged);
      }
    });
  }
}

UpdateCheck CheckForUpdate(const UpdateContext& context, const std::atomic<bool>* cancel) {
  try {
    if (const auto info = FetchUpdateInfo(context, cancel)) {
      return CompareVersions(NewestVersion(*info), context.version);
    }
  } catch (...) {
    // A bad endpoint is as good as no network.
  }
  return {};
}

}  // namespace telvanta
