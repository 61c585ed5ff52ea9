#include "platform/browser/WebBrowser.h"

#include <malloc.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sstream>
#include <utility>

#include "common/Error.h"
#include "common/Files.h"
#include "common/ProgramPaths.h"
#include "platform/browser/PlayerScript.h"
#include "platform/browser/SealedWeb.h"
#include "platform/glib/GObjectPtr.h"
#include "platform/player/PlayerGeometry.h"

namespace telvanta::platform {
namespace {

struct GdkEventDeleter {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};

// Every player runs several threads; with glibc's default of one malloc
// arena per thread, memory grew by ~70 MB over 40 plays and stayed there.
void LimitMallocArenas() {
  static std::once_flag once;
  std::call_once(once, [] { mallopt(M_ARENA_MAX, 2); });
}

// The file a local URI names, without its fragment; empty for any other URI.
std::string FileOfUri(const std::string& uri) {
  const std::string bare = uri.substr(0, uri.find('#'));
  gchar* host = nullptr;
  GCharPtr file(g_filename_from_uri(bare.c_str(), &host, nullptr));
  GCharPtr named(host);
  return file && !named ? file.get() : "";
}

// Absolute, without "." or ".." or a trailing separator.
std::filesystem::path NormalFolder(const std::filesystem::path& folder) {
  auto normal = std::filesystem::absolute(folder).lexically_normal();
  return normal.has_filename() ? normal : normal.parent_path();
}

std::string ScriptNumber(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

}  // namespace

struct WebBrowser::Impl {
  struct Hosted {
    std::unique_ptr<PlayerWidget> widget;
    PixelRect box;
    std::optional<CssRect> requestedCss;
    std::vector<sigc::connection> connections;
    // Shown before its page reported the element (see ShowStartedEarly).
    bool early = false;
  };

  WebBrowser& owner;
  std::filesystem::path pageFolder;
  // The page file the program last asked for: the only one the view loads.
  std::string page;
  // The players' engines, declared first so that they outlive the players.
  // The first is made with the browser and kept: every play replaces the
  // stream on it, and only the process's first engine hears from ffmpeg why
  // a connection failed. A page with more players gets more engines.
  std::vector<std::unique_ptr<MpvEngine>> engines;
  GObjectPtr<WebKitWebContext> context;
  GObjectPtr<WebKitUserContentManager> content;
  GObjectPtr<WebKitWebView> view;
  ReadyState state = ReadyState::Uninitialized;
  bool acceptReports = false;
  PlayerSettings settings;
  std::string stationName;
  std::vector<Hosted> players;
  // A player widget off the page, kept for the next page's first player:
  // building one takes 2-7 ms of the first frame (its style is worked out
  // afresh), and a play that replaces another would pay that again.
  std::unique_ptr<PlayerWidget> kept;
  // The element the kept widget last stood for.
  std::optional<PlayerElement> keptElement;
  // A player was shown early for the page the next Navigate asks for.
  bool earlyAwaitsPage = false;
  // A player already opening the address the next page will show, until an
  // element of that page takes it over.
  std::unique_ptr<PlayerController> started;
  // The page asked for while the player shown early opens its stream, and
  // what loads it: that player's first picture or sound, its failure, or
  // the time limit.
  std::string heldUri;
  std::vector<sigc::connection> heldRelease;
  sigc::signal<void()> downloadComplete;
  sigc::signal<void()> playersChanged;
  sigc::signal<void(int)> volumeChanged;
  std::shared_ptr<bool> alive = std::make_shared<bool>(true);

  Impl(WebBrowser& browser, std::filesystem::path folder);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  double Zoom() const { return webkit_web_view_get_zoom_level(view.get()); }
  void OnLoadChanged(WebKitLoadEvent event);
  bool OnDecidePolicy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type);
  std::optional<std::string> PageFile(const std::string& filePath) const;
  void OnReport(const std::string& json);
  void Host(const PlayerElement& element);
  std::unique_ptr<PlayerController> TakeStarted(const PlayerElement& element);
  bool WantsStarted(const PlayerElement& element) const;
  void DropStarted();
  std::unique_ptr<PlayerController> MakeController(const std::string& address, bool autoStart);
  MpvEngine* FreeEngine();
  bool InUse(const MpvEngine& engine) const;
  void StopUnusedEngines();
  void Place(Hosted& hosted);
  void PlaceAll();
  // All players, or those the page has reported (`keepEarly`).
  void RemovePlayers(bool keepEarly = false);
  void RemovePlayersWhere(const std::function<bool(const Hosted&)>& which);
  void ShowStartedEarly();
  void LoadPage(const std::string& uri);
  bool HoldForEarlyPlayer(const std::string& uri);
  void LoadHeldPage();
  void DropHeldPage();
  void RemovePlayer(std::vector<Hosted>::iterator player);
  void ForwardWheel(GdkEventScroll* event);
  void RunInPlayerWorld(const std::string& script);
  void SetVolume(int volume);

