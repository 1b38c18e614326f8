#include "browser/SecurityManager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace vorlane::browser;
using Allow = TAllowDisAllowPolicyOption;
using Java = TJavaPolicyOption;

// The main window's policy, with one group changed per row so each rule shows.
struct ActionCase {
  uint32_t Action;
  TUrlPolicyOptions Options;
  int32_t Result;
  uint32_t Policy;  // read only when Result is S_OK
};

TEST(SecurityManager, AnswersEachActionGroupFromItsOption) {
  const TUrlPolicyOptions Defaults;
  TUrlPolicyOptions NoActiveX, JavaHigh, NoForms, NoCrossDomain, NoScripts;
  NoActiveX.ActiveX = Allow::Disallow;
  JavaHigh.JavaPermissions = Java::High;
  NoForms.SubmitForms = Allow::Disallow;
  NoCrossDomain.CrossDomainData = Allow::Disallow;
  NoScripts.Scripts = Allow::Disallow;
  const ActionCase Cases[] = {
      {0x11FF, NoActiveX, INET_E_DEFAULT_ACTION_CODE, 0},
      {0x1200, NoActiveX, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x13FF, NoActiveX, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1400, Defaults, S_OK_CODE, URLPOLICY_ALLOW},
      {0x1400, NoScripts, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1405, NoScripts, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1406, NoScripts, S_OK_CODE, URLPOLICY_ALLOW},
      {0x1406, NoCrossDomain, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1407, NoScripts, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x15FF, NoScripts, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1600, NoForms, INET_E_DEFAULT_ACTION_CODE, 0},
      {0x1601, NoForms, INET_E_DEFAULT_ACTION_CODE, 0},
      {0x1602, NoForms, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1603, NoForms, S_OK_CODE, URLPOLICY_DISALLOW},
      {0x1604, NoForms, INET_E_DEFAULT_ACTION_CODE, 0},
      {0x1605, JavaHigh, S_OK_CODE, URLPOLICY_JAVA_HIGH},
      {0x1BFF, JavaHigh, INET_E_DEFAULT_ACTION_CODE, 0},
      {0x1C00, Defaults, S_OK_CODE, URLPOLICY_JAVA_PROHIBIT},
      {0x1CFF, JavaHigh, S_OK_CODE, URLPOLICY_JAVA_HIGH},
      {0x1D00, JavaHigh, INET_E_DEFAULT_ACTION_CODE, 0},
  };
  for (const ActionCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << "action 0x" << std::hex << C.Action);
    TSecurityManager M;
    M.UrlPolicy = C.Options;
    uint32_t Policy = 0xDEADBEEF;
    int32_t Result = M.ProcessUrlAction("http://example.com/", C.Action,
                                        {reinterpret_cast<uint8_t*>(&Policy), sizeof Policy});
    EXPECT_EQ(Result, C.Result);
    EXPECT_EQ(Policy, C.Result == S_OK_CODE ? C.Policy : 0xDEADBEEF);
  }
}

TEST(SecurityManager, WritesOnlyTheFirstFourBytesOfABufferThatHoldsThem) {
  TSecurityManager M;
  M.UrlPolicy.ActiveX = Allow::Disallow;
  for (size_t Size : {3u, 4u, 8u}) {
    SCOPED_TRACE(Size);
    uint8_t Buffer[8];
    std::memset(Buffer, 0xAB, sizeof Buffer);
    int32_t Result = M.ProcessUrlAction("", 0x1200, {Buffer, Size});
    EXPECT_EQ(Result, Size < 4 ? E_NOT_SUFFICIENT_BUFFER_CODE : S_OK_CODE);
    uint32_t Written;
    std::memcpy(&Written, Buffer, 4);
    EXPECT_EQ(Written, Size < 4 ? 0xABABABABu : URLPOLICY_DISALLOW);
    for (size_t I = 4; I < 8; ++I) EXPECT_EQ(Buffer[I], 0xAB);
  }
  EXPECT_EQ(M.ProcessUrlAction("", 0x1200, {}), E_NOT_SUFFICIENT_BUFFER_CODE);
}

TEST(SecurityManager, WithoutEventsEveryOtherMethodDefersAndClearsItsOutputs) {
  TSecurityManager M;
  class Site : public IInternetSecurityMgrSite {} S;
  IInternetSecurityMgrSite* Out = &S;
  std::vector<std::string> Mappings{"*.example.com"};
  uint32_t Zone = 7, IdSize = 0;
  std::vector<uint8_t> Custom{1, 2};
  EXPECT_EQ(M.SetSecuritySite(&S), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_EQ(M.GetSecuritySite(Out), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_EQ(Out, nullptr);
  EXPECT_EQ(M.MapUrlToZone("http://a.b/", Zone, 0), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_EQ(Zone, 0u);
  EXPECT_EQ(M.GetSecurityId("http://a.b/", {}, IdSize, 0), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_EQ(M.QueryCustomPolicy("http://a.b/", {}, Custom, {}, 0), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_TRUE(Custom.empty());
  EXPECT_EQ(M.SetZoneMapping(2, "*.a.b", 0), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_EQ(M.GetZoneMappings(2, Mappings, 0), INET_E_DEFAULT_ACTION_CODE);
  EXPECT_TRUE(Mappings.empty());
}

TEST(SecurityManager, AnAssignedEventTakesOverItsMethod) {
  TSecurityManager M;
  uint32_t SeenAction = 0;
  M.OnProcessUrlAction = [&](const std::string&, uint32_t Action, std::span<uint8_t> Policy, auto, auto, auto) {
    SeenAction = Action;
    Policy[0] = 9;
    return int32_t{42};
  };
  M.OnMapUrlToZone = [](const std::string& Url, uint32_t& Zone, uint32_t) {
    Zone = Url == "file:///x" ? 0 : 3;
    return S_OK_CODE;
  };
  M.OnGetZoneMappings = [](uint32_t, std::vector<std::string>& Out, uint32_t) {
    Out = {"*.a.b"};
    return S_OK_CODE;
  };
  uint8_t Buffer[4] = {};
  EXPECT_EQ(M.ProcessUrlAction("", 0x1400, Buffer), 42);  // a covered action, yet the event answers
  EXPECT_EQ(SeenAction, 0x1400u);
  EXPECT_EQ(Buffer[0], 9);
  uint32_t Zone = 99;
  EXPECT_EQ(M.MapUrlToZone("file:///x", Zone, 0), S_OK_CODE);
  EXPECT_EQ(Zone, 0u);
  std::vector<std::string> Mappings;
  EXPECT_EQ(M.GetZoneMappings(1, Mappings, 0), S_OK_CODE);
  EXPECT_EQ(Mappings, std::vector<std::string>{"*.a.b"});
}

}  // namespace
