#include "engine/IdleProcesses.h"

#include "engine/GObjectPtr.h"
#include "engine/NetworkSession.h"

#include <glib.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace {

void Cleared(GObject* Source, GAsyncResult* Result, gpointer) {
  GErrorSlot Error;
  if (!webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(Source), Result, &Error))
    g_warning("vorlane: idle web processes not released: %s", Error->message);
}

}  // namespace

void IdleProcessRelease::Request() {
  if (*FPending) return;
  *FPending = true;
  // Below the default idle priority, at which a closed page's view is let go: WebKit only
  // takes a process for keeping once its last view is gone, and must find it there.
  g_idle_add_full(
      G_PRIORITY_LOW,
      [](gpointer Pending) {
        *static_cast<std::shared_ptr<bool>*>(Pending)->get() = false;
        // The memory cache of every web process, with the processes WebKit keeps idle; the
        // disk cache, cookies and site storage stay.
        webkit_website_data_manager_clear(webkit_network_session_get_website_data_manager(ProfileNetworkSession()),
                                          WEBKIT_WEBSITE_DATA_MEMORY_CACHE, 0, nullptr, Cleared, nullptr);
        return G_SOURCE_REMOVE;
      },
      new std::shared_ptr<bool>(FPending), [](gpointer Pending) { delete static_cast<std::shared_ptr<bool>*>(Pending); });
}

}  // namespace vorlane::engine
