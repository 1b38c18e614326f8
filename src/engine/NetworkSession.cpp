#include "engine/NetworkSession.h"

#include "platform/ShellFolders.h"

#include <filesystem>
#include <webkit/webkit.h>

namespace vorlane::engine {

WebKitNetworkSession* ProfileNetworkSession() {
  static WebKitNetworkSession* const Session = [] {
    using platform::ShellFolders;
    const std::filesystem::path Data = ShellFolders::DataHome() / "vorlane";
    const std::filesystem::path Cache = ShellFolders::CacheHome() / "vorlane";
    std::error_code Ec;
    std::filesystem::create_directories(Data, Ec);  // WebKit does not make the cookie file's folder
    WebKitNetworkSession* Made = webkit_network_session_new(Data.c_str(), Cache.c_str());
    // Cookies without an expiry stay in memory, as in every browser; the rest are written
    // to the store as they change.
    webkit_cookie_manager_set_persistent_storage(webkit_network_session_get_cookie_manager(Made),
                                                 (Data / "cookies.sqlite").c_str(),
                                                 WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    return Made;
  }();
  return Session;
}

}  // namespace vorlane::engine
