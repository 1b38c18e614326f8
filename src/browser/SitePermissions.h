#pragma once
// What the user answered, once and for all, to a site's questions: windows it may open
// without a click, and the permissions it asked for. Kept in the registry file, one key
// per question, one value per site: "Software\Vorlane\SitePermissions\<question>".
#include "browser/WebEngine.h"

#include <string>

namespace vorlane::platform { class Registry; }

namespace vorlane::browser {

enum class SiteQuestion { Popups, Geolocation, Notifications, CameraAndMicrophone, ReadClipboard };
enum class SiteDecision { Ask, Allow, Deny };

SiteQuestion QuestionOf(PagePermission Kind);

// The site an answer is remembered for: the page's origin ("https://host:port", the port
// only when it is not the scheme's own), lower case; empty for an address without a host.
std::string SiteOfPage(const std::string& Url);

class TSitePermissions {
public:
  explicit TSitePermissions(platform::Registry& Registry) : FRegistry(Registry) {}

  SiteDecision Decision(SiteQuestion Question, const std::string& Url) const;
  // Ask forgets the answer. false when there is no site or the file could not be saved.
  bool Remember(SiteQuestion Question, const std::string& Url, SiteDecision Decision);

private:
  platform::Registry& FRegistry;
};

}  // namespace vorlane::browser
