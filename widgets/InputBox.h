#pragma once
// A modal box asking for one line of text.

#include <gtkmm.h>

#include <string>
#include <string_view>

namespace telvanta {

// Shows the box over the owner and returns the text typed, or `initial`
// when it is cancelled or closed.
std::string InputBox(Gtk::Window& owner, std::string_view caption, std::string_view prompt,
                     std::string_view initial = {});

}  // namespace telvanta
