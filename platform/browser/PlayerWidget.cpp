#include "platform/browser/PlayerWidget.h"

#include "common/I18n.h"
#include "platform/player/PlayerGeometry.h"

namespace telvanta::platform {
namespace {

void InstallPlayerInfoStyle() {
  static bool installed = false;
  if (installed) {
    return;
  }
  installed = true;
  auto provider = Gtk::CssProvider::create();
  provider->load_from_data(
      ".telvanta-player-info label { color: #e8e8e8; }"
      ".telvanta-player-info .station { font-weight: bold; font-size: 120%; }"
      ".telvanta-player-info .status { color: #b0b0b0; }");
  if (auto screen = Gdk::Screen::get_default()) {
    Gtk::StyleContext::add_provider_for_screen(screen, provider,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
}

void SetUpLabel(Gtk::Label& label, const char* styleClass) {
  label.set_line_wrap(true);
  label.set_line_wrap_mode(Pango::WRAP_WORD_CHAR);
  label.set_justify(Gtk::JUSTIFY_CENTER);
  label.set_max_width_chars(40);
  label.get_style_context()->add_class(styleClass);
}

}  // namespace

PlayerWidget::PlayerWidget(const PlayerElement& element, const std::string& pageTitle,
                           std::unique_ptr<PlayerController> controller)
    : element_(element),
      pageTitle_(pageTitle),
      controller_(std::move(controller)),
      surface_(*controller_, PictureModeFor(element)) {
  InstallPlayerInfoStyle();
  set_name(element.kind == PlayerKind::RealPlayer ? kRealPlayerWidgetName
                                                  : kWindowsMediaWidgetName);
  add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON_RELEASE_MASK | Gdk::SCROLL_MASK |
             Gdk::SMOOTH_SCROLL_MASK);
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
  add(overlay_);
  show_all();
  if (element.kind == PlayerKind::WindowsMedia) {
    BuildMenu();
  }
  controller_->signal_changed().connect(sigc::mem_fun(*this, &PlayerWidget::OnChanged));
  controller_->signal_frame().connect(sigc::mem_fun(*this, &PlayerWidget::OnFrame));
  surface_.signal_area_changed().connect(sigc::mem_fun(*this, &PlayerWidget::UpdateRenderSize));
  OnChanged();
}

PlayerWidget::~PlayerWidget() { leaveIdle_.disconnect(); }

void PlayerWidget::UpdateElement(const PlayerElement& element, const std::string& pageTitle) {
  const bool titleChanged = element.title != element_.title || pageTitle != pageTitle_;
  element_ = element;
  pageTitle_ = pageTitle;
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

std::string PlayerWidget::StationName() const {
  if (!element_.title.empty()) {
    return element_.title;
  }
  if (!pageTitle_.empty()) {
    return pageTitle_;
  }
  return controller_->StreamName();
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
  info.stationName = StationName();
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

void PlayerWidget::OnChanged() {
  const PlayerStatus status = controller_->Status();
  const MpvEngine* engine = controller_->Engine();
  const bool picture =
      engine != nullptr && engine->FramesRendered() > 0 && !controller_->AudioOnly() &&
      (status.phase == PlayerPhase::Playing || status.phase == PlayerPhase::Paused);
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
  const PixelRect place = fullScreen_ ? fullScreen_->Surface().Placement() : surface_.Placement();
  controller_->SetRenderSize({place.width, place.height});
}

void PlayerWidget::ToggleFullScreen() {
  if (fullScreen_) {
    fullScreen_.reset();
    UpdateRenderSize();
    UpdateMenu();
    return;
  }
  fullScreen_ = std::make_unique<FullScreenWindow>(*controller_);
  fullScreen_->Surface().signal_area_changed().connect(
      sigc::mem_fun(*this, &PlayerWidget::UpdateRenderSize));
  // The window asks to go from its own handlers; destroy it afterwards.
  fullScreen_->signal_leave().connect([this] {
    leaveIdle_.disconnect();
    leaveIdle_ = Glib::signal_idle().connect([this] {
      if (fullScreen_) {
        ToggleFullScreen();
      }
      return false;
    });
  });
  if (auto* toplevel = dynamic_cast<Gtk::Window*>(get_toplevel())) {
    fullScreen_->set_transient_for(*toplevel);
  }
  fullScreen_->show();
  UpdateMenu();
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
  const bool running = phase == PlayerPhase::Playing || phase == PlayerPhase::Buffering;
  const bool opening = phase == PlayerPhase::Resolving || phase == PlayerPhase::Connecting;
  playItem_->set_sensitive(!running && !opening);
  pauseItem_->set_sensitive(running);
  stopItem_->set_sensitive(running || opening || phase == PlayerPhase::Paused);
  muteItem_->set_active(controller_->Muted());
  fullScreenItem_->set_active(fullScreen_ != nullptr);
  fullScreenItem_->set_sensitive(!controller_->AudioOnly());
  updatingMenu_ = false;
}

bool PlayerWidget::on_button_press_event(GdkEventButton* event) {
  if (element_.kind != PlayerKind::WindowsMedia) {
    return Gtk::EventBox::on_button_press_event(event);
  }
  if (event->type == GDK_BUTTON_PRESS && event->button == 3) {
    UpdateMenu();
    menu_.popup_at_pointer(reinterpret_cast<GdkEvent*>(event));
    return true;
  }
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1 && !controller_->AudioOnly()) {
    ToggleFullScreen();
    return true;
  }
  return Gtk::EventBox::on_button_press_event(event);
}

bool PlayerWidget::on_scroll_event(GdkEventScroll* event) {
  wheel_.emit(event);
  return true;
}

}  // namespace telvanta::platform
