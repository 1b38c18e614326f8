#pragma once
// The URL security manager the old engine could ask its host for: a small fixed policy per
// group of URL actions (ActiveX, Java, form submission, cross-domain data, scripts), with
// every other question left to the engine's own zone policy. Every method can be taken
// over by an event whose result is the answer.
//
// WebKit has no URL-action manager to hand this to, so nothing consults it while browsing;
// it is kept so that the main window's policy is stated and testable in one place.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vorlane::browser {

constexpr int32_t S_OK_CODE = 0;
constexpr int32_t S_FALSE_CODE = 1;
// "Apply your own policy": the answer whenever the manager has no opinion.
constexpr int32_t INET_E_DEFAULT_ACTION_CODE = static_cast<int32_t>(0x800C0011u);
// A policy buffer too small for the policy: a failure, so that no caller reads a policy
// that was never written.
constexpr int32_t E_NOT_SUFFICIENT_BUFFER_CODE = static_cast<int32_t>(0x8007007Au);

constexpr uint32_t URLPOLICY_ALLOW = 0;
constexpr uint32_t URLPOLICY_DISALLOW = 3;
constexpr uint32_t URLPOLICY_JAVA_PROHIBIT = 0;
constexpr uint32_t URLPOLICY_JAVA_HIGH = 0x10000;
constexpr uint32_t URLPOLICY_JAVA_MEDIUM = 0x20000;
constexpr uint32_t URLPOLICY_JAVA_LOW = 0x30000;
constexpr uint32_t URLPOLICY_JAVA_CUSTOM = 0x800000;

enum class TAllowDisAllowPolicyOption : uint8_t { Allow, Disallow };
enum class TJavaPolicyOption : uint8_t { Prohibited, High, Medium, Low, Custom };

struct TUrlPolicyOptions {
  TAllowDisAllowPolicyOption ActiveX = TAllowDisAllowPolicyOption::Allow;
  TAllowDisAllowPolicyOption CrossDomainData = TAllowDisAllowPolicyOption::Allow;
  TAllowDisAllowPolicyOption SubmitForms = TAllowDisAllowPolicyOption::Allow;
  TJavaPolicyOption JavaPermissions = TJavaPolicyOption::Prohibited;
  TAllowDisAllowPolicyOption Scripts = TAllowDisAllowPolicyOption::Allow;
};

uint32_t PolicyValue(TAllowDisAllowPolicyOption Option);
uint32_t PolicyValue(TJavaPolicyOption Option);

// The engine's callback site for security questions; opaque to the manager.
class IInternetSecurityMgrSite {
public:
  virtual ~IInternetSecurityMgrSite() = default;
};

using TGuid = std::array<uint8_t, 16>;

class TSecurityManager {
public:
  TUrlPolicyOptions UrlPolicy;

  // Events; each takes the method's arguments and its result is the answer.
  std::function<int32_t(IInternetSecurityMgrSite*)> OnSetSecuritySite;
  std::function<int32_t(IInternetSecurityMgrSite*&)> OnGetSecuritySite;
  std::function<int32_t(const std::string&, uint32_t&, uint32_t)> OnMapUrlToZone;
  std::function<int32_t(const std::string&, std::span<uint8_t>, uint32_t&, uintptr_t)> OnGetSecurityID;
  std::function<int32_t(const std::string&, uint32_t, std::span<uint8_t>, std::span<const uint8_t>, uint32_t,
                        uint32_t)>
      OnProcessUrlAction;
  std::function<int32_t(const std::string&, const TGuid&, std::vector<uint8_t>&, std::span<const uint8_t>,
                        uint32_t)>
      OnQueryCustomPolicy;
  std::function<int32_t(uint32_t, const std::string&, uint32_t)> OnSetZoneMapping;
  std::function<int32_t(uint32_t, std::vector<std::string>&, uint32_t)> OnGetZoneMappings;

  // The interface's methods in their published order.
  int32_t SetSecuritySite(IInternetSecurityMgrSite* Site);
  int32_t GetSecuritySite(IInternetSecurityMgrSite*& Site);
  // Zone and Policy are cleared before anything else answers.
  int32_t MapUrlToZone(const std::string& Url, uint32_t& Zone, uint32_t Flags);
  int32_t GetSecurityId(const std::string& Url, std::span<uint8_t> SecurityId, uint32_t& SecurityIdSize,
                        uintptr_t Reserved);
  // Policy is the caller's buffer, bounded: at most its first four bytes are written.
  int32_t ProcessUrlAction(const std::string& Url, uint32_t Action, std::span<uint8_t> Policy,
                           std::span<const uint8_t> Context = {}, uint32_t Flags = 0, uint32_t Reserved = 0);
  int32_t QueryCustomPolicy(const std::string& Url, const TGuid& Key, std::vector<uint8_t>& Policy,
                            std::span<const uint8_t> Context, uint32_t Reserved);
  int32_t SetZoneMapping(uint32_t Zone, const std::string& Pattern, uint32_t Flags);
  int32_t GetZoneMappings(uint32_t Zone, std::vector<std::string>& Mappings, uint32_t Flags);
};

}  // namespace vorlane::browser
