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

struct GVariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using GVariantPtr = std::unique_ptr<GVariant, GVariantUnref>;

// A NULL-terminated string array, as g_strsplit and g_get_environ give.
struct GStrvDeleter {
  void operator()(gchar** strings) const { g_strfreev(strings); }
};
using GStrvPtr = std::unique_ptr<gchar*, GStrvDeleter>;

}  // namespace telvanta::platform
