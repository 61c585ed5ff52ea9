#pragma once
// How readable text is as drawn on screen: WCAG's contrast ratio between a
// label's text colour and every pixel drawn behind its text, found by
// drawing the window with the text and without it; and how much two drawn
// pictures differ.

#include <gtkmm.h>

#include <functional>

namespace telvanta::test {

// WCAG's relative luminance, 0 to 1, and contrast ratio, 1 to 21.
double Luminance(const Gdk::RGBA& colour);
double Contrast(const Gdk::RGBA& a, const Gdk::RGBA& b);

// The window's pixels under the widget, as drawn once `change` is made.
Glib::RefPtr<Gdk::Pixbuf> DrawnUnder(Gtk::Window& window, Gtk::Widget& widget,
                                     const std::function<void()>& change);

// The lowest contrast of the label's text colour with what is drawn behind
// its text: where the pixels change when the text is made invisible. 21
// when the label draws nothing.
double WorstTextContrast(Gtk::Window& window, Gtk::Label& text);

// The median luminance of the picture's pixels: below 0.18 (where black and
// white text read alike) the picture is mostly dark.
double MedianLuminance(const Glib::RefPtr<Gdk::Pixbuf>& picture);

// The share of pixels of the same place that differ between two pictures.
double ChangedShare(const Glib::RefPtr<Gdk::Pixbuf>& a, const Glib::RefPtr<Gdk::Pixbuf>& b);

}  // namespace telvanta::test
