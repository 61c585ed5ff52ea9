#pragma once
// Owning pointers for GLib objects and allocations.

#include <glib-object.h>

#include <memory>

namespace telvanta::platform {

struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object != nullptr) {
      g_object_unref(object);
    }
  }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter {
  void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct GErrorDeleter {
  void operator()(GError* error) const {
    if (error != nullptr) {
      g_error_free(error);
    }
  }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace telvanta::platform
