#pragma once
// Draws a player's newest frame: scaled to fit, or at its own size centred.

#include <gtkmm.h>

#include "platform/browser/PlayerController.h"
#include "platform/player/PlayerGeometry.h"

namespace telvanta::platform {

class VideoSurface : public Gtk::DrawingArea {
 public:
  VideoSurface(const PlayerController& source, PictureMode mode);

  // Another player's picture from now on; none (black) while there is none.
  void SetSource(const PlayerController* source);
  void SetMode(PictureMode mode);
  // Where the picture goes in the current allocation, and its render size.
  PixelRect Placement() const;
  sigc::signal<void()>& signal_area_changed() { return areaChanged_; }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  void on_size_allocate(Gtk::Allocation& allocation) override;

 private:
  const PlayerController* source_;
  PictureMode mode_;
  sigc::signal<void()> areaChanged_;
};

// A borderless full-screen window showing the same player's picture, with
// the player's control bar lent to it meanwhile.
class FullScreenWindow : public Gtk::Window {
 public:
  explicit FullScreenWindow(const PlayerController& source);
  VideoSurface& Surface() { return surface_; }
  // Lays the bar over the picture; Release gives it back before the window goes.
  void Hold(Gtk::Widget& bar);
  void Release(Gtk::Widget& bar);
  sigc::signal<void()>& signal_motion() { return motion_; }
  sigc::signal<void()>& signal_leave() { return leave_; }
  // Keys other than Escape, for the player's own; true when it took one.
  sigc::signal<bool(const GdkEventKey&)>& signal_key() { return key_; }

 protected:
  bool on_key_press_event(GdkEventKey* event) override;
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_delete_event(GdkEventAny* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;

 private:
  Gtk::Overlay overlay_;
  VideoSurface surface_;
  sigc::signal<void()> leave_;
  sigc::signal<void()> motion_;
  sigc::signal<bool(const GdkEventKey&)> key_;
};

}  // namespace telvanta::platform
