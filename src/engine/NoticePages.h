#pragma once
// Pages the engine shows on its own: a page whose process ended, an empty address.
#include "browser/WebEngine.h"

#include <string>

namespace vorlane::engine {

// The page shown in a tab whose web process ended; its "重新载入" link (id "reload")
// loads Url again. Url is escaped for the page.
std::string ProcessEndedPage(browser::ProcessEnd Reason, const std::string& Url);

// The page shown for an empty address.
std::string EmptyAddressPage();

// Url without its fragment: a link to the page's own address plus a fragment would
// only scroll, never load.
std::string WithoutFragment(const std::string& Url);

}  // namespace vorlane::engine