  static void LoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
    static_cast<Impl*>(self)->OnLoadChanged(event);
  }
  static gboolean DecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                               WebKitPolicyDecisionType type, gpointer self) {
    return static_cast<Impl*>(self)->OnDecidePolicy(decision, type);
  }
  // Our pages ask for nothing: no location, notifications, media devices.
  static gboolean PermissionRequest(WebKitWebView*, WebKitPermissionRequest* request, gpointer) {
    webkit_permission_request_deny(request);
    return TRUE;
  }
  static void MessageReceived(WebKitUserContentManager*, WebKitJavascriptResult* result,
                              gpointer self) {
    JSCValue* value = webkit_javascript_result_get_js_value(result);
    if (value != nullptr && jsc_value_is_string(value)) {
      GCharPtr text(jsc_value_to_string(value));
      static_cast<Impl*>(self)->OnReport(text.get());
    }
  }
  static void ZoomChanged(GObject*, GParamSpec*, gpointer self) {
    auto* impl = static_cast<Impl*>(self);
    impl->PlaceAll();
    impl->RunInPlayerWorld("window.__telvanta && window.__telvanta.report()");
  }
};

WebBrowser::Impl::Impl(WebBrowser& browser, std::filesystem::path folder)
    : owner(browser), pageFolder(NormalFolder(folder)) {
  LimitMallocArenas();
  // The sandbox binds only folders that exist when the web process starts.
  MakePrivateFolders(pageFolder);
  context = NewSealedContext({pageFolder, ProgramFolder()});
  FreeEngine();  // now, so that the first play need not wait for it
  content.reset(webkit_user_content_manager_new());
  WebKitUserScript* script = webkit_user_script_new_for_world(
      kPlayerReportScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, kPlayerScriptWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(content.get(), script);
  webkit_user_script_unref(script);
  const std::string signal = std::string("script-message-received::") + kPlayerMessageHandler;
  g_signal_connect(content.get(), signal.c_str(), G_CALLBACK(MessageReceived), this);
  webkit_user_content_manager_register_script_message_handler_in_world(
      content.get(), kPlayerMessageHandler, kPlayerScriptWorld);

  auto* widget = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context.get(),
                                         "user-content-manager", content.get(), nullptr));
  view.reset(WEBKIT_WEB_VIEW(g_object_ref_sink(widget)));
  // The webcam page refreshes its picture by a script of its own.
  SealSettings(webkit_web_view_get_settings(view.get()), true);
  g_signal_connect(widget, "decide-policy", G_CALLBACK(DecidePolicy), this);
  g_signal_connect(widget, "permission-request", G_CALLBACK(PermissionRequest), nullptr);
  g_signal_connect(widget, "load-changed", G_CALLBACK(LoadChanged), this);
  g_signal_connect(widget, "notify::zoom-level", G_CALLBACK(ZoomChanged), this);
  gtk_container_add(GTK_CONTAINER(owner.gobj()), widget);
  gtk_widget_show(widget);
}

WebBrowser::Impl::~Impl() {
  *alive = false;
  DropHeldPage();
  g_signal_handlers_disconnect_by_data(view.get(), this);
  g_signal_handlers_disconnect_by_data(content.get(), this);
  DropStarted();
  RemovePlayers();
  webkit_web_view_stop_loading(view.get());
}

void WebBrowser::Impl::OnLoadChanged(WebKitLoadEvent event) {
  if (!heldUri.empty()) {
    return;  // the page being left, still loading while the next one waits
  }
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      // The old page's players go with it.
      RemovePlayers(true);
      StopUnusedEngines();
      acceptReports = false;
      state = ReadyState::Loading;
      break;
    case WEBKIT_LOAD_REDIRECTED:
      state = ReadyState::Loading;
      break;
    case WEBKIT_LOAD_COMMITTED:
      acceptReports = true;
      state = ReadyState::Interactive;
      break;
    case WEBKIT_LOAD_FINISHED:
      // The page has said what it plays; a started player it did not take
      // is not wanted. (A load cut short by the next one never committed.)
      if (acceptReports) {
        DropStarted();
        RemovePlayersWhere([](const Hosted& player) { return player.early; });
        StopUnusedEngines();
      }
      state = ReadyState::Complete;
      downloadComplete.emit();
      break;
  }
}

