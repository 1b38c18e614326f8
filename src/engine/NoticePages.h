#pragma once
// Pages the engine shows on its own: a page whose process ended, an empty address.
#include "browser/WebEngine.h"

#include <cstddef>
#include <string>

namespace vorlane::engine {

// The page shown in a tab whose web process ended; its "重新载入" link (id "reload")
// loads Url again. Url is escaped for the page.
// Others: how many other pages the process took with it.
std::string ProcessEndedPage(browser::ProcessEnd Reason, const std::string& Url, std::size_t Others = 0);

// Why a page could not be loaded, as far as the user can act on it.
enum class LoadFailure { Refused, UnknownHost, TimedOut, Unreachable, CannotShow, RestrictedPort,
                         NoSuchFile, Blocked, Insecure, Other };

// The page shown in place of one that failed to load: the address, the reason in Chinese,
// Detail (the engine's own words, may be empty) and a "重试" link (id "retry") to Url.
// Every text is escaped for the page.
std::string LoadFailedPage(LoadFailure Reason, const std::string& Url, const std::string& Detail);

// What is wrong with a site's certificate, in the terms a user can judge.
struct CertificateFaults {
  bool Expired = false;
  bool NotYetValid = false;
  bool WrongHost = false;      // issued for another site
  bool UnknownIssuer = false;
  bool SelfSigned = false;     // issued by the server itself
  bool Revoked = false;
  bool WeakAlgorithm = false;
};
struct CertificateDetails {
  std::string Subject, Issuer, ValidFrom, ValidUntil;
};

// The page shown when a site's certificate is not trusted: the address, each fault in
// plain words, the certificate's subject, issuer and validity, "重试" (id "retry") and
// "继续前往（不安全）" (id "proceed") leading to ProceedUrl. Every text is escaped.
std::string UntrustedCertificatePage(const std::string& Url, const CertificateFaults& Faults,
                                     const CertificateDetails& Details, const std::string& ProceedUrl);

// The page shown for a page that could not load because the browser works offline: it
// says so, names Url and offers "联机工作并重新载入" (id "go-online") leading to GoOnlineUrl.
std::string OfflinePage(const std::string& Url, const std::string& GoOnlineUrl);

// The page shown for an empty address.
std::string EmptyAddressPage();

// Url without its fragment: a link to the page's own address plus a fragment would
// only scroll, never load.
std::string WithoutFragment(const std::string& Url);

}  // namespace vorlane::engine
