#include "support/MainLoop.h"

#include <glib.h>

namespace vorlane::test {

bool PumpUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Timeout) {
  auto Deadline = std::chrono::steady_clock::now() + Timeout;
  GMainContext* Context = g_main_context_default();
  while (!Condition()) {
    if (std::chrono::steady_clock::now() >= Deadline) return Condition();
    // Block until something happens, but wake at least every 50 ms to look at the clock.
    bool Fired = false;
    guint Wake = g_timeout_add(
        50, [](gpointer Data) -> gboolean {
          *static_cast<bool*>(Data) = true;
          return G_SOURCE_REMOVE;
        },
        &Fired);
    g_main_context_iteration(Context, TRUE);
    if (!Fired) g_source_remove(Wake);
  }
  return true;
}

void PumpPending() {
  GMainContext* Context = g_main_context_default();
  while (g_main_context_pending(Context)) g_main_context_iteration(Context, FALSE);
}

}  // namespace vorlane::test
