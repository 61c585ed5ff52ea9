#include "platform/browser/PlayerWidget.h"

#include <algorithm>

#include "common/I18n.h"
#include "platform/desktop/ScreenStyle.h"
#include "platform/player/PlayerGeometry.h"

namespace telvanta::platform {
namespace {

constexpr int kVolumeKeyStep = 5;
constexpr unsigned kBarShownMs = 3000;

void InstallPlayerInfoStyle() {
  InstallScreenStyle(
      ".telvanta-player-info label { color: #e8e8e8; }"
      ".telvanta-player-info .station { font-weight: bold; font-size: 120%; }"
      ".telvanta-player-info .status { color: #b0b0b0; }",
      GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void SetUpLabel(Gtk::Label& label, const char* styleClass) {
  label.set_line_wrap(true);
  label.set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
  label.set_justify(Gtk::JUSTIFY_CENTER);
  label.set_max_width_chars(40);
  label.get_style_context()->add_class(styleClass);
}

}  // namespace

PlayerWidget::PlayerWidget(const PlayerElement& element, const std::string& stationName,
                           std::unique_ptr<PlayerController> controller)
    : element_(element),
      stationName_(stationName),
      controller_(std::move(controller)),
      surface_(*controller_, PictureModeFor(element)) {
  InstallPlayerInfoStyle();
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::SCROLL_MASK |
             Gdk::SMOOTH_SCROLL_MASK | Gdk::POINTER_MOTION_MASK);
  // The overlay's own size is the picture's; labels never widen the player.
  overlay_.add(surface_);
  info_.get_style_context()->add_class("telvanta-player-info");
  info_.set_halign(Gtk::ALIGN_CENTER);
  info_.set_valign(Gtk::ALIGN_CENTER);
  SetUpLabel(title_, "station");
  SetUpLabel(detail_, "now-playing");
  SetUpLabel(status_, "status");
  info_.pack_start(title_, Gtk::PACK_SHRINK);
  info_.pack_start(detail_, Gtk::PACK_SHRINK);
  info_.pack_start(status_, Gtk::PACK_SHRINK);
  overlay_.add_overlay(info_);
  overlay_.set_overlay_pass_through(info_, true);
  bar_.set_valign(Gtk::ALIGN_END);
  bar_.set_halign(Gtk::ALIGN_FILL);
  overlay_.add_overlay(bar_);
  bar_.signal_play_pause().connect(sigc::mem_fun(*this, &PlayerWidget::TogglePlay));
  bar_.signal_stop().connect([this] { controller_->Stop(); });
  bar_.signal_mute().connect(sigc::mem_fun(*this, &PlayerWidget::ToggleMute));
  bar_.signal_full_screen().connect(sigc::mem_fun(*this, &PlayerWidget::ToggleFullScreen));
  bar_.signal_volume().connect([this](int volume, bool settled) {
    controller_->SetVolume(volume);
    if (settled) {
      volumeChosen_.emit(volume);
    }
  });
  bar_.signal_attention().connect(sigc::mem_fun(*this, &PlayerWidget::RevealBar));
  add(overlay_);
  show_all();
  surface_.signal_area_changed().connect(sigc::mem_fun(*this, &PlayerWidget::UpdateRenderSize));
  Follow(element);
}

// What a new element and its player set up; the widgets stay as they are.
void PlayerWidget::Follow(const PlayerElement& element) {
  set_name(element.kind == PlayerKind::RealPlayer ? kRealPlayerWidgetName
                                                  : kWindowsMediaWidgetName);
  if (element.kind == PlayerKind::WindowsMedia && playItem_ == nullptr) {
    BuildMenu();
  }
  controllerConnections_ = {
      controller_->signal_changed().connect(sigc::mem_fun(*this, &PlayerWidget::OnChanged)),
      controller_->signal_frame().connect(sigc::mem_fun(*this, &PlayerWidget::OnFrame))};
  OnChanged();
}

void PlayerWidget::Release() {
  if (fullScreen_) {
    ToggleFullScreen();
  }
  leaveIdle_.disconnect();
  barTimeout_.disconnect();
  barFitIdle_.disconnect();
  barRevealed_ = false;
  for (auto& connection : controllerConnections_) {
    connection.disconnect();
  }
  surface_.SetSource(nullptr);
  controller_.reset();
  lastVideo_ = {};
}

void PlayerWidget::Retarget(const PlayerElement& element, const std::string& stationName,
                            std::unique_ptr<PlayerController> controller) {
  element_ = element;
  stationName_ = stationName;
  controller_ = std::move(controller);
  surface_.SetSource(controller_.get());
  surface_.SetMode(PictureModeFor(element));
  Follow(element);
}

PlayerWidget::~PlayerWidget() {
  leaveIdle_.disconnect();
  barTimeout_.disconnect();
  barFitIdle_.disconnect();
  if (fullScreen_) {
    fullScreen_->Release(bar_);  // the bar is ours, not the window's to destroy
  }
}

void PlayerWidget::UpdateElement(const PlayerElement& element) {
  const bool titleChanged = element.title != element_.title;
  element_ = element;
  surface_.SetMode(PictureModeFor(element));
  if (titleChanged) {
    OnChanged();
  }
}

VideoSize PlayerWidget::NaturalVideoSize() const {
  const MpvEngine* engine = controller_->Engine();
  if (engine == nullptr || controller_->AudioOnly()) {
    return {};
  }
  return engine->Properties().video;
}

// Never the page's title: every player page is titled with the program's name.
std::string PlayerWidget::StationName() const {
  if (!stationName_.empty()) {
    return stationName_;
  }
  if (!element_.title.empty()) {
    return element_.title;
  }
  if (std::string name = controller_->StreamName(); !name.empty()) {
    return name;
  }
  return controller_->CurrentAddress().empty() ? controller_->Address()
                                               : controller_->CurrentAddress();
}

PlayerInfo PlayerWidget::Info() const {
  PlayerInfo info;
  info.kind = element_.kind;
  info.type = element_.type;
  info.widgetName = get_name();
  info.address = element_.address;
  info.currentAddress = controller_->CurrentAddress();
  const PlayerStatus status = controller_->Status();
  info.phase = status.phase;
  info.statusText = StatusText(status);
  info.errorText = status.phase == PlayerPhase::Failed ? status.errorText : std::string();
  if (const MpvEngine* engine = controller_->Engine()) {
    info.timePos = engine->Properties().timePos;
    info.video = engine->Properties().video;
    info.framesRendered = engine->FramesRendered();
  }
  info.audioOnly = controller_->AudioOnly();
  info.muted = controller_->Muted();
  if (const MpvEngine* engine = controller_->Engine()) {
    info.volume = engine->Properties().volume;
  }
  info.stationName = StationName();
  info.streamName = controller_->StreamName();
  info.nowPlaying = controller_->NowPlaying();
  // Overlay children live in windows of their own, so the allocation is
  // relative to that window: ask where the player really is in the browser.
  const Gtk::Allocation allocation = get_allocation();
  int x = allocation.get_x();
  int y = allocation.get_y();
  if (const Gtk::Widget* browser = get_parent(); browser != nullptr && get_realized()) {
    const_cast<PlayerWidget*>(this)->translate_coordinates(*const_cast<Gtk::Widget*>(browser), 0, 0,
                                                           x, y);
  }
  info.box = {x, y, allocation.get_width(), allocation.get_height()};
  info.picture = surface_.Placement();
  info.visible = get_visible();
  info.widget = const_cast<PlayerWidget*>(this);
  return info;
}

bool PlayerWidget::ShowsPicture() const {
  const PlayerPhase phase = controller_->Phase();
  const MpvEngine* engine = controller_->Engine();
  return engine != nullptr && engine->FramesRendered() > 0 && !controller_->AudioOnly() &&
         (phase == PlayerPhase::Playing || phase == PlayerPhase::Paused);
}

bool PlayerWidget::CanFullScreen() const { return !controller_->AudioOnly(); }

void PlayerWidget::OnChanged() {
  const PlayerStatus status = controller_->Status();
  const bool picture = ShowsPicture();
  const std::string station = StationName();
  const std::string nowPlaying = controller_->AudioOnly() ? controller_->NowPlaying() : "";
  title_.set_text(station);
  title_.set_visible(!station.empty());
  detail_.set_text(nowPlaying);
  detail_.set_visible(!nowPlaying.empty());
  status_.set_text(StatusText(status));
  info_.set_visible(!picture);
  const VideoSize video = NaturalVideoSize();
  if (video != lastVideo_) {
    lastVideo_ = video;
    UpdateRenderSize();
    videoSizeChanged_.emit();
  }
  if (!picture) {
    surface_.queue_draw();
  }
  UpdateBar();
}

void PlayerWidget::UpdateBar() {
  const PlayerPhase phase = controller_->Phase();
  bar_.SetState({.running = IsUnderWay(phase),
                 .canStop = IsUnderWay(phase) || phase == PlayerPhase::Paused,
                 .muted = controller_->Muted(),
                 .volume = controller_->Volume(),
                 .fullScreen = fullScreen_ != nullptr,
                 // Only a picture is worth the button; the keys try anyway.
                 .canFullScreen = fullScreen_ != nullptr || ShowsPicture()});
  // A box too narrow for the bar goes without it.
  int minimum = 0;
  int natural = 0;
  bar_.get_preferred_width(minimum, natural);
  const bool fits = fullScreen_ || get_allocated_width() >= minimum;
  const bool wanted = !ShowsPicture() || barRevealed_ || bar_.FocusInside();
  bar_.set_visible(fits && wanted);
}

void PlayerWidget::RevealBar() {
  barRevealed_ = true;
  barTimeout_.disconnect();
  barTimeout_ = Glib::signal_timeout().connect(sigc::mem_fun(*this, &PlayerWidget::OnBarTimeout),
                                               kBarShownMs);
  UpdateBar();
}

bool PlayerWidget::OnBarTimeout() {
  // Not from under the pointer or the keyboard.
  if (bar_.PointerInside() || bar_.FocusInside()) {
    return true;
  }
  barRevealed_ = false;
  UpdateBar();
  return false;
}

// Whether the bar fits is known once the box has its size; shown or hidden
// after the layout, not from within it.
void PlayerWidget::on_size_allocate(Gtk::Allocation& allocation) {
  const bool resized = allocation.get_width() != get_allocated_width();
  Gtk::EventBox::on_size_allocate(allocation);
  if (resized && !barFitIdle_.connected()) {
    barFitIdle_ = Glib::signal_idle().connect([this] {
      UpdateBar();
      return false;
    });
  }
}

bool PlayerWidget::on_motion_notify_event(GdkEventMotion* event) {
  RevealBar();
  return Gtk::EventBox::on_motion_notify_event(event);
}

void PlayerWidget::TogglePlay() {
  switch (controller_->Phase()) {
    case PlayerPhase::Playing:
    case PlayerPhase::Buffering:
      controller_->Pause();
      break;
    case PlayerPhase::Resolving:
    case PlayerPhase::Connecting:
      controller_->Stop();
      break;
    default:
      controller_->Play();
      break;
  }
}

void PlayerWidget::ToggleMute() { controller_->SetMute(!controller_->Muted()); }

void PlayerWidget::ChooseVolume(int volume) {
  volume = std::clamp(volume, 0, kMaxVolume);
  controller_->SetVolume(volume);
  UpdateBar();
  volumeChosen_.emit(volume);
}

bool PlayerWidget::HandleKey(const GdkEventKey& event) {
  constexpr auto modifiers = GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK;
  if ((event.state & modifiers) != 0 || bar_.FocusUses(event)) {
    return false;
  }
  switch (event.keyval) {
    case GDK_KEY_space:
      TogglePlay();
      return true;
    case GDK_KEY_m:
    case GDK_KEY_M:
      ToggleMute();
      return true;
    case GDK_KEY_f:
    case GDK_KEY_F:
      if (fullScreen_) {
        LeaveFullScreenSoon();
      } else if (CanFullScreen()) {
        ToggleFullScreen();
      }
      return fullScreen_ || CanFullScreen();
    case GDK_KEY_Escape:
      if (!fullScreen_) {
        return false;
      }
      LeaveFullScreenSoon();
      return true;
    case GDK_KEY_Up:
    case GDK_KEY_0:
      ChooseVolume(controller_->Volume() + kVolumeKeyStep);
      return true;
    case GDK_KEY_Down:
    case GDK_KEY_9:
      ChooseVolume(controller_->Volume() - kVolumeKeyStep);
      return true;
    default:
      return false;
  }
}

void PlayerWidget::OnFrame() {
  if (info_.get_visible()) {
    OnChanged();  // the first picture hides the connecting text
  }
  surface_.queue_draw();
  if (fullScreen_) {
    fullScreen_->Surface().queue_draw();
  }
}

void PlayerWidget::UpdateRenderSize() {
  if (!controller_) {
    return;  // off the page, between plays
  }
  const PixelRect place = fullScreen_ ? fullScreen_->Surface().Placement() : surface_.Placement();
  controller_->SetRenderSize({place.width, place.height});
}

void PlayerWidget::ToggleFullScreen() {
  if (fullScreen_) {
    fullScreen_->Release(bar_);
    overlay_.add_overlay(bar_);
    fullScreen_.reset();
    UpdateRenderSize();
    UpdateMenu();
    UpdateBar();
    return;
  }
  fullScreen_ = std::make_unique<FullScreenWindow>(*controller_);
  fullScreen_->signal_key().connect(sigc::mem_fun(*this, &PlayerWidget::HandleKey));
  fullScreen_->Surface().signal_area_changed().connect(
      sigc::mem_fun(*this, &PlayerWidget::UpdateRenderSize));
  fullScreen_->signal_leave().connect(sigc::mem_fun(*this, &PlayerWidget::LeaveFullScreenSoon));
  fullScreen_->signal_motion().connect(sigc::mem_fun(*this, &PlayerWidget::RevealBar));
  overlay_.Gtk::Container::remove(bar_);
  fullScreen_->Hold(bar_);
  if (auto* toplevel = dynamic_cast<Gtk::Window*>(get_toplevel())) {
    fullScreen_->set_transient_for(*toplevel);
  }
  fullScreen_->show();
  UpdateMenu();
  UpdateBar();
}

// The window asks to go from its own handlers; destroy it afterwards.
void PlayerWidget::LeaveFullScreenSoon() {
  leaveIdle_.disconnect();
  leaveIdle_ = Glib::signal_idle().connect([this] {
    if (fullScreen_) {
      ToggleFullScreen();
    }
    return false;
  });
}

void PlayerWidget::BuildMenu() {
  playItem_ = Gtk::make_managed<Gtk::MenuItem>(_("Play"));
  pauseItem_ = Gtk::make_managed<Gtk::MenuItem>(_("Pause"));
  stopItem_ = Gtk::make_managed<Gtk::MenuItem>(_("Stop"));
  muteItem_ = Gtk::make_managed<Gtk::CheckMenuItem>(_("Mute"));
  fullScreenItem_ = Gtk::make_managed<Gtk::CheckMenuItem>(_("Full Screen"));
  playItem_->signal_activate().connect([this] { controller_->Play(); });
  pauseItem_->signal_activate().connect([this] { controller_->Pause(); });
  stopItem_->signal_activate().connect([this] { controller_->Stop(); });
  muteItem_->signal_toggled().connect([this] {
    if (!updatingMenu_) {
      controller_->SetMute(muteItem_->get_active());
    }
  });
  fullScreenItem_->signal_toggled().connect([this] {
    if (!updatingMenu_) {
      ToggleFullScreen();
    }
  });
  menu_.append(*playItem_);
  menu_.append(*pauseItem_);
  menu_.append(*stopItem_);
  menu_.append(*Gtk::make_managed<Gtk::SeparatorMenuItem>());
  menu_.append(*muteItem_);
  menu_.append(*fullScreenItem_);
  menu_.show_all();
  menu_.attach_to_widget(*this);
}

void PlayerWidget::UpdateMenu() {
  if (playItem_ == nullptr) {
    return;
  }
  updatingMenu_ = true;
  const PlayerPhase phase = controller_->Phase();
  playItem_->set_sensitive(!IsUnderWay(phase));
  pauseItem_->set_sensitive(IsUnderWay(phase) && !IsOpening(phase));
  stopItem_->set_sensitive(IsUnderWay(phase) || phase == PlayerPhase::Paused);
  muteItem_->set_active(controller_->Muted());
  fullScreenItem_->set_active(fullScreen_ != nullptr);
  fullScreenItem_->set_sensitive(!controller_->AudioOnly());
  updatingMenu_ = false;
}

bool PlayerWidget::on_button_press_event(GdkEventButton* event) {
  if (event->type == GDK_BUTTON_PRESS && event->button == 3 && ContextMenu() != nullptr) {
    UpdateMenu();
    menu_.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
    return true;
  }
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1 && CanFullScreen()) {
    ToggleFullScreen();
    return true;
  }
  if (event->type == GDK_BUTTON_PRESS && event->button == 1) {
    RevealBar();
  }
  return Gtk::EventBox::on_button_press_event(event);
}

bool PlayerWidget::on_scroll_event(GdkEventScroll* event) {
  wheel_.emit(event);
  return true;
}

}  // namespace telvanta::platform