// The page the program asked for loads; a user's click on a web or mail
// link goes to the desktop; nothing else loads, and no new window opens.
bool WebBrowser::Impl::OnDecidePolicy(WebKitPolicyDecision* decision,
                                      WebKitPolicyDecisionType type) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
    // What WebKit can't show would become a download.
    if (webkit_response_policy_decision_is_mime_type_supported(
            WEBKIT_RESPONSE_POLICY_DECISION(decision))) {
      webkit_policy_decision_use(decision);
    } else {
      webkit_policy_decision_ignore(decision);
    }
    return true;
  }
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const std::string uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && !page.empty() &&
      FileOfUri(uri) == page) {
    webkit_policy_decision_use(decision);
    return true;
  }
  webkit_policy_decision_ignore(decision);
  OpenIfUsersClick(action, uri);
  return true;
}

// The page file's absolute path when it lies in the page folder.
std::optional<std::string> WebBrowser::Impl::PageFile(const std::string& filePath) const {
  std::error_code error;
  const auto file = std::filesystem::absolute(filePath, error).lexically_normal();
  if (error || file.parent_path() != pageFolder || !file.has_filename()) {
    return std::nullopt;
  }
  return file.string();
}

void WebBrowser::Impl::OnReport(const std::string& json) {
  if (!acceptReports) {
    return;
  }
  auto report = ParsePageReport(json);
  if (!report) {
    return;
  }
  // An unwanted started player gives its engine up before any new player
  // takes one.
  if (started && std::none_of(report->players.begin(), report->players.end(),
                              [this](const PlayerElement& e) { return WantsStarted(e); })) {
    DropStarted();
  }
  for (auto player = players.begin(); player != players.end();) {
    const PlayerElement& hosted = player->widget->Element();
    // One shown early took the last page's element: the page must ask for
    // the same player, not only in the same place.
    const bool early = player->early;
    const auto same = std::find_if(
        report->players.begin(), report->players.end(), [&](const PlayerElement& element) {
          return element.id == hosted.id && element.kind == hosted.kind &&
                 element.address == hosted.address &&
                 (!early || (element.type == hosted.type && element.params == hosted.params &&
                             element.widthAttr == hosted.widthAttr &&
                             element.heightAttr == hosted.heightAttr));
        });
    if (same == report->players.end()) {
      RemovePlayer(player);
      player = players.begin();  // the vector changed; start over
    } else {
      ++player;
    }
  }
  const auto positionOf = [&report](int id) {
    return std::find_if(report->players.begin(), report->players.end(),
                        [id](const PlayerElement& element) { return element.id == id; }) -
           report->players.begin();
  };
  for (const auto& element : report->players) {
    const auto found = std::find_if(players.begin(), players.end(), [&](const Hosted& hosted) {
      return hosted.widget->Element().id == element.id;
    });
    if (found == players.end()) {
      Host(element);
    } else {
      found->widget->UpdateElement(element);
      found->early = false;
    }
  }
  std::stable_sort(players.begin(), players.end(), [&](const Hosted& a, const Hosted& b) {
    return positionOf(a.widget->Element().id) < positionOf(b.widget->Element().id);
  });
  StopUnusedEngines();
  PlaceAll();
  playersChanged.emit();
}

bool WebBrowser::Impl::WantsStarted(const PlayerElement& element) const {
  return started && started->Address() == element.address && !element.AutoStartOff();
}

std::unique_ptr<PlayerController> WebBrowser::Impl::TakeStarted(const PlayerElement& element) {
  if (!WantsStarted(element)) {
    return {};
  }
  return std::move(started);
}

void WebBrowser::Impl::DropStarted() { started.reset(); }

std::unique_ptr<PlayerController> WebBrowser::Impl::MakeController(const std::string& address,
                                                                   bool autoStart) {
  return std::make_unique<PlayerController>(address, settings, FreeEngine(), autoStart);
}

// The first engine no player uses, made when there is none; null when libmpv
// cannot be started.
MpvEngine* WebBrowser::Impl::FreeEngine() {
  for (const auto& engine : engines) {
    if (!InUse(*engine)) {
      return engine.get();
    }
  }
  try {
    return engines.emplace_back(std::make_unique<MpvEngine>()).get();
  } catch (const Error&) {
    return nullptr;  // the player says so
  }
}

