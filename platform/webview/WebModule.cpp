#include "platform/webview/WebModule.h"

#include <dlfcn.h>

#include <chrono>
#include <future>
#include <mutex>
#include <utility>

#include "common/Error.h"
#include "common/I18n.h"
#include "common/ProgramPaths.h"

namespace telvanta::platform {
namespace {

struct Loaded {
  const WebModule* module = nullptr;
  std::string error;
};

struct ModuleState {
  std::mutex mutex;
  const WebModule* linked = nullptr;
  std::shared_future<Loaded> loading;
  // UI thread only.
  std::function<void(const std::string&)> openFailure;
  const WebModule* handedOpenFailure = nullptr;
};

ModuleState& State() {
  static ModuleState state;
  return state;
}

// Never unloaded: its widgets, types and threads live until the program ends.
Loaded LoadFile(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    return {nullptr, reason != nullptr ? reason : "unknown error"};
  }
  auto entry = reinterpret_cast<WebModuleEntryFunction>(dlsym(handle, WebModuleEntry));
  if (entry == nullptr) {
    return {nullptr, std::string("it has no ") + WebModuleEntry};
  }
  return {entry(), ""};
}

// Caller holds the state's mutex.
void StartLoading(ModuleState& state) {
  if (state.linked == nullptr && !state.loading.valid()) {
    state.loading = std::async(std::launch::async, [path = ModuleFolder() + WebModuleFile] {
                      return LoadFile(path);
                    }).share();
  }
}

}  // namespace

void UseLinkedWebModule(const WebModule& module) {
  std::lock_guard lock(State().mutex);
  State().linked = &module;
}

void PreloadWebModule() {
  std::lock_guard lock(State().mutex);
  StartLoading(State());
}

bool WebModuleSettled() {
  std::lock_guard lock(State().mutex);
  return State().linked != nullptr ||
         (State().loading.valid() &&
          State().loading.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
}

const WebModule& LoadWebModule() {
  std::shared_future<Loaded> loading;
  {
    std::lock_guard lock(State().mutex);
    if (State().linked != nullptr) {
      return *State().linked;
    }
    StartLoading(State());
    loading = State().loading;
  }
  const Loaded& loaded = loading.get();
  if (loaded.module == nullptr) {
    throw Error(Substitute(_("The player module %1 can't be loaded: %2"),
                           {ModuleFolder() + WebModuleFile, loaded.error}));
  }
  if (State().handedOpenFailure != loaded.module) {
    State().handedOpenFailure = loaded.module;
    loaded.module->setOpenFailureHandler(State().openFailure);
  }
  return *loaded.module;
}

void SetWebModuleOpenFailureHandler(std::function<void(const std::string& message)> handler) {
  State().openFailure = std::move(handler);
  if (const WebModule* module = State().handedOpenFailure) {
    module->setOpenFailureHandler(State().openFailure);
  }
}

}  // namespace telvanta::platform
