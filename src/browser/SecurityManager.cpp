#include "browser/SecurityManager.h"

#include <cstring>
#include <optional>

namespace vorlane::browser {
namespace {

// The URL action groups with a policy of their own.
constexpr uint32_t URLACTION_ACTIVEX_MIN = 0x1200, URLACTION_ACTIVEX_MAX = 0x13FF;
constexpr uint32_t URLACTION_SCRIPT_MIN = 0x1400, URLACTION_SCRIPT_MAX = 0x15FF;
constexpr uint32_t URLACTION_CROSS_DOMAIN_DATA = 0x1406;
constexpr uint32_t URLACTION_HTML_SUBMIT_FORMS_FROM = 0x1602;
constexpr uint32_t URLACTION_HTML_SUBMIT_FORMS_TO = 0x1603;
constexpr uint32_t URLACTION_HTML_JAVA_RUN = 0x1605;
constexpr uint32_t URLACTION_JAVA_MIN = 0x1C00, URLACTION_JAVA_MAX = 0x1CFF;

std::optional<uint32_t> PolicyFor(const TUrlPolicyOptions& P, uint32_t Action) {
  if (Action >= URLACTION_ACTIVEX_MIN && Action <= URLACTION_ACTIVEX_MAX) return PolicyValue(P.ActiveX);
  if ((Action >= URLACTION_JAVA_MIN && Action <= URLACTION_JAVA_MAX) || Action == URLACTION_HTML_JAVA_RUN)
    return PolicyValue(P.JavaPermissions);
  // The general form action (0x1601) is not among these: the engine decides it.
  if (Action == URLACTION_HTML_SUBMIT_FORMS_TO || Action == URLACTION_HTML_SUBMIT_FORMS_FROM)
    return PolicyValue(P.SubmitForms);
  if (Action == URLACTION_CROSS_DOMAIN_DATA) return PolicyValue(P.CrossDomainData);
  if (Action >= URLACTION_SCRIPT_MIN && Action <= URLACTION_SCRIPT_MAX) return PolicyValue(P.Scripts);
  return std::nullopt;
}

}  // namespace

uint32_t PolicyValue(TAllowDisAllowPolicyOption Option) {
  return Option == TAllowDisAllowPolicyOption::Allow ? URLPOLICY_ALLOW : URLPOLICY_DISALLOW;
}

uint32_t PolicyValue(TJavaPolicyOption Option) {
  switch (Option) {
    case TJavaPolicyOption::Prohibited: return URLPOLICY_JAVA_PROHIBIT;
    case TJavaPolicyOption::High: return URLPOLICY_JAVA_HIGH;
    case TJavaPolicyOption::Medium: return URLPOLICY_JAVA_MEDIUM;
    case TJavaPolicyOption::Low: return URLPOLICY_JAVA_LOW;
    case TJavaPolicyOption::Custom: return URLPOLICY_JAVA_CUSTOM;
  }
  return URLPOLICY_JAVA_PROHIBIT;
}

int32_t TSecurityManager::SetSecuritySite(IInternetSecurityMgrSite* Site) {
  return OnSetSecuritySite ? OnSetSecuritySite(Site) : INET_E_DEFAULT_ACTION_CODE;
}

int32_t TSecurityManager::GetSecuritySite(IInternetSecurityMgrSite*& Site) {
  if (OnGetSecuritySite) return OnGetSecuritySite(Site);
  Site = nullptr;
  return INET_E_DEFAULT_ACTION_CODE;
}

int32_t TSecurityManager::MapUrlToZone(const std::string& Url, uint32_t& Zone, uint32_t Flags) {
  Zone = 0;
  return OnMapUrlToZone ? OnMapUrlToZone(Url, Zone, Flags) : INET_E_DEFAULT_ACTION_CODE;
}

int32_t TSecurityManager::GetSecurityId(const std::string& Url, std::span<uint8_t> SecurityId,
                                        uint32_t& SecurityIdSize, uintptr_t Reserved) {
  return OnGetSecurityID ? OnGetSecurityID(Url, SecurityId, SecurityIdSize, Reserved) : INET_E_DEFAULT_ACTION_CODE;
}

int32_t TSecurityManager::ProcessUrlAction(const std::string& Url, uint32_t Action, std::span<uint8_t> Policy,
                                           std::span<const uint8_t> Context, uint32_t Flags, uint32_t Reserved) {
  if (OnProcessUrlAction) return OnProcessUrlAction(Url, Action, Policy, Context, Flags, Reserved);
  // The answer is the same for every site: the address, context and flags are not read.
  auto Value = PolicyFor(UrlPolicy, Action);
  if (!Value) return INET_E_DEFAULT_ACTION_CODE;
  if (Policy.size() < sizeof(uint32_t)) return E_NOT_SUFFICIENT_BUFFER_CODE;
  std::memcpy(Policy.data(), &*Value, sizeof(uint32_t));
  return S_OK_CODE;
}

int32_t TSecurityManager::QueryCustomPolicy(const std::string& Url, const TGuid& Key, std::vector<uint8_t>& Policy,
                                            std::span<const uint8_t> Context, uint32_t Reserved) {
  Policy.clear();
  return OnQueryCustomPolicy ? OnQueryCustomPolicy(Url, Key, Policy, Context, Reserved) : INET_E_DEFAULT_ACTION_CODE;
}

int32_t TSecurityManager::SetZoneMapping(uint32_t Zone, const std::string& Pattern, uint32_t Flags) {
  return OnSetZoneMapping ? OnSetZoneMapping(Zone, Pattern, Flags) : INET_E_DEFAULT_ACTION_CODE;
}

int32_t TSecurityManager::GetZoneMappings(uint32_t Zone, std::vector<std::string>& Mappings, uint32_t Flags) {
  if (OnGetZoneMappings) return OnGetZoneMappings(Zone, Mappings, Flags);
  Mappings.clear();
  return INET_E_DEFAULT_ACTION_CODE;
}

}  // namespace vorlane::browser
