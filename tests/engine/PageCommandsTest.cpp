// Page commands on the real engine: highlight, offline, save, preview, find, and a page
// that closes while a command waits.
#include "EngineFixture.h"

#include "browser/BrowserControl.h"
#include "browser/DownloadOptions.h"
#include "engine/WebKitEngine.h"
#include "platform/ConnectionState.h"
#include "platform/ShellFolders.h"
#include "support/FileText.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace vorlane::test {
namespace {

namespace fs = std::filesystem;
using browser::TBrowserControl;
using browser::WebEngine;

class PageCommandsTest : public EngineTest {
protected:
  // A browser control on a real engine, shown in the test window, its events logged.
  TBrowserControl& NewControl() {
    auto Engine = engine::CreateWebKitEngine();
    Control = std::make_unique<TBrowserControl>(std::move(Engine));
    Control->Dialogs = &Dialogs;
    Control->OnDocumentComplete = [this](const std::string& Url) { Completed.push_back(Url); };
    Pages.append(Control->Widget());
    return *Control;
  }
  void CloseControl() {
    Pages.remove(Control->Widget());
    Control.reset();
  }
  bool LoadControl(const std::string& Url) {
    Completed.clear();
    Control->NavigateToAddress(Url);
    return PumpUntil([&] { return !Completed.empty() && Control->Engine().ReadyState() == 4; });
  }
  int Highlight(const std::string& Text) {
    int Count = -2;
    Control->HighlightMatches(Text, [&](int N) { Count = N; });
    PumpUntil([&] { return Count != -2; });
    return Count;
  }
  std::optional<std::string> EvalIn(const std::string& Script) {
    std::optional<std::string> Result;
    bool Done = false;
    Control->Engine().RunScript(Script, [&](std::optional<std::string> R) { Result = R, Done = true; });
    PumpUntil([&] { return Done; });
    return Result;
  }
  ~PageCommandsTest() override {
    if (Control) CloseControl();
    platform::ConnectionState::SetConnected(true);
  }