bool WebBrowser::Impl::InUse(const MpvEngine& engine) const {
  if (started && started->Engine() == &engine) {
    return true;
  }
  return std::any_of(players.begin(), players.end(), [&engine](const Hosted& player) {
    return player.widget->Controller().Engine() == &engine;
  });
}

// Engines no player uses stop. Those beside the first go once idle: then
// destroying one takes under a millisecond, while playing up to 200 ms.
void WebBrowser::Impl::StopUnusedEngines() {
  for (auto engine = engines.begin(); engine != engines.end();) {
    if (InUse(**engine)) {
      ++engine;
    } else if (engine != engines.begin() && (*engine)->IdleNow()) {
      engine = engines.erase(engine);
    } else {
      (*engine)->Stop();
      ++engine;
    }
  }
}

void WebBrowser::Impl::Host(const PlayerElement& element) {
  Hosted hosted;
  auto controller = TakeStarted(element);
  if (!controller) {
    controller = MakeController(element.address, !element.AutoStartOff());
  }
  if (kept) {
    hosted.widget = std::move(kept);
    hosted.widget->Retarget(element, stationName, std::move(controller));
  } else {
    hosted.widget = std::make_unique<PlayerWidget>(element, stationName, std::move(controller));
  }
  PlayerWidget* widget = hosted.widget.get();
  hosted.connections.push_back(widget->signal_video_size_changed().connect([this, widget] {
    for (auto& player : players) {
      if (player.widget.get() == widget) {
        Place(player);
      }
    }
  }));
  hosted.connections.push_back(
      widget->Controller().signal_changed().connect([this] { playersChanged.emit(); }));
  hosted.connections.push_back(
      widget->signal_wheel().connect([this](GdkEventScroll* event) { ForwardWheel(event); }));
  hosted.connections.push_back(
      widget->signal_volume_chosen().connect([this](int volume) { SetVolume(volume); }));
  owner.add_overlay(*widget);
  players.push_back(std::move(hosted));
}

void WebBrowser::Impl::Place(Hosted& hosted) {
  PlayerWidget& widget = *hosted.widget;
  const PlayerElement& element = widget.Element();
  const double zoom = Zoom();
  const VideoSize video = widget.NaturalVideoSize();
  const VideoSize area = owner.get_realized()
                             ? VideoSize{owner.get_allocated_width(), owner.get_allocated_height()}
                             : VideoSize{};
  const PixelRect box = PlayerBox(element, zoom, video, area);
  // Without size attributes the page makes room for the player; one shown
  // early asks its own page, once that has reported it.
  const auto css = RequestedCssSize(element, zoom, video, area);
  if (css && css != hosted.requestedCss && !hosted.early) {
    hosted.requestedCss = css;
    RunInPlayerWorld("window.__telvanta && window.__telvanta.setSize(" +
                     std::to_string(element.id) + "," + ScriptNumber(css->width) + "," +
                     ScriptNumber(css->height) + ")");
  }
  widget.set_visible(element.visible && box.width > 0 && box.height > 0);
  if (box != hosted.box) {
    hosted.box = box;
    widget.queue_resize();
  }
}

void WebBrowser::Impl::PlaceAll() {
  for (auto& player : players) {
    Place(player);
  }
}

void WebBrowser::Impl::RemovePlayer(std::vector<Hosted>::iterator player) {
  for (auto& connection : player->connections) {
    connection.disconnect();
  }
  owner.Gtk::Container::remove(*player->widget);
  if (!kept) {
    keptElement = player->widget->Element();
    player->widget->Release();
    kept = std::move(player->widget);
  }
  players.erase(player);
}

void WebBrowser::Impl::RemovePlayers(bool keepEarly) {
  RemovePlayersWhere([keepEarly](const Hosted& player) { return !keepEarly || !player.early; });
}

// From the last: the first player removed is the one the widget is kept of.
void WebBrowser::Impl::RemovePlayersWhere(const std::function<bool(const Hosted&)>& which) {
  for (auto player = players.end(); player != players.begin();) {
    --player;
    if (which(*player)) {
      RemovePlayer(player);
      player = players.end();  // the vector changed; go on from its end
    }
  }
}

// The pages come from a few templates that put the player in one place, so
// the kept widget shows the started stream where the last page had its
// player, as soon as there is a picture, instead of after the new page has
// loaded and reported its element (5-10 ms later). The page's report
// confirms it, or moves it, or removes it.
void WebBrowser::Impl::ShowStartedEarly() {
  if (!kept || !keptElement || !started) {
    return;
  }
  PlayerElement element = *keptElement;
  element.address = started->Address();
  if (!WantsStarted(element)) {
    return;
  }
  Host(element);
  players.back().early = true;
  Place(players.back());
}

