// The reference for start-up: a gtkmm window holding an empty tree view,
// the least a channel list needs.

#include <gtkmm.h>

namespace {

class BareWindow : public Gtk::Window {
 public:
  BareWindow() {
    set_title("Bare");
    set_default_size(586, 451);
    scroller_.add(view_);
    add(scroller_);
    show_all_children();
  }

 private:
  Gtk::ScrolledWindow scroller_;
  Gtk::TreeView view_;
};

}  // namespace

int main(int argc, char** argv) {
  auto app =
      Gtk::Application::create(argc, argv, "org.telvanta.BareWindow", Gio::APPLICATION_NON_UNIQUE);
  BareWindow window;
  return app->run(window);
}
