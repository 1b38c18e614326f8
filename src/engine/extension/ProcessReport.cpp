// Loaded by WebKit into every web process of the browser: answers which process a page is
// in. WebKit moves pages between processes on its own (a new site, a crash) and does not
// say where to; the browser asks after each commit, and pages that get the same answer share
// a process. The answer is a number drawn when the process starts: process ids are no use,
// since each sandboxed process has its own pid namespace.
#include <webkit/webkit-web-process-extension.h>

#include "engine/ProcessReportProtocol.h"

namespace {

guint64 ProcessNumber = 0;

gboolean Answer(WebKitWebPage*, WebKitUserMessage* Message, gpointer) {
  if (g_strcmp0(webkit_user_message_get_name(Message), vorlane::engine::ProcessQuestion) != 0) return FALSE;
  webkit_user_message_send_reply(
      Message, webkit_user_message_new(vorlane::engine::ProcessQuestion, g_variant_new_uint64(ProcessNumber)));
  return TRUE;
}

void PageCreated(WebKitWebProcessExtension*, WebKitWebPage* Page, gpointer) {
  g_signal_connect(Page, "user-message-received", G_CALLBACK(Answer), nullptr);
}

}  // namespace

extern "C" G_MODULE_EXPORT void webkit_web_process_extension_initialize(WebKitWebProcessExtension* Extension) {
  ProcessNumber = (static_cast<guint64>(g_random_int()) << 32 | g_random_int()) | 1;  // never 0
  g_signal_connect(Extension, "page-created", G_CALLBACK(PageCreated), nullptr);
}
