#include "engine/IdleProcesses.h"

#include "engine/GObjectPtr.h"
#include "engine/NetworkSession.h"

#include <glib.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace {

bool Requested = false;

void Cleared(GObject* Source, GAsyncResult* Result, gpointer) {
  GErrorSlot Error;
  if (!webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(Source), Result, &Error))
    g_warning("vorlane: idle web processes not released: %s", Error->message);
}

}  // namespace

void ReleaseIdleProcesses() {
  if (Requested) return;
  Requested = true;
  // Below the default idle priority, at which a closed page's view is let go: WebKit only
  // takes a process for keeping once its last view is gone, and must find it there.
  g_idle_add_full(
      G_PRIORITY_LOW,
      [](gpointer) {
        Requested = false;
        // The memory cache of every web process, with the processes WebKit keeps idle; the
        // disk cache, cookies and site storage stay.
        webkit_website_data_manager_clear(webkit_network_session_get_website_data_manager(ProfileNetworkSession()),
                                          WEBKIT_WEBSITE_DATA_MEMORY_CACHE, 0, nullptr, Cleared, nullptr);
        return G_SOURCE_REMOVE;
      },
      nullptr, nullptr);
}

}  // namespace vorlane::engine
