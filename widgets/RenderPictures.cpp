// Renders the program's SVG pictures to PNG at the sizes the windows ask for,
// so that a start decodes small PNGs instead of loading the SVG renderer.
//
//   telvanta_render_pictures SVG PNG SIZE [SVG PNG SIZE ...]
//
// SIZE 0 keeps the picture's own size; otherwise it fits a SIZE x SIZE square,
// keeping the aspect ratio, as the program's own SVG loading does.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct ObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};

bool Render(const char* svg, const char* png, int size) {
  GError* raw = nullptr;
  std::unique_ptr<GdkPixbuf, ObjectUnref> picture(
      size == 0 ? gdk_pixbuf_new_from_file(svg, &raw)
                : gdk_pixbuf_new_from_file_at_scale(svg, size, size, TRUE, &raw));
  // Saved to a temporary name first: an interrupted build leaves no half file.
  const std::string temporary = std::string(png) + ".tmp";
  if (picture && gdk_pixbuf_save(picture.get(), temporary.c_str(), "png", &raw, nullptr) &&
      std::rename(temporary.c_str(), png) == 0) {
    return true;
  }
  std::unique_ptr<GError, ErrorFree> error(raw);
  std::fprintf(stderr, "%s -> %s: %s\n", svg, png, error ? error->message : "can't rename");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || (argc - 1) % 3 != 0) {
    std::fprintf(stderr, "usage: %s SVG PNG SIZE [SVG PNG SIZE ...]\n", argv[0]);
    return 2;
  }
  for (int i = 1; i < argc; i += 3) {
    if (!Render(argv[i], argv[i + 1], std::atoi(argv[i + 2]))) {
      return 1;
    }
  }
  return 0;
}
