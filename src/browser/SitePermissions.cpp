#include "browser/SitePermissions.h"

#include "platform/Registry.h"

#include <glib.h>

namespace vorlane::browser {

namespace {

using platform::RootKey;

std::string KeyOf(SiteQuestion Question) {
  const char* Name = "Popups";
  switch (Question) {
    case SiteQuestion::Popups: break;
    case SiteQuestion::Geolocation: Name = "Geolocation"; break;
    case SiteQuestion::Notifications: Name = "Notifications"; break;
    case SiteQuestion::CameraAndMicrophone: Name = "CameraAndMicrophone"; break;
    case SiteQuestion::ReadClipboard: Name = "ReadClipboard"; break;
  }
  return std::string("Software\\Vorlane\\SitePermissions\\") + Name;
}

}  // namespace

SiteQuestion QuestionOf(PagePermission Kind) {
  switch (Kind) {
    case PagePermission::Geolocation: return SiteQuestion::Geolocation;
    case PagePermission::Notifications: return SiteQuestion::Notifications;
    case PagePermission::CameraAndMicrophone: return SiteQuestion::CameraAndMicrophone;
    case PagePermission::ReadClipboard: break;
  }
  return SiteQuestion::ReadClipboard;
}

std::string SiteOfPage(const std::string& Url) {
  GUri* Parsed = g_uri_parse(Url.c_str(), G_URI_FLAGS_NONE, nullptr);
  if (!Parsed) return {};
  std::string Site;
  const char* Host = g_uri_get_host(Parsed);
  if (Host && *Host) {
    gchar* Scheme = g_ascii_strdown(g_uri_get_scheme(Parsed), -1);
    gchar* LowerHost = g_ascii_strdown(Host, -1);
    Site = std::string(Scheme) + "://" + LowerHost;
    // The scheme's own port is no part of the name: "https://a:443" is "https://a".
    const int Port = g_uri_get_port(Parsed);
    const bool OwnPort = (Site.starts_with("http://") && Port == 80) || (Site.starts_with("https://") && Port == 443);
    if (Port > 0 && !OwnPort) Site += ":" + std::to_string(Port);
    g_free(Scheme);
    g_free(LowerHost);
  }
  g_uri_unref(Parsed);
  return Site;
}

SiteDecision TSitePermissions::Decision(SiteQuestion Question, const std::string& Url) const {
  std::string Site = SiteOfPage(Url);
  if (Site.empty()) return SiteDecision::Ask;
  auto Value = FRegistry.ReadString(RootKey::CurrentUser, KeyOf(Question), Site);
  if (Value == "allow") return SiteDecision::Allow;
  if (Value == "deny") return SiteDecision::Deny;
  return SiteDecision::Ask;
}

bool TSitePermissions::Remember(SiteQuestion Question, const std::string& Url, SiteDecision Decision) {
  std::string Site = SiteOfPage(Url);
  if (Site.empty()) return false;
  if (Decision == SiteDecision::Ask) {
    FRegistry.DeleteValue(RootKey::CurrentUser, KeyOf(Question), Site);
    return true;
  }
  return FRegistry.WriteString(RootKey::CurrentUser, KeyOf(Question), Site,
                               Decision == SiteDecision::Allow ? "allow" : "deny");
}

}  // namespace vorlane::browser
