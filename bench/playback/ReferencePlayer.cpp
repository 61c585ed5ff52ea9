// The memory benchmark's reference: a plain gtkmm window that plays one
// address with libmpv, drawn the way the program draws its players (the
// software render API into a cairo surface), and nothing else.
//
//   bench_reference_player <address> [width height]

#include <glib.h>
#include <gtkmm.h>
#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

class PlayerArea : public Gtk::DrawingArea {
 public:
  explicit PlayerArea(const std::string& address) : handle_(mpv_create()) {
    for (const auto& [name, value] : {std::pair{"vo", "libmpv"},
                                      {"hwdec", "no"},
                                      {"video-timing-offset", "0"},
                                      {"ytdl", "no"}}) {
      mpv_set_option_string(handle_, name, value);
    }
    mpv_initialize(handle_);
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_create(&render_, handle_, params);
    mpv_set_wakeup_callback(handle_, &PlayerArea::Wakeup, this);
    mpv_render_context_set_update_callback(render_, &PlayerArea::Update, this);
    const char* command[] = {"loadfile", address.c_str(), nullptr};
    mpv_command_async(handle_, 0, command);
  }
  ~PlayerArea() override {
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
    mpv_terminate_destroy(handle_);
  }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override {
    cr->set_source_rgb(0, 0, 0);
    cr->paint();
    if (surface_) {
      cr->set_source(surface_, 0, 0);
      cr->paint();
    }
    return true;
  }

 private:
  static void Wakeup(void* self) {
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) {
          auto* area = static_cast<PlayerArea*>(data);
          while (mpv_wait_event(area->handle_, 0)->event_id != MPV_EVENT_NONE) {
          }
          return G_SOURCE_REMOVE;
        },
        self, nullptr);
  }
  static void Update(void* self) {
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) {
          static_cast<PlayerArea*>(data)->Render();
          return G_SOURCE_REMOVE;
        },
        self, nullptr);
  }
  void Render() {
    if ((mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) == 0) {
      return;
    }
    int size[2] = {std::max(get_allocated_width(), 16), std::max(get_allocated_height(), 16)};
    if (!surface_ || surface_->get_width() != size[0] || surface_->get_height() != size[1]) {
      surface_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, size[0], size[1]);
    }
    std::size_t stride = static_cast<std::size_t>(surface_->get_stride());
    surface_->flush();
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, surface_->get_data()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(render_, params) >= 0) {
      surface_->mark_dirty();
      queue_draw();
    }
  }

  mpv_handle* handle_;
  mpv_render_context* render_ = nullptr;
  Cairo::RefPtr<Cairo::ImageSurface> surface_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <address> [width height]\n", argv[0]);
    return 2;
  }
  const std::string address = argv[1];
  const int width = argc > 3 ? std::atoi(argv[2]) : 640;
  const int height = argc > 3 ? std::atoi(argv[3]) : 360;
  int gtkArgc = 1;
  auto app = Gtk::Application::create(gtkArgc, argv, "org.telvanta.BenchReferencePlayer",
                                      Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  std::setlocale(LC_NUMERIC, "C");
  Gtk::Window window;
  window.set_title("Reference player");
  window.set_default_size(width, height);
  PlayerArea area(address);
  window.add(area);
  window.show_all();
  return app->run(window);
}
