#include "platform/glib/PostToUi.h"

#include <glib.h>

#include <memory>
#include <utility>

namespace telvanta::platform {

void PostToUi(std::function<void()> task) {
  using Task = std::function<void()>;
  auto holder = std::make_unique<Task>(std::move(task));
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        (*static_cast<Task*>(data))();
        return G_SOURCE_REMOVE;
      },
      holder.release(),
      [](gpointer data) { std::unique_ptr<Task>(static_cast<Task*>(data)).reset(); });
}

}  // namespace telvanta::platform
