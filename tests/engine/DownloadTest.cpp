// Downloads through the real engine: what becomes one, the name it gets, the user's files
// left alone, cancelling, and a folder that cannot be used.
#include "EngineFixture.h"

#include "engine/DownloadDriver.h"
#include "platform/ShellFolders.h"
#include "support/FileText.h"
#include "support/MainLoop.h"

#include <webkit/webkit.h>

#include <fstream>
#include <sstream>

namespace vorlane::test {
namespace {

namespace fs = std::filesystem;
using browser::DownloadState;

std::vector<std::string> Entries(const fs::path& Dir) {
  std::vector<std::string> Names;
  std::error_code Ec;
  for (auto& E : fs::directory_iterator(Dir, Ec)) Names.push_back(E.path().filename().string());
  std::sort(Names.begin(), Names.end());
  return Names;
}

class DownloadTest : public EngineTest {
protected:
  DownloadTest() {
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  // Waits for the newest download to end; its row.
  const browser::TDownloadItem* Ended(size_t Count) {
    bool Done = PumpUntil([&] {
      return List.Items().size() >= Count && List.Items().front().State != DownloadState::Running;
    }, std::chrono::seconds(30));
    return Done ? &List.Items().front() : nullptr;
  }

  fs::path Folder = platform::ShellFolders::Home() / "下载";
  browser::TDownloadList List;
  engine::TDownloadDriver Driver{List, [this] { return Folder; }};
};

TEST_F(DownloadTest, WhatAPageCannotShowIsSavedWholeUnderItsNameBesideTheUsersFiles) {
  const std::string Body(300000, 'z');
  Server.Serve("/get", "report body", "application/octet-stream", 200,
               "Content-Disposition: attachment; filename=\"x.txt\"; filename*=UTF-8''%E6%8A%A5%E5%91%8A.txt\r\n");
  Server.Serve("/archive.zip", Body, "application/zip");
  Server.Serve("/links.html", "<title>l</title><a id=l download href=\"/notes.txt\">n</a>");
  Server.Serve("/notes.txt", "notes", "text/plain");
  {
    std::ofstream Mine(Folder / "报告.txt", std::ios::binary);
    Mine << "the user's own";
  }
  TestPage& Page = NewPage();

  Page->Navigate2(Server.Url("/get?id=1"));  // an attachment
  const browser::TDownloadItem* Item = Ended(1);
  ASSERT_TRUE(Item);
  EXPECT_TRUE(WaitFor(*Page.Log, "BecameDownload(nothing shown)"));  // its tab may go
  EXPECT_EQ(Item->State, DownloadState::Completed) << Item->Failure;
  EXPECT_EQ(Item->Name, "报告 (2).txt");
  EXPECT_EQ(FileText(Folder / "报告 (2).txt"), "report body");
  EXPECT_EQ(FileText(Folder / "报告.txt"), "the user's own");

  ASSERT_TRUE(Load(Page, Server.Url("/links.html")));
  Eval(Page, "document.getElementById('l').click()");  // a link with a download attribute
  Item = Ended(2);
  ASSERT_TRUE(Item);
  EXPECT_EQ(FileText(Folder / "notes.txt"), "notes");

  Page->Navigate2(Server.Url("/archive.zip"));  // a type no page shows, typed as an address
  Item = Ended(3);
  ASSERT_TRUE(Item);
  EXPECT_EQ(Item->State, DownloadState::Completed) << Item->Failure;
  EXPECT_TRUE(FileText(Folder / "archive.zip") == Body);
  EXPECT_EQ(Item->Received, static_cast<int64_t>(Body.size()));
  EXPECT_TRUE(WaitFor(*Page.Log, "BecameDownload(page kept)"));
  EXPECT_EQ(Entries(Folder), (std::vector<std::string>{"archive.zip", "notes.txt", "报告 (2).txt", "报告.txt"}));
}

TEST_F(DownloadTest, ACancelledOrRefusedDownloadLeavesNothingAndAFolderThatIsAFileIsSaid) {
  Server.Hold("/slow.bin");
  Driver.Download(Server.Url("/slow.bin"));
  ASSERT_TRUE(PumpUntil([&] { return !List.Items().empty(); }));
  List.Cancel(List.Items().front().Id);
  const browser::TDownloadItem* Item = Ended(1);
  ASSERT_TRUE(Item);
  EXPECT_EQ(Item->State, DownloadState::Cancelled);

  Server.Serve("/gone.bin", "no", "application/octet-stream", 404);
  Driver.Download(Server.Url("/gone.bin"));
  Item = Ended(2);
  ASSERT_TRUE(Item);
  EXPECT_EQ(browser::StateText(*Item), "失败：服务器返回错误 404");

  Server.Serve("/ok.bin", "ok", "application/octet-stream");
  fs::remove_all(Folder);
  std::ofstream(Folder) << "a file where the folder belongs";
  Driver.Download(Server.Url("/ok.bin"));
  Item = Ended(3);
  ASSERT_TRUE(Item);
  EXPECT_EQ(browser::StateText(*Item), "失败：下载文件夹的位置上是一个文件，不是文件夹");
  EXPECT_EQ(FileText(Folder), "a file where the folder belongs");
  EXPECT_FALSE(fs::exists(platform::ShellFolders::Home() / "ok.bin"));
  fs::remove(Folder);
}

TEST_F(DownloadTest, AServerThatGoesAwayHalfWayIsAFailureAndRetryCompletesIt) {
  const std::string Body(200000, 'q');
  Server.CutOff("/cut.bin", Body, "application/octet-stream");
  Driver.Download(Server.Url("/cut.bin"));
  const browser::TDownloadItem* Item = Ended(1);
  ASSERT_TRUE(Item);
  EXPECT_EQ(browser::StateText(*Item), "失败：服务器在传输中途断开了连接");
  EXPECT_TRUE(Entries(Folder).empty());  // never shown as complete, no part file left

  Server.Serve("/cut.bin", Body, "application/octet-stream");
  List.Retry(Item->Id);
  Item = Ended(1);
  ASSERT_TRUE(Item);
  EXPECT_EQ(Item->State, DownloadState::Completed) << Item->Failure;
  EXPECT_TRUE(FileText(Folder / "cut.bin") == Body);
  EXPECT_EQ(List.Items().size(), 1u);  // the retry took the failed row's place
}

TEST_F(DownloadTest, WhenAskedTheDownloadWaitsForThePlaceTheUserChooses) {
  Server.Serve("/ask.txt", "asked", "text/plain", 200, "Content-Disposition: attachment\r\n");
  std::vector<std::pair<fs::path, std::function<void(std::optional<fs::path>)>>> Asked;
  Driver.ChooseDestination = [&](const fs::path& Proposed, auto Done) { Asked.emplace_back(Proposed, Done); };
  Driver.Download(Server.Url("/ask.txt"));
  Driver.Download(Server.Url("/ask.txt"));
  ASSERT_TRUE(PumpUntil([&] { return Asked.size() == 2; }));
  EXPECT_EQ(Asked[0].first, Folder / "ask.txt");
  EXPECT_TRUE(Entries(Folder).empty());  // nothing is written before the answer

  const fs::path Elsewhere = platform::ShellFolders::Home() / "chosen";
  Asked[0].second(Elsewhere / "mine.txt");
  Asked[1].second(std::nullopt);
  ASSERT_TRUE(PumpUntil([&] { return List.RunningCount() == 0; }));
  EXPECT_EQ(FileText(Elsewhere / "mine.txt"), "asked");
  EXPECT_EQ(List.Items().front().State, DownloadState::Cancelled);
  EXPECT_TRUE(Entries(Folder).empty());
}

TEST_F(DownloadTest, ThePagesMenuSavesALinksTargetUnderOurCaption) {
  Server.Serve("/target.txt", "target", "text/plain");
  TestPage& Page = NewPage();
  ASSERT_TRUE(Load(Page, Server.Url("/target.txt")));
  // The menu WebKit would show over a link, raised as WebKit raises it.
  WebKitContextMenu* Menu = webkit_context_menu_new();
  webkit_context_menu_append(Menu, webkit_context_menu_item_new_from_stock_action(
                                       WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK));
  GObject* Hit = G_OBJECT(g_object_new(WEBKIT_TYPE_HIT_TEST_RESULT, "context", WEBKIT_HIT_TEST_RESULT_CONTEXT_LINK,
                                       "link-uri", Server.Url("/target.txt").c_str(), nullptr));
  gboolean Handled = TRUE;
  g_signal_emit_by_name(ViewOf(*Page.Engine), "context-menu", Menu, Hit, &Handled, nullptr);
  EXPECT_FALSE(Handled);
  ASSERT_EQ(webkit_context_menu_get_n_items(Menu), 1u);
  WebKitContextMenuItem* Item = webkit_context_menu_first(Menu);
  EXPECT_EQ(webkit_context_menu_item_get_stock_action(Item), WEBKIT_CONTEXT_MENU_ACTION_CUSTOM);  // ours
  GAction* Save = webkit_context_menu_item_get_gaction(Item);
  ASSERT_TRUE(Save);
  g_action_activate(Save, g_variant_new_string(Server.Url("/target.txt").c_str()));
  const browser::TDownloadItem* Saved = Ended(1);
  ASSERT_TRUE(Saved);
  EXPECT_EQ(FileText(Folder / "target.txt"), "target");
  g_object_unref(Hit);
  g_object_unref(Menu);
}

}  // namespace
}  // namespace vorlane::test
