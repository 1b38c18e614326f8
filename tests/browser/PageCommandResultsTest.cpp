// What page commands tell the user when they cannot finish, and what they leave behind.
#include "browser/BrowserControl.h"
#include "browser/PageWaits.h"

#include "platform/ShellFolders.h"
#include "support/FakeEngine.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace vorlane::browser {
namespace {

namespace fs = std::filesystem;

// A clock that moves only when the test says so.
class ManualClock : public IWaitClock {
public:
  uint64_t After(unsigned Seconds, std::function<void()> Due) override {
    FDue[FNextId] = {FNow + Seconds, std::move(Due)};
    return FNextId++;
  }
  void Cancel(uint64_t Id) override { FDue.erase(Id); }
  void Advance(unsigned Seconds) {
    FNow += Seconds;
    for (auto It = FDue.begin(); It != FDue.end();)
      if (It->second.first <= FNow) {
        auto Due = std::move(It->second.second);
        It = FDue.erase(It);
        Due();
      } else {
        ++It;
      }
  }

private:
  std::map<uint64_t, std::pair<uint64_t, std::function<void()>>> FDue;
  uint64_t FNow = 0, FNextId = 1;
};

size_t MailFolders() {
  fs::path Root = platform::ShellFolders::CacheHome() / "vorlane" / "mail";
  std::error_code Error;
  size_t N = 0;
  for (auto It = fs::directory_iterator(Root, Error); !Error && It != fs::directory_iterator(); It.increment(Error))
    ++N;
  return N;
}

TEST(PageWaitsTest, ADroppedSaveTellsTheUserAndLeavesNoFolder) {
  struct Case {
    const char* Name;
    bool Mail;
    std::function<void(TBrowserControl&, test::TFakeEngine&, ManualClock&)> Drop;
  };
  const std::vector<Case> Cases = {
      {"stop", true, [](auto& C, auto&, auto&) { C.Stop(); }},
      {"link", true, [](auto&, auto& E, auto&) { E.FireBeforeNavigate("http://b.example/link"); }},
      {"redirect", false, [](auto&, auto& E, auto&) { E.FireBeforeNavigate("http://b.example/moved"); }},
      {"time limit", true, [](auto&, auto&, auto& Clock) { Clock.Advance(60); }},
      {"time limit", false, [](auto&, auto&, auto& Clock) { Clock.Advance(60); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.Name) + (C.Mail ? " (mail)" : " (save as)"));
    test::ScriptedDialogs Dialogs;
    ManualClock Clock;
    auto Owned = std::make_unique<test::TFakeEngine>();
    test::TFakeEngine& Engine = *Owned;
    TBrowserControl Control(std::move(Owned));
    Control.Dialogs = &Dialogs;
    Control.SetWaitClock(Clock);
    Engine.CompleteNavigation("http://a.example/", "A");
    Control.NavigateToAddress("http://b.example/");
    Engine.FireBeforeNavigate("http://b.example/");
    if (C.Mail) {
      Control.MailPageFile("B");
      EXPECT_EQ(MailFolders(), 1u);
    } else {
      Dialogs.QueueText((platform::ShellFolders::Home() / "b.mht").string());
      Control.SavePageAs();
    }
    Clock.Advance(59);
    EXPECT_TRUE(Dialogs.MessageTexts().empty());
    C.Drop(Control, Engine, Clock);
    EXPECT_EQ(Dialogs.MessageTexts(platform::MessageKind::Error), std::vector<std::string>{PageNotLoadedText});
    EXPECT_EQ(MailFolders(), 0u);
    Engine.CompletePending("B");
    EXPECT_EQ(Engine.CallCount("Save"), 0);
  }
}

TEST(PageWaitsTest, APageClosedWhileItsMailWaitsLeavesNoFolder) {
  test::ScriptedDialogs Dialogs;
  auto Control = std::make_unique<TBrowserControl>(std::make_unique<test::TFakeEngine>());
  Control->Dialogs = &Dialogs;
  Control->NavigateToAddress("http://b.example/");
  Control->MailPageFile("B");
  ASSERT_EQ(MailFolders(), 1u);
  Control.reset();
  EXPECT_EQ(MailFolders(), 0u);
  EXPECT_TRUE(Dialogs.MessageTexts().empty());
}

}  // namespace
}  // namespace vorlane::browser
