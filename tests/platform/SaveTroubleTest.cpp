#include "platform/SaveTrouble.h"

#include "platform/HistoryStore.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace {

using vorlane::platform::TKeptData;

TEST(SaveTrouble, AFullDiskIsToldOnceUntilEveryFileThatFailedSavedAgain) {
  using Step = std::pair<TKeptData, bool>;  // what, saved
  struct Case {
    const char* Name;
    std::vector<Step> Steps;
    int Told;
  } Cases[] = {
      {"saves only", {{TKeptData::History, true}, {TKeptData::Session, true}}, 0},
      {"every writer fails, again and again",
       {{TKeptData::History, false}, {TKeptData::Session, false}, {TKeptData::Settings, false}, {TKeptData::History, false}},
       1},
      {"one saved again while another still fails",
       {{TKeptData::History, false}, {TKeptData::Session, false}, {TKeptData::History, true}, {TKeptData::History, false}},
       1},
      {"all saved again, then the disk fills anew",
       {{TKeptData::History, false}, {TKeptData::Session, false}, {TKeptData::History, true},
        {TKeptData::Session, true}, {TKeptData::Session, false}},
       2},
  };
  for (const Case& C : Cases) {
    vorlane::platform::TSaveTrouble Trouble;
    std::vector<std::string> Told;
    Trouble.SetTell([&](const std::string& Text, const std::string& Why) { Told.push_back(Text + Why); });
    for (auto [What, Saved] : C.Steps)
      Trouble.Report(What, Saved ? std::nullopt : std::optional<std::string>("File too large"));
    EXPECT_EQ(static_cast<int>(Told.size()), C.Told) << C.Name;
    if (!Told.empty()) {
      EXPECT_NE(Told[0].find("File too large"), std::string::npos) << C.Name;
    }
  }
}

// Each writer reports to the trouble it was given, and to no other.
TEST(SaveTrouble, EachWriterReportsToTheTroubleItWasGiven) {
  const std::filesystem::path Unwritable = "/proc/vorlane-cannot-exist";
  struct Case {
    const char* Name;
    std::function<void(vorlane::platform::TSaveTrouble*)> FailToSave;
  } Cases[] = {
      {"settings", [&](auto* Trouble) {
         vorlane::platform::Registry Reg(Unwritable);
         Reg.SetSaveTrouble(Trouble);
         Reg.WriteString(vorlane::platform::RootKey::CurrentUser, "Software\\Vorlane", "X", "1");
       }},
      {"history", [&](auto* Trouble) {
         vorlane::platform::THistoryStore Store(Unwritable / "history.sqlite",
                                                [] { return std::chrono::system_clock::now(); }, Trouble);
       }},
  };
  for (const Case& C : Cases) {
    vorlane::platform::TSaveTrouble Given, Other;
    C.FailToSave(&Given);
    EXPECT_TRUE(Given.Troubled()) << C.Name;
    EXPECT_FALSE(Other.Troubled()) << C.Name;
    C.FailToSave(nullptr);  // a writer given none just goes on
  }
}

}  // namespace
