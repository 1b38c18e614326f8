#pragma once
// Pages the engine shows on its own: a page whose process ended, an empty address.
#include "browser/WebEngine.h"

#include <string>

namespace vorlane::engine {

// The page shown in a tab whose web process ended; its "重新载入" link (id "reload")
// loads Url again. Url is escaped for the page.
std::string ProcessEndedPage(browser::ProcessEnd Reason, const std::string& Url);

// Why a page could not be loaded, as far as the user can act on it.
enum class LoadFailure { Refused, UnknownHost, TimedOut, Unreachable, CannotShow, RestrictedPort,
                         NoSuchFile, Blocked, Insecure, Other };

// The page shown in place of one that failed to load: the address, the reason in Chinese,
// Detail (the engine's own words, may be empty) and a "重试" link (id "retry") to Url.
// Every text is escaped for the page.
std::string LoadFailedPage(LoadFailure Reason, const std::string& Url, const std::string& Detail);

// The page shown for an empty address.
std::string EmptyAddressPage();

// Url without its fragment: a link to the page's own address plus a fragment would
// only scroll, never load.
std::string WithoutFragment(const std::string& Url);

}  // namespace vorlane::engine
