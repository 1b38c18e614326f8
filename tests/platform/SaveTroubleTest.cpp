#include "platform/SaveTrouble.h"

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

}  // namespace
