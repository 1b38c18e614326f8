#pragma once
// Web processes WebKit keeps after their last page has gone. WebKit holds on to an idle web
// process of each recently visited site, to start that site's next page sooner; with every
// cache model and for minutes on end (measured: a long session of 300 tabs on 10 sites left
// 9 such processes, about 290 MiB, and their descriptors and threads in the browser).
// No call names them; dropping WebKit's in-memory caches also drops those processes.

namespace vorlane::engine {

// Asks WebKit, once the main loop has released the closed pages' views, to end the web
// processes no page uses any more. Calls before that moment are served by the one request.
void ReleaseIdleProcesses();

}  // namespace vorlane::engine
