// Pages record their visits in the history they are given, in the background too.
#include "MainWindowFixture.h"

#include "platform/HistoryStore.h"
#include "platform/ShellFolders.h"

namespace vorlane::test {
namespace {

class HistoryRecordingTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Store = std::make_unique<platform::THistoryStore>(
        platform::ShellFolders::DataHome() /
        (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".sqlite"));
    Main().SetHistorySink(Store.get());
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    Store.reset();
  }
  std::vector<std::string> Recorded() {
    std::vector<std::string> Out;
    for (auto& P : Store->RecentPages(20)) Out.push_back(P.Url + " " + P.Title);
    return Out;
  }
  std::unique_ptr<platform::THistoryStore> Store;
};

TEST_F(HistoryRecordingTest, CommittedDocumentsAreVisitsAndTheirTitlesFollow) {
  shell::TFrmWeb* B = Main().NewPage("http://b.example/", false);  // a background tab
  TFakeEngine& E = EngineOf(B);
  E.CompleteNavigation("http://b.example/", "");
  E.FireTitle("标题 B");
  E.CompleteNavigation("about:blank", "blank");
  E.CompleteNavigation("file:///tmp/a.html", "A");
  EXPECT_EQ(Recorded(), (std::vector<std::string>{"file:///tmp/a.html A", "http://b.example/ 标题 B"}));
}

TEST_F(HistoryRecordingTest, FailedLoadsAndTheirErrorPagesAreNotVisits) {
  shell::TFrmWeb* B = Main().NewPage("http://b.example/", true);
  TFakeEngine& E = EngineOf(B);
  E.FailNavigation("http://down.example/");
  EXPECT_EQ(E.Url, "http://down.example/");  // the error page shows under the address
  // A failure after the commit takes the visit back.
  E.CompleteNavigation("http://half.example/", "half");
  E.Events->NavigateError("http://half.example/", true);
  EXPECT_TRUE(Recorded().empty());
}

TEST_F(HistoryRecordingTest, AReloadThatFailsKeepsTheVisitThatSucceeded) {
  shell::TFrmWeb* B = Main().NewPage("http://b.example/", true);
  TFakeEngine& E = EngineOf(B);
  E.CompleteNavigation("http://b.example/", "B");
  E.FailNavigation("http://b.example/");  // F5 while the server is down
  EXPECT_EQ(Recorded(), (std::vector<std::string>{"http://b.example/ B"}));
}

}  // namespace
}  // namespace vorlane::test