void WebBrowser::Impl::LoadPage(const std::string& uri) {
  DropHeldPage();
  webkit_web_view_load_uri(view.get(), uri.c_str());
}

// WebKit's load of the next page takes the UI thread and a core just while
// the stream opens, so the page waits for the early player's first picture
// (or sound, or failure), a short while at most. Measured on loopback, 2
// cores: double-click to first frame 25.4 -> 20.2 ms (medians of five
// interleaved runs); plain libmpv on a handle made beforehand takes 16-18.
bool WebBrowser::Impl::HoldForEarlyPlayer(const std::string& uri) {
  constexpr unsigned kLongestHoldMs = 150;
  const auto early = std::find_if(players.begin(), players.end(),
                                  [](const Hosted& player) { return player.early; });
  if (early == players.end()) {
    return false;
  }
  PlayerController& controller = early->widget->Controller();
  const auto opening = [&controller] {
    return IsOpening(controller.Phase()) || controller.Phase() == PlayerPhase::Buffering;
  };
  if (!opening()) {
    return false;
  }
  DropHeldPage();
  heldUri = uri;
  const auto load = [this] {
    LoadHeldPage();
    return false;
  };
  // After the picture is painted: the load's own work would hold it up.
  const auto loadAfterPaint = [this, load] {
    heldRelease.push_back(Glib::signal_idle().connect(load, Glib::PRIORITY_DEFAULT_IDLE));
  };
  heldRelease.push_back(controller.signal_frame().connect(loadAfterPaint));
  heldRelease.push_back(controller.signal_changed().connect([opening, loadAfterPaint] {
    if (!opening()) {
      loadAfterPaint();
    }
  }));
  heldRelease.push_back(Glib::signal_timeout().connect(load, kLongestHoldMs));
  return true;
}

void WebBrowser::Impl::LoadHeldPage() {
  if (!heldUri.empty()) {
    LoadPage(std::exchange(heldUri, {}));
  }
}

void WebBrowser::Impl::DropHeldPage() {
  heldUri.clear();
  for (auto& connection : std::exchange(heldRelease, {})) {
    connection.disconnect();
  }
}

void WebBrowser::Impl::ForwardWheel(GdkEventScroll* event) {
  GtkWidget* target = GTK_WIDGET(view.get());
  GdkWindow* window = gtk_widget_get_window(target);
  if (window == nullptr) {
    return;
  }
  int originX = 0;
  int originY = 0;
  gdk_window_get_origin(window, &originX, &originY);
  std::unique_ptr<GdkEvent, GdkEventDeleter> copy(
      gdk_event_copy(reinterpret_cast<GdkEvent*>(event)));
  g_object_unref(copy->scroll.window);
  copy->scroll.window = GDK_WINDOW(g_object_ref(window));
  copy->scroll.x = event->x_root - originX;
  copy->scroll.y = event->y_root - originY;
  gtk_widget_event(target, copy.get());
}

// One volume for every player, now and to come.
void WebBrowser::Impl::SetVolume(int volume) {
  volume = std::clamp(volume, 0, kMaxVolume);
  const bool changed = volume != settings.volume;
  settings.volume = volume;
  if (started) {
    started->SetVolume(volume);
  }
  for (auto& player : players) {
    player.widget->Controller().SetVolume(volume);
  }
  if (changed) {
    volumeChanged.emit(volume);
  }
}

void WebBrowser::Impl::RunInPlayerWorld(const std::string& script) {
  webkit_web_view_evaluate_javascript(view.get(), script.c_str(), -1, kPlayerScriptWorld, nullptr,
                                      nullptr, nullptr, nullptr);
}

WebBrowser::WebBrowser(std::filesystem::path pageFolder)
    : impl_(std::make_unique<Impl>(*this, std::move(pageFolder))) {}

WebBrowser::~WebBrowser() = default;

