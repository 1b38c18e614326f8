#pragma once
// Web processes WebKit keeps after their last page has gone. WebKit holds on to an idle web
// process of each recently visited site, to start that site's next page sooner, whatever the
// cache model, for about 5 minutes (docs/web-processes.md). No call names them; dropping
// WebKit's in-memory caches also ends them.
#include <memory>

namespace vorlane::engine {

class IdleProcessRelease {
public:
  // Asks WebKit, once the main loop has released the closed pages' views, to end the web
  // processes no page uses any more. Requests before that moment are served by the one.
  // For when the caller cannot tell a process is idle: after some hundreds of processes
  // ended this way, WebKit left a few of its threads behind.
  void Request();

private:
  // Shared with the pending main-loop step, which may outlive this object.
  std::shared_ptr<bool> FPending = std::make_shared<bool>(false);
};

}  // namespace vorlane::engine