  ScriptedDialogs Dialogs;
  std::unique_ptr<TBrowserControl> Control;
  std::vector<std::string> Completed;
};

const char* const HighlightPage = "<title>h</title><p>Foo bar FOO <b>foo</b>d fOO</p><p>say \"q' here</p>"
                                  "<script>document.title = 'scripted'</script>";

TEST_F(PageCommandsTest, HighlightWrapsEveryMatchWithPageScriptsOff) {
  Server.Serve("/h.html", HighlightPage);
  NewControl();
  Control->SetDownloadOptions({browser::DLCTL_DLIMAGES, browser::DLCTL_NO_SCRIPTS});
  ASSERT_TRUE(LoadControl(Server.Url("/h.html")));
  // The page's own script did not run.
  EXPECT_TRUE(PumpUntil([&] { return Control->Engine().DocumentTitle() == "h"; }));
  EXPECT_EQ(Highlight("foo"), 4);
  EXPECT_EQ(EvalIn("document.querySelectorAll('span[style*=Lime]').length"), "4");
  EXPECT_EQ(EvalIn("document.body.textContent.includes('Foo bar FOO food fOO')"), "true");
  EXPECT_EQ(Highlight("\"q'"), 1);
  EXPECT_EQ(Highlight("');alert(1);('"), 0);
  EXPECT_EQ(Highlight(""), 0);
}

TEST_F(PageCommandsTest, HighlightOfAPageThatClosesFirstDoesNothing) {
  Server.Serve("/h.html", HighlightPage);
  NewControl();
  bool Called = false;
  Control->NavigateToAddress(Server.Url("/h.html"));
  Control->HighlightMatches("foo", [&](int) { Called = true; });
  CloseControl();
  NewControl();  // another page loads meanwhile; the first one's step never runs
  ASSERT_TRUE(LoadControl(Server.Url("/h.html")));
  EXPECT_FALSE(Called);
}

TEST_F(PageCommandsTest, OfflineKeepsEveryPageOffTheNetworkButBuiltInPagesLoad) {
  Server.Serve("/o.html", "<title>o</title>o");
  NewControl();
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Control->GoOffline();
  ASSERT_FALSE(platform::ConnectionState::Connected());
  ASSERT_TRUE(LoadControl(Server.Url("/o.html")));
  EXPECT_EQ(Server.RequestCount("/o.html"), 0);
  ASSERT_TRUE(LoadControl("vorlane://home.vorlane/sea.html?ver=2.x"));
  EXPECT_TRUE(PumpUntil([&] { return !Control->Engine().DocumentTitle().empty(); }));

  Dialogs.QueueResult(platform::MessageResult::Ok);
  Control->GoOnline();
  ASSERT_TRUE(LoadControl(Server.Url("/o.html")));
  EXPECT_EQ(Server.RequestCount("/o.html"), 1);
  EXPECT_TRUE(PumpUntil([&] { return Control->Engine().DocumentTitle() == "o"; }));  // titles follow the load
}

TEST_F(PageCommandsTest, SavesCompletePagesAsMhtmlAndHtmlOnlyAsServed) {
  const std::string Html = "<title>s</title><p>中文 saved</p>";
  Server.Serve("/s.html", Html);
  NewControl();
  ASSERT_TRUE(LoadControl(Server.Url("/s.html")));
  fs::path Dir = fs::path(g_get_home_dir());
  std::map<std::string, std::optional<std::string>> Results;
  for (const char* Name : {"s.mht", "s.html"})
    Control->SaveDocumentToFile((Dir / Name).string(),
                                [&, Name](std::optional<std::string> Error) { Results[Name] = Error.value_or(""); });
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 2; }));
  EXPECT_EQ(Results["s.mht"], "");
  EXPECT_EQ(Results["s.html"], "");
  EXPECT_NE(FileText(Dir / "s.mht").find("multipart/related"), std::string::npos);
  EXPECT_EQ(FileText(Dir / "s.html"), Html);

  std::optional<WebEngine::DocumentSource> Source;
  Control->Engine().GetDocumentSource([&](auto S) { Source = S; });
  ASSERT_TRUE(PumpUntil([&] { return Source.has_value(); }));
  EXPECT_EQ(Source->Bytes, Html);
  EXPECT_EQ(Source->Charset, "utf-8");
  auto Properties = Control->Engine().GetPageProperties();
  EXPECT_EQ(Properties.MimeType, "text/html");
  EXPECT_EQ(Properties.Status, 200);
  EXPECT_TRUE(Properties.Certificate.empty());

  std::optional<std::string> Error;
  Control->SaveDocumentToFile("/proc/no/such/dir/x.mht", [&](std::optional<std::string> E) { Error = E.value_or(""); });
  ASSERT_TRUE(PumpUntil([&] { return Error.has_value(); }));
  EXPECT_NE(*Error, "");
}

TEST_F(PageCommandsTest, PageClosedWhileItsSaveDialogIsOpen) {
  Server.Serve("/s.html", "<title>s</title>s");
  NewControl();
  ASSERT_TRUE(LoadControl(Server.Url("/s.html")));
  Dialogs.SetDeferred(true);
  fs::path Target = fs::path(g_get_home_dir()) / "closed.mht";
  Dialogs.QueueText(Target.string());
  Control->SavePageAs();
  ASSERT_EQ(Dialogs.Pending(), 1u);
  CloseControl();
  Dialogs.AnswerAll();
  PumpPending();
  EXPECT_FALSE(fs::exists(Target));
  EXPECT_TRUE(Dialogs.MessageTexts().empty());
}