void WebBrowser::Navigate(const std::string& filePath) {
  const auto file = impl_->PageFile(filePath);
  GCharPtr uri(file ? g_filename_to_uri(file->c_str(), nullptr, nullptr) : nullptr);
  if (!uri) {
    g_warning("%s is not a page of %s: not shown.", filePath.c_str(), impl_->pageFolder.c_str());
    return;
  }
  impl_->page = *file;
  // Only the page asked for right after StartPlayer may take its player.
  impl_->RemovePlayers(std::exchange(impl_->earlyAwaitsPage, false));
  impl_->acceptReports = false;
  impl_->state = ReadyState::Loading;
  if (!impl_->HoldForEarlyPlayer(uri.get())) {
    impl_->LoadPage(uri.get());
  }
  impl_->StopUnusedEngines();
  impl_->playersChanged.emit();
}

void WebBrowser::StartPlayer(const std::string& address) {
  // The next page replaces this one's players; the started one replaces
  // their stream on the first engine.
  impl_->DropHeldPage();
  impl_->DropStarted();
  impl_->RemovePlayers();
  // Nor may this page's late reports or end of load take the started one.
  impl_->acceptReports = false;
  impl_->started = impl_->MakeController(address, true);
  impl_->StopUnusedEngines();
  impl_->ShowStartedEarly();
  impl_->earlyAwaitsPage = true;
}

void WebBrowser::Stop() {
  impl_->DropHeldPage();
  impl_->DropStarted();
  impl_->acceptReports = false;
  impl_->RemovePlayers();
  webkit_web_view_stop_loading(impl_->view.get());
  impl_->StopUnusedEngines();
  impl_->playersChanged.emit();
}

ReadyState WebBrowser::GetReadyState() const { return impl_->state; }

sigc::signal<void()>& WebBrowser::signal_download_complete() { return impl_->downloadComplete; }

void WebBrowser::SetPlayerSettings(const PlayerSettings& settings) { impl_->settings = settings; }

void WebBrowser::SetStationName(const std::string& name) { impl_->stationName = name; }

void WebBrowser::SetVolume(int volume) { impl_->SetVolume(volume); }

int WebBrowser::Volume() const { return impl_->settings.volume; }

sigc::signal<void(int)>& WebBrowser::signal_volume_changed() { return impl_->volumeChanged; }

bool WebBrowser::HandlePlayerKey(const GdkEventKey& event) {
  for (auto& player : impl_->players) {
    if (player.widget->get_visible()) {
      return player.widget->HandleKey(event);
    }
  }
  return false;
}

sigc::signal<void()>& WebBrowser::signal_players_changed() { return impl_->playersChanged; }

void WebBrowser::CommandPlayers(PlayerCommand command) {
  for (auto& player : impl_->players) {
    PlayerController& controller = player.widget->Controller();
    switch (command) {
      case PlayerCommand::Play:
        controller.Play();
        break;
      case PlayerCommand::Pause:
        controller.Pause();
        break;
      case PlayerCommand::Stop:
        controller.Stop();
        break;
    }
  }
}

std::vector<PlayerInfo> WebBrowser::Players() const {
  std::vector<PlayerInfo> infos;
  for (const auto& player : impl_->players) {
    infos.push_back(player.widget->Info());
  }
  return infos;
}

void WebBrowser::RunJavaScript(const std::string& script,
                               std::function<void(std::optional<std::string>)> done) {
  struct Pending {
    std::weak_ptr<bool> alive;
    std::function<void(std::optional<std::string>)> done;
  };
  auto pending = std::make_unique<Pending>(Pending{impl_->alive, std::move(done)});
  webkit_web_view_evaluate_javascript(
      impl_->view.get(), script.c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Pending> call(static_cast<Pending*>(data));
        GError* error = nullptr;
        GObjectPtr<JSCValue> value(
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error));
        GErrorPtr owned(error);
        const auto alive = call->alive.lock();
        if (!alive || !*alive || !call->done) {
          return;
        }
        if (!value) {
          call->done(std::nullopt);
          return;
        }
        GCharPtr text(jsc_value_to_string(value.get()));
        call->done(std::string(text ? text.get() : ""));
      },
      pending.release());
}

void WebBrowser::SetZoomLevel(double zoom) {
  webkit_web_view_set_zoom_level(impl_->view.get(), zoom);
}

double WebBrowser::GetZoomLevel() const { return impl_->Zoom(); }

WebKitWebView* WebBrowser::View() { return impl_->view.get(); }

bool WebBrowser::on_get_child_position(Gtk::Widget* widget, Gdk::Rectangle& allocation) {
  for (const auto& player : impl_->players) {
    if (player.widget.get() == widget) {
      allocation = Gdk::Rectangle(player.box.x, player.box.y, player.box.width, player.box.height);
      return true;
    }
  }
  return Gtk::Overlay::on_get_child_position(widget, allocation);
}

}  // namespace telvanta::platform
