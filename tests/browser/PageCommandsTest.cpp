#include "browser/BrowserControl.h"

#include "platform/ConnectionState.h"
#include "platform/ShellFolders.h"
#include "support/FakeEngine.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vorlane::browser {
namespace {

namespace fs = std::filesystem;
using platform::MessageKind;
using platform::MessageResult;
using test::PumpUntil;
using test::ScriptedDialogs;
using test::TFakeEngine;

std::string Read(const fs::path& P) {
  std::ifstream In(P, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

Gtk::Window* ShownWindow(const std::string& Title) {
  for (Gtk::Window* W : Gtk::Window::list_toplevels())
    if (W->get_title().raw() == Title && W->get_visible()) return W;
  return nullptr;
}

template <typename T>
T* FindChild(Gtk::Widget& Parent, const std::string& Name = {}) {
  for (Gtk::Widget* C = Parent.get_first_child(); C; C = C->get_next_sibling()) {
    auto* Hit = dynamic_cast<T*>(C);
    if (Hit && (Name.empty() || C->get_name().raw() == Name)) return Hit;
    if (auto* Deeper = FindChild<T>(*C, Name)) return Deeper;
  }
  return nullptr;
}

class PageCommandsTest : public ::testing::Test {
protected:
  PageCommandsTest() { Open(); }
  void Open() {
    auto E = std::make_unique<TFakeEngine>();
    Engine = E.get();
    Control = std::make_unique<TBrowserControl>(std::move(E));
    Control->Dialogs = &Dialogs;
    Control->OpenUri = [this](const std::string& Uri) { Opened.push_back(Uri); };
    Engine->CompleteNavigation("http://h.example/a?x=1&y=2", "A&B?x=1#y&attach=~/.ssh/id_rsa");
  }
  std::vector<std::string> Errors() const { return Dialogs.MessageTexts(MessageKind::Error); }

  ScriptedDialogs Dialogs;
  TFakeEngine* Engine;
  std::unique_ptr<TBrowserControl> Control;
  std::vector<std::string> Opened;
};

TEST_F(PageCommandsTest, MailLinkCarriesTitleAndAddressWhole) {
  Control->MailPageAddress();
  ASSERT_EQ(Opened.size(), 1u);
  const std::string& Uri = Opened[0];
  size_t Body = Uri.find("&body=");
  ASSERT_EQ(Uri.rfind("mailto:?subject=Check%20this%20site&body=", 0), 0u) << Uri;
  gchar* Text = g_uri_unescape_string(Uri.c_str() + Body + 6, nullptr);
  EXPECT_STREQ(Text, "I found A&B?x=1#y&attach=~/.ssh/id_rsa    In: http://h.example/a?x=1&y=2   Please Have A look");
  g_free(Text);
  EXPECT_EQ(Uri.find('&', Body + 1), std::string::npos);
}

TEST_F(PageCommandsTest, OfflineFollowsTheAnswer) {
  bool State = true;
  Control->GoOffline([&](bool Connected) { State = Connected; });  // scripted: Cancel
  EXPECT_TRUE(platform::ConnectionState::Connected());
  EXPECT_EQ(Dialogs.Calls().back().Caption, "Warning");
  EXPECT_EQ(Dialogs.Calls().back().Text, "You are choosing to work Offline!");
  Dialogs.QueueResult(MessageResult::Ok);
  Control->GoOffline([&](bool Connected) { State = Connected; });
  EXPECT_FALSE(State);
  EXPECT_FALSE(platform::ConnectionState::Connected());
  Dialogs.QueueResult(MessageResult::Ok);
  Control->GoOnline([&](bool Connected) { State = Connected; });
  EXPECT_TRUE(State);
  EXPECT_EQ(Dialogs.Calls().back().Text, "You are choosing to work Online");

  // A page closed while its question is open: the answer does nothing.
  Dialogs.SetDeferred(true);
  Dialogs.QueueResult(MessageResult::Ok);
  Control->GoOffline();
  Control.reset();
  Dialogs.AnswerAll();
  EXPECT_TRUE(platform::ConnectionState::Connected());
}

TEST_F(PageCommandsTest, MissingNewBookFileIsExplained) {
  Control->OpenNewBookFile();
  ASSERT_EQ(Dialogs.MessageTexts().size(), 1u);
  EXPECT_EQ(Dialogs.MessageTexts()[0],
            "We can not locate the file, sorry.\n\rPlease use \"Open URL\" in the toolbar to locate the file");
  std::ofstream(platform::ShellFolders::Home() / "newbook.htm") << "<p>book";
  Control->OpenNewBookFile();
  EXPECT_EQ(Engine->LastCall("Navigate2")->Arg, (platform::ShellFolders::Home() / "newbook.htm").string());
}

TEST_F(PageCommandsTest, DesktopShortcutNeverReplacesAnotherFile) {
  fs::path Desktop = platform::ShellFolders::Path(platform::SpecialFolder::Desktop);
  Engine->CompleteNavigation("http://one.example/", "A/B: C?");
  Control->CreateDesktopShortcut();
  const std::string One = "[InternetShortcut]\r\nURL=http://one.example/\r\nIconIndex=0\r\nShowCommand=7\r\n";
  ASSERT_TRUE(PumpUntil([&] { return Read(Desktop / "A-B- C-.url") == One; }));
  Control->CreateDesktopShortcut();  // the same shortcut again: rewritten in place
  test::PumpPending();
  Engine->CompleteNavigation("http://two.example/", "A/B: C?");
  Control->CreateDesktopShortcut();
  ASSERT_TRUE(PumpUntil([&] { return Read(Desktop / "A-B- C- (2).url").find("two.example") != std::string::npos; }));
  EXPECT_EQ(Read(Desktop / "A-B- C-.url"), One);
  EXPECT_FALSE(fs::exists(Desktop / "A-B- C- (3).url"));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(PageCommandsTest, HighlightPassesTheTextAsAnArgumentOnceTheDocumentIsComplete) {
  int Count = -2;
  Control->HighlightMatches("", [&](int N) { Count = N; });
  EXPECT_EQ(Count, 0);
  EXPECT_EQ(Engine->CallCount("CallScript"), 0);

  Engine->ScriptResult = "4";
  Control->NavigateToAddress("http://c.example/");
  Control->HighlightMatches("it's \"x\"", [&](int N) { Count = N; });
  EXPECT_EQ(Engine->CallCount("CallScript"), 0);  // still loading
  Engine->CompletePending("C");
  EXPECT_EQ(Engine->LastCall("CallScript")->Arg, "it's \"x\"");
  EXPECT_EQ(Count, 4);

  // Dropped by Stop, and by a navigation that replaces the page waited for.
  Control->NavigateToAddress("http://d.example/");
  Control->HighlightMatches("x");
  Control->Stop();
  Engine->CompletePending();
  Control->NavigateToAddress("http://e.example/");
  Control->HighlightMatches("x");
  Engine->CompleteNavigation("http://f.example/", "F");  // the load waited for started earlier
  Engine->CompleteNavigation("http://g.example/", "G");
  EXPECT_EQ(Engine->CallCount("CallScript"), 2);
}

TEST_F(PageCommandsTest, SaveAsChoosesTheFormatByExtensionAndReportsFailure) {
  Dialogs.QueueText("/tmp/x/page.htm");
  Control->SavePageAs();
  EXPECT_EQ(Engine->LastCall("Save")->Arg, "/tmp/x/page.htm");
  EXPECT_EQ(Engine->LastCall("Save")->Flags, 0);
  Engine->SaveError = "No space left on device";
  Dialogs.QueueText("/tmp/x/page.MHT");
  Control->SavePageAs();
  EXPECT_EQ(Engine->LastCall("Save")->Flags, 1);
  EXPECT_EQ(Errors(), (std::vector<std::string>{"无法保存网页：No space left on device"}));
}

TEST_F(PageCommandsTest, MailPageFileSavesPrivatelyAndSendsNothingAfterAFailedSave) {
  Engine->SaveError = "disk full";
  Control->MailPageFile("../../x");
  ASSERT_EQ(Errors().size(), 1u);
  fs::path Saved = Engine->LastCall("Save")->Arg;
  EXPECT_EQ(Saved.filename(), "-..-x.mht");
  EXPECT_FALSE(fs::exists(Saved.parent_path()));  // the private folder went again

  Engine->SaveError.reset();
  fs::path Bin = platform::ShellFolders::Home() / "bin";
  fs::create_directories(Bin);
  std::ofstream(Bin / "xdg-email") << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$HOME/mail-args\"\n";
  fs::permissions(Bin / "xdg-email", fs::perms::owner_all);
  std::string OldPath = g_getenv("PATH");
  g_setenv("PATH", (Bin.string() + ":" + OldPath).c_str(), TRUE);
  Control->MailPageFile("");
  fs::path Args = platform::ShellFolders::Home() / "mail-args";
  ASSERT_TRUE(PumpUntil([&] { return fs::exists(Args) && !Read(Args).empty(); }));
  g_setenv("PATH", OldPath.c_str(), TRUE);
  Saved = Engine->LastCall("Save")->Arg;
  EXPECT_EQ(Saved.filename(), "page.mht");
  struct stat Info {};
  ASSERT_EQ(stat(Saved.parent_path().c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0700u);
  EXPECT_NE(Read(Args).find("--attach\n" + Saved.string() + "\n"), std::string::npos);
  EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(PageCommandsTest, DocumentCommandsNeedADocument) {
  Engine->HasDoc = false;
  Engine->Calls.clear();
  Control->ShowPageSource();
  Control->ShowFindDialog();
  Control->CopySelection();
  EXPECT_TRUE(Engine->Calls.empty());
  Engine->HasDoc = true;
  Control->CopySelection();
  Control->SelectAllContent();
  EXPECT_EQ(Engine->CallCount("Edit"), 2);
}

TEST_F(PageCommandsTest, FindWindowSearchesAndFinishesWhenClosed) {
  Engine->FindMatches = 3;
  Control->ShowFindDialog();
  Gtk::Window* Find = ShownWindow("查找");
  ASSERT_NE(Find, nullptr);
  FindChild<Gtk::Entry>(*Find)->set_text("foo");
  EXPECT_EQ(Engine->LastCall("FindText")->Arg, "foo");
  EXPECT_NE(FindChild<Gtk::Label>(*Find, "status")->get_text().raw().find("3"), std::string::npos);
  Find->close();
  EXPECT_EQ(Engine->CallCount("FindFinish"), 1);
}

TEST_F(PageCommandsTest, SourceWindowShowsTheDecodedBytes) {
  Engine->Source = WebEngine::DocumentSource{std::string("<p>\xd6\xd0\xce\xc4</p>\0", 12), ""};
  Control->ShowPageSource();
  Gtk::Window* Source = ShownWindow("http://h.example/a?x=1&y=2 - 源文件");
  ASSERT_NE(Source, nullptr);
  EXPECT_EQ(FindChild<Gtk::TextView>(*Source)->get_buffer()->get_text(), "<p>中文</p>␀");  // GTK refuses NUL
  Source->close();
}

}  // namespace
}  // namespace vorlane::browser
