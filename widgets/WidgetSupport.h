#pragma once
// Small helpers every window uses: component names, pictures from the
// program's resources, modal showing.

#include <gtkmm.h>

#include <string_view>

#include "widgets/ClickLabel.h"  // the windows' clickable labels

namespace telvanta {

// The component name becomes the widget's name (skins select on it) and its
// stable accessible id; the caption, when there is one, its accessible name.
void NameComponent(Gtk::Widget& widget, std::string_view component, std::string_view caption = {});

// Makes the compiled-in resources (pictures, the built-in theme) readable.
void RegisterResourcesOnce();

// A picture of the program's resources ("tv", "class-mms", ...) at a size.
Glib::RefPtr<Gdk::Pixbuf> Picture(std::string_view name, int size);
Glib::RefPtr<Gdk::Pixbuf> SplashPicture();
// The About box's side picture, stretched to the given size.
Glib::RefPtr<Gdk::Pixbuf> AboutPicture(int width, int height);

// With GTK's own Adwaita theme, draws the marks of checked check and radio
// buttons from the theme's PNGs instead of its SVGs, which would load the SVG
// renderer just for them. Follows changes of the theme.
void UseRasterCheckMarks();

// Adds a style sheet for the whole screen, once however often it is asked
// for; windows scope their rules by their own name ("#FrmList label").
void InstallStyle(const std::string& css);

// Shows the window modally and returns once it is hidden again.
void ShowModal(Gtk::Window& window);

// Gives a realized widget's window the hand cursor.
void UseHandCursor(Gtk::Widget& widget);

// Appends a menu item with a mnemonic caption ("&Open...") and an optional
// 16-pixel icon; the menu owns it.
Gtk::MenuItem& AddMenuItem(Gtk::MenuShell& menu, std::string_view component,
                           std::string_view caption, const Glib::RefPtr<Gdk::Pixbuf>& icon = {});
void AddSeparator(Gtk::MenuShell& menu, std::string_view component = {});

}  // namespace telvanta
