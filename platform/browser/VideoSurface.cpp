#include "platform/browser/VideoSurface.h"

namespace telvanta::platform {

VideoSurface::VideoSurface(const PlayerController& source, PictureMode mode)
    : source_(&source), mode_(mode) {}

void VideoSurface::SetSource(const PlayerController* source) {
  source_ = source;
  queue_draw();
}

void VideoSurface::SetMode(PictureMode mode) {
  if (mode != mode_) {
    mode_ = mode;
    areaChanged_.emit();
    queue_draw();
  }
}

PixelRect VideoSurface::Placement() const {
  const MpvEngine* engine = source_ != nullptr ? source_->Engine() : nullptr;
  const VideoSize video = engine != nullptr ? engine->Properties().video : VideoSize{};
  return PicturePlacement({get_allocated_width(), get_allocated_height()}, video, mode_);
}

bool VideoSurface::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  const MpvEngine* engine = source_ != nullptr ? source_->Engine() : nullptr;
  const bool picture = engine != nullptr && engine->FramesRendered() > 0 && !source_->AudioOnly();
  const auto frame = picture ? engine->Frame() : Cairo::RefPtr<Cairo::ImageSurface>();
  const PixelRect place = Placement();
  // A fitted picture comes with its black bars: painting them first again
  // at every frame costs as much as the picture.
  if (!frame || place != PixelRect{0, 0, get_allocated_width(), get_allocated_height()}) {
    cr->set_source_rgb(0, 0, 0);
    cr->paint();
  }
  if (!frame || place.width <= 0 || place.height <= 0) {
    return true;
  }
  // While a resize is under way the frame may still have the old size.
  cr->rectangle(place.x, place.y, place.width, place.height);
  cr->clip();
  cr->translate(place.x, place.y);
  cr->scale(static_cast<double>(place.width) / frame->get_width(),
            static_cast<double>(place.height) / frame->get_height());
  cr->set_source(frame, 0, 0);
  cr->paint();
  return true;
}

void VideoSurface::on_size_allocate(Gtk::Allocation& allocation) {
  Gtk::DrawingArea::on_size_allocate(allocation);
  areaChanged_.emit();
}

FullScreenWindow::FullScreenWindow(const PlayerController& source)
    : surface_(source, PictureMode::Fit) {
  set_title("Telvanta");
  add_events(Gdk::KEY_PRESS_MASK | Gdk::BUTTON_PRESS_MASK | Gdk::POINTER_MOTION_MASK);
  overlay_.add(surface_);
  add(overlay_);
  overlay_.show_all();
  fullscreen();
}

void FullScreenWindow::Hold(Gtk::Widget& bar) { overlay_.add_overlay(bar); }

void FullScreenWindow::Release(Gtk::Widget& bar) { overlay_.Gtk::Container::remove(bar); }

bool FullScreenWindow::on_motion_notify_event(GdkEventMotion* event) {
  motion_.emit();
  return Gtk::Window::on_motion_notify_event(event);
}

bool FullScreenWindow::on_key_press_event(GdkEventKey* event) {
  if (event->keyval == GDK_KEY_Escape) {
    leave_.emit();
    return true;
  }
  return key_.emit(*event) || Gtk::Window::on_key_press_event(event);
}

bool FullScreenWindow::on_button_press_event(GdkEventButton* event) {
  if (event->type == GDK_2BUTTON_PRESS && event->button == 1) {
    leave_.emit();
    return true;
  }
  return Gtk::Window::on_button_press_event(event);
}

bool FullScreenWindow::on_delete_event(GdkEventAny*) {
  leave_.emit();
  return true;
}

}  // namespace telvanta::platform