// In the suite's Chinese locale GTK names its file printer "打印到文件": the preview must
// find it all the same.
TEST_F(PageCommandsTest, PreviewShowsAPdfThatGoesWithItsWindow) {
  Server.Serve("/p.html", "<title>p</title><h1>preview</h1>");
  auto PreviewFolders = [] {
    std::set<fs::path> Found;
    for (const auto& Entry : fs::directory_iterator(g_get_tmp_dir()))
      if (Entry.path().filename().string().rfind("vorlane-preview-", 0) == 0) Found.insert(Entry.path());
    return Found;
  };
  // The preview goes when it is closed, and when the window it belongs to goes (at quit).
  for (bool MainWindowGoes : {false, true}) {
    SCOPED_TRACE(MainWindowGoes ? "main window goes" : "preview closed");
    auto* Main = new Gtk::Window;
    NewControl();
    Pages.remove(Control->Widget());
    Main->set_child(Control->Widget());
    Main->present();
    ASSERT_TRUE(LoadControl(Server.Url("/p.html")));
    std::set<fs::path> Before = PreviewFolders();
    Control->PreviewPage();
    // Looked up through GTK itself: gtkmm's list would leave a wrapper on every window it
    // did not make.
    auto Previews = [](bool VisibleOnly = true) {
      std::vector<GtkWindow*> Found;
      GList* All = gtk_window_list_toplevels();
      for (GList* L = All; L; L = L->next) {
        const char* Title = gtk_window_get_title(GTK_WINDOW(L->data));
        if (Title && std::string(Title) == "打印预览" && (!VisibleOnly || gtk_widget_get_visible(GTK_WIDGET(L->data))))
          Found.push_back(GTK_WINDOW(L->data));
      }
      g_list_free(All);
      return Found;
    };
    GtkWindow* Preview = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
      if (auto Found = Previews(); !Found.empty()) Preview = Found.front();
      return Preview != nullptr || !Dialogs.MessageTexts().empty();
    })) << "no preview";
    ASSERT_EQ(Dialogs.MessageTexts(), std::vector<std::string>{});
    fs::path Pdf;
    for (const fs::path& Folder : PreviewFolders())
      if (!Before.count(Folder)) Pdf = Folder / "preview.pdf";
    ASSERT_FALSE(Pdf.empty());
    EXPECT_EQ(FileText(Pdf).substr(0, 5), "%PDF-");
    if (!MainWindowGoes) gtk_window_close(Preview);
    Main->unset_child();
    delete Main;
    EXPECT_FALSE(fs::exists(Pdf.parent_path()));
    PumpPending();
    EXPECT_TRUE(Previews(false).empty());
    Control.reset();
  }
}

TEST_F(PageCommandsTest, FindCountsMatches) {
  Server.Serve("/f.html", "<title>f</title>Foo bar FOO baz <b>foo</b>d");
  NewControl();
  ASSERT_TRUE(LoadControl(Server.Url("/f.html")));
  auto Find = [&](const std::string& Text, bool MatchCase) {
    std::optional<unsigned> Count;
    Control->Engine().FindText(Text, MatchCase, [&](unsigned N) { Count = N; });
    PumpUntil([&] { return Count.has_value(); });
    return Count.value_or(999);
  };
  EXPECT_EQ(Find("foo", false), 3u);
  EXPECT_EQ(Find("foo", true), 1u);
  EXPECT_EQ(Find("zzz", false), 0u);
  Control->Engine().FindFinish();
}

TEST_F(PageCommandsTest, ACancelledReloadLeavesThePageAndWebsiteDataClears) {
  // A login the page keeps, written to the profile's cookie store.
  Server.Serve("/r.html", "<title>r</title><script>document.cookie='login=kept; max-age=86400'</script>");
  const auto Store = platform::ShellFolders::DataHome() / "vorlane" / "cookies.sqlite";
  auto StoreHolds = [&] { return FileText(Store).find("login") != std::string::npos; };
  NewControl();
  ASSERT_TRUE(LoadControl(Server.Url("/r.html")));
  int Asked = 0;
  Control->OnRefresh = [&](int32_t, bool& Cancel) { ++Asked, Cancel = true; };
  Control->Engine().Refresh2();
  ASSERT_TRUE(PumpUntil([&] { return Asked == 1; }));
  Control->OnRefresh = nullptr;
  Completed.clear();
  Control->Engine().Refresh2();
  ASSERT_TRUE(PumpUntil([&] { return !Completed.empty(); }));
  EXPECT_EQ(Server.RequestCount("/r.html"), 2);  // the first load and the reload let through

  ASSERT_TRUE(PumpUntil(StoreHolds));
  std::optional<bool> Cleared;
  Control->Engine().ClearBrowsingData(true, true, [&](bool Ok) { Cleared = Ok; });
  ASSERT_TRUE(PumpUntil([&] { return Cleared.has_value(); }));
  EXPECT_TRUE(*Cleared);
  EXPECT_TRUE(PumpUntil([&] { return !StoreHolds(); }));  // gone from the disk, not only from memory
}

}  // namespace
}  // namespace vorlane::test
