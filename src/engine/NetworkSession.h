#pragma once
// The network session every page of this process loads through: cookies kept in the
// profile, site storage beside the browser's other data and the HTTP cache in the user's
// cache folder, so that a login survives a restart as in any browser.
typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace vorlane::engine {

// Created on first use from the XDG folders of that moment: $XDG_DATA_HOME/vorlane holds
// cookies.sqlite and WebKit's site storage, $XDG_CACHE_HOME/vorlane the cache. Lives as
// long as the process, like WebKit's own default session.
WebKitNetworkSession* ProfileNetworkSession();

}  // namespace vorlane::engine
