// Asks a window to close as its title bar's close button would:
//   telvanta_close_window <window id>
// (sends WM_DELETE_WINDOW; there is no window manager under Xvfb).

#include <X11/Xlib.h>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " <window id>\n";
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::cerr << "no display\n";
    return 1;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
