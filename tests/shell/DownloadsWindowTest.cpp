// The downloads as the main window shows them: the "下载" window following the list, the
// status bar, and quitting while files are still coming.
#include "MainWindowFixture.h"
#include "support/ScriptedDialogs.h"

#include <fstream>

namespace vorlane::test {
namespace {

struct RecordedActions : browser::IDownloadActions {
  std::vector<int> Cancelled;
  std::vector<std::string> Downloaded;
  void Cancel(int Id) override { Cancelled.push_back(Id); }
  void Download(const std::string& Url) override { Downloaded.push_back(Url); }
};

class DownloadsWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    List.Actions = &Actions;
    Main().SetDownloads(&List);
  }
  void TearDown() override {
    Main().SetDownloads(nullptr);
    MainWindowTest::TearDown();
  }
  std::vector<shell::TDownloadsWindow::TRowText> RowsWhen(const std::function<bool(const shell::TDownloadsWindow::TRowText&)>& Ready) {
    PumpUntil([&] {
      auto* W = Main().DownloadsWindow();
      return W && !W->Rows().empty() && Ready(W->Rows().front());
    });
    return Main().DownloadsWindow() ? Main().DownloadsWindow()->Rows() : std::vector<shell::TDownloadsWindow::TRowText>{};
  }

  browser::TDownloadList List;
  RecordedActions Actions;
};

TEST_F(DownloadsWindowTest, TheWindowComesUpAndItsRowFollowsTheDownload) {
  int Id = List.Started("https://files.test/big.iso");
  ASSERT_TRUE(Main().DownloadsWindow());
  EXPECT_TRUE(Main().DownloadsWindow()->get_visible());
  auto Rows = RowsWhen([](auto& R) { return R.State == "正在下载"; });
  ASSERT_EQ(Rows.size(), 1u);
  EXPECT_EQ(Rows[0].Buttons, std::vector<std::string>{"取消"});
  EXPECT_TRUE(PumpUntil([&] { return Main().StatusText().get_text() == "正在下载 1 个文件"; }));
  ASSERT_TRUE(Main().DownloadsWindow()->Press(0, "取消"));
  EXPECT_EQ(Actions.Cancelled, std::vector<int>{Id});

  List.Failed(Id, "网络连接中断");
  Rows = RowsWhen([](auto& R) { return R.State != "正在下载"; });
  EXPECT_EQ(Rows[0].State, "失败：网络连接中断");
  EXPECT_EQ(Rows[0].Buttons, (std::vector<std::string>{"重试", "从列表中删除"}));
  EXPECT_EQ(Main().StatusText().get_text(), "");
  ASSERT_TRUE(Main().DownloadsWindow()->Press(0, "重试"));
  EXPECT_EQ(Actions.Downloaded, std::vector<std::string>{"https://files.test/big.iso"});

  // A complete download can be opened while its file is there.
  const auto File = std::filesystem::temp_directory_path() / "vorlane-download-test.txt";
  std::ofstream(File) << "x";
  int Done = List.Started("https://files.test/a.txt");
  List.Named(Done, "a.txt", File.string());
  List.Completed(Done, File.string());
  Rows = RowsWhen([](auto& R) { return R.State == "已完成"; });
  EXPECT_EQ(Rows[0].Buttons, (std::vector<std::string>{"打开", "打开所在文件夹", "从列表中删除"}));
  std::filesystem::remove(File);
  Main().DownloadsWindow()->Refresh();
  EXPECT_EQ(Main().DownloadsWindow()->Rows()[0].State, "文件已删除");
  ASSERT_TRUE(Main().DownloadsWindow()->Press(0, "从列表中删除"));
  EXPECT_TRUE(PumpUntil([&] { return Main().DownloadsWindow()->Rows().empty(); }));

  // Closed by the user, it stays closed when the next download starts; Ctrl+J brings it.
  Main().DownloadsWindow()->close();
  List.Started("https://files.test/b.txt");
  EXPECT_FALSE(Main().DownloadsWindow()->get_visible());
  Run("Ac_Downloads");
  EXPECT_TRUE(Main().DownloadsWindow()->get_visible());
}

TEST_F(DownloadsWindowTest, QuittingWhileFilesAreComingAsksFirst) {
  ScriptedDialogs Dialogs;
  Main().SetDialogs(&Dialogs);
  bool Quit = false;
  Main().OnQuit = [&] { Quit = true; };
  List.Started("https://files.test/big.iso");
  Run("Ac_Quit");  // answered 取消
  EXPECT_FALSE(Quit);
  EXPECT_EQ(Dialogs.MessageTexts(), std::vector<std::string>{"有 1 个文件正在下载。确实要退出吗？"});
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Run("Ac_Quit");
  EXPECT_TRUE(PumpUntil([&] { return Quit; }));  // once every page agreed
  Main().SetDialogs(nullptr);
}

TEST_F(DownloadsWindowTest, TheOptionAsksWhereEachDownloadGoes) {
  ScriptedDialogs Dialogs;
  Main().SetDialogs(&Dialogs);
  std::vector<std::optional<std::string>> Chosen;
  auto Choose = [&] { Main().ChooseDownloadDestination("/d/a.zip", [&](auto Path) { Chosen.push_back(Path); }); };
  // Off, through the menu as the user turns it off (earlier tests may have left it on).
  if (Main().ActionList["Ac_AskWhereToSave"].Checked()) Run("Ac_AskWhereToSave");
  ASSERT_FALSE(Main().Options().AskWhereToSave());
  Choose();  // the download folder, without a question
  EXPECT_EQ(Chosen.back(), "/d/a.zip");
  EXPECT_TRUE(Dialogs.Calls().empty());

  Run("Ac_AskWhereToSave");
  EXPECT_TRUE(Main().Options().AskWhereToSave());
  Dialogs.QueueText("/elsewhere/b.zip");
  Choose();
  ASSERT_EQ(Dialogs.Calls().size(), 1u);
  EXPECT_EQ(Dialogs.Calls()[0].Type, ScriptedDialogs::CallType::SaveFile);
  EXPECT_EQ(Dialogs.Calls()[0].Initial, "/d/a.zip");
  EXPECT_EQ(Chosen.back(), "/elsewhere/b.zip");
  Choose();  // cancelled
  EXPECT_EQ(Chosen.back(), std::nullopt);
  Run("Ac_AskWhereToSave");
  Main().SetDialogs(nullptr);
}

TEST_F(DownloadsWindowTest, ATabOpenedForWhatBecameADownloadGoesUnlessItIsTheLastOrShowsAPage) {
  // The window keeps its last page, even one that shows nothing yet.
  ASSERT_EQ(PageCount(), 1);
  shell::TFrmWeb* First = Tab(0);
  First->WebBrowser->Navigate2("https://files.test/a.iso");
  EngineOf(First).DownloadPending();
  PumpPending();
  EXPECT_EQ(PageCount(), 1);
  EngineOf(First).CompleteNavigation("https://files.test/list.html", "list");
  // A tab opened for a file (a link to a new window, an address from the desktop) goes.
  EngineOf(Main().NewPage("https://files.test/b.iso", true)).DownloadPending();
  EXPECT_TRUE(PumpUntil([&] { return PageCount() == 1; }));
  // A page that shows something stays as it was.
  Open("https://files.test/more.html", false, "more");
  First->WebBrowser->Navigate2("https://files.test/c.iso");
  EngineOf(First).DownloadPending();
  PumpPending();
  EXPECT_EQ(PageCount(), 2);
}

}  // namespace
}  // namespace vorlane::test
