#pragma once
// What the program's web views share. Their pages are our own few lines, so
// each view is sealed: a web context that keeps nothing on disk and runs its
// web process in WebKit's sandbox (bubblewrap) where that can start, with
// read-only access to the folders its pages come from; every WebKit feature
// the pages don't use off; and only a user's click sends an address out.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/glib/GObjectPtr.h"

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitSettings WebKitSettings;
typedef struct _WebKitNavigationAction WebKitNavigationAction;

namespace telvanta::platform {

// Where WebKit looks for the sandbox's tools (Debian's build of it).
inline constexpr const char* kBubblewrap = "/usr/bin/bwrap";
inline constexpr const char* kDBusProxy = "/usr/bin/xdg-dbus-proxy";

// Why WebKit's sandbox can't start with these tools, or none when it can:
// a tool is missing, or bubblewrap can't make the namespaces WebKit asks for
// (no user namespaces, a container that forbids them). WebKit itself does
// not check: its web process would die at launch, or the program with it.
// Runs bubblewrap once (some 30 ms); may wait, so not on the UI thread
// where that matters.
std::optional<std::string> SandboxProblem(const std::string& bubblewrap,
                                          const std::string& dbusProxy);

// SandboxProblem for WebKit's own tools, found once per process; the first
// call that finds a problem says on standard error why the sandbox is off.
// Thread-safe.
const std::optional<std::string>& SandboxProblemOnce();

// A new ephemeral web context (caches in memory only, nothing written under
// the user's folders) with the document viewer's cache model. Its web
// process runs sandboxed when SandboxProblemOnce() finds nothing, and may
// then read the existing `readable` folders and nothing else of the user's.
GObjectPtr<WebKitWebContext> NewSealedContext(const std::vector<std::filesystem::path>& readable);

// Turns off every feature our pages don't use: WebGL, WebAudio, media
// elements and streams, media capture, storage, the page cache, developer
// tools, new windows by script, the clipboard, full screen. With
// pageScripts false the page's own scripts don't run either; scripts the
// program runs (user scripts, evaluated ones) still do.
void SealSettings(WebKitSettings* settings, bool pageScripts);

// Hands a web or mail address to the desktop when the navigation is the
// user's doing (a click, not a redirect, refresh or script of its own);
// true if it did.
bool OpenIfUsersClick(WebKitNavigationAction* action, const std::string& uri);

// Removes what WebKit's persistent default context wrote in the program's
// folders before the views were sealed: WebKitCache and CacheStorage in the
// cache folder, hsts-storage.sqlite, mediakeys and storage in the data
// folder. Nothing else there is touched; a link is removed, not followed.
void RemoveWebKitLeftovers(const std::filesystem::path& dataFolder,
                           const std::filesystem::path& cacheFolder);

// What may wait before the first view: SandboxProblemOnce(), and
// RemoveWebKitLeftovers() for the user's folders. The web module's entry
// runs it on the worker that loads the module.
void PrepareSealedWeb();

}  // namespace telvanta::platform
