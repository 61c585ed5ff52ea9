// The memory benchmark's floor for an embedded browser: a gtkmm window with a
// WebKitGTK view showing a one-line page.
//
//   bench_bare_webview

#include <gtkmm.h>
#include <webkit2/webkit2.h>

int main(int argc, char** argv) {
  auto app = Gtk::Application::create(argc, argv, "org.telvanta.BenchBareWebView",
                                      Gio::APPLICATION_NON_UNIQUE);
  Gtk::Window window;
  window.set_title("Bare web view");
  window.set_default_size(640, 480);
  GtkWidget* view = webkit_web_view_new();
  gtk_container_add(GTK_CONTAINER(window.gobj()), view);
  webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), "<html><body><p>Page</p></body></html>",
                            "file:///");
  window.show_all();
  return app->run(window);
}
