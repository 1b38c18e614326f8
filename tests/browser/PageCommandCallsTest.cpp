// What page commands hand on: the engine's print commands, the open dialog, the desktop's
// folder and the mail program.
#include "browser/BrowserControl.h"

#include "platform/ShellFolders.h"
#include "support/FakeEngine.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace vorlane::browser {
namespace {

namespace fs = std::filesystem;
using platform::MessageKind;
using test::ScriptedDialogs;
using test::TFakeEngine;

class PageCommandCallsTest : public ::testing::Test {
protected:
  PageCommandCallsTest() {
    auto E = std::make_unique<TFakeEngine>();
    Engine = E.get();
    Control = std::make_unique<TBrowserControl>(std::move(E));
    Control->Dialogs = &Dialogs;
    Engine->CompleteNavigation("http://h.example/a", "A page");
  }

  ScriptedDialogs Dialogs;
  TFakeEngine* Engine;
  std::unique_ptr<TBrowserControl> Control;
};

TEST_F(PageCommandCallsTest, PrintSetupAndPreviewReachExecWB) {
  const std::tuple<void (TBrowserControl::*)(), std::string, int32_t> Cases[] = {
      {&TBrowserControl::PrintPage, "6", 1}, {&TBrowserControl::SetupPage, "8", 1},
      {&TBrowserControl::PreviewPage, "7", 2}};
  for (auto [Command, Id, Option] : Cases) {
    Engine->Calls.clear();
    ((*Control).*Command)();
    ASSERT_EQ(Engine->CallCount("ExecWB"), 1) << Id;
    EXPECT_EQ(Engine->LastCall("ExecWB")->Arg, Id);
    EXPECT_EQ(Engine->LastCall("ExecWB")->Flags, Option) << Id;
  }
}

TEST_F(PageCommandCallsTest, OpenDialogOffersWebPagesThenEveryFile) {
  Control->OpenLocalFile();
  ASSERT_EQ(Dialogs.Calls().size(), 1u);
  const auto& Call = Dialogs.Calls()[0];
  EXPECT_EQ(Call.Type, ScriptedDialogs::CallType::OpenFile);
  EXPECT_EQ(Call.Caption, "Browser Open Dialog - Internet Files and Url Shortcuts");
  ASSERT_EQ(Call.Filters.size(), 2u);
  EXPECT_EQ(Call.Filters[0].Name, "Internet Files and Url Shortcuts");
  EXPECT_EQ(Call.Filters[0].Patterns, (std::vector<std::string>{"*.htm", "*.html", "*.HTML", "*.HTM", "*.mht",
                                                                "*.mhtml", "*.MHT", "*.MHTML"}));
  EXPECT_EQ(Call.Filters[1].Name, "所有文件");
  EXPECT_EQ(Call.Filters[1].Patterns, (std::vector<std::string>{"*"}));
}

TEST_F(PageCommandCallsTest, AShortcutThatCannotBeWrittenIsReported) {
  // A file where the desktop folder should be: no write can pass, not even as root.
  fs::path Desktop = platform::ShellFolders::Path(platform::SpecialFolder::Desktop);
  fs::create_directories(Desktop.parent_path());
  fs::remove_all(Desktop);
  std::ofstream(Desktop) << "not a folder";
  Control->CreateDesktopShortcut();
  ASSERT_TRUE(test::PumpUntil([&] { return !Dialogs.MessageTexts(MessageKind::Error).empty(); }));
  EXPECT_EQ(Dialogs.MessageTexts(MessageKind::Error)[0].rfind("无法在桌面上创建快捷方式：", 0), 0u);
  fs::remove(Desktop);
}

// The old command paused 800 ms between saving and mailing; the mail program starts as
// soon as the page is saved, with no timer in between.
TEST_F(PageCommandCallsTest, MailStartsAsSoonAsThePageIsSaved) {
  fs::path Bin = platform::ShellFolders::Home() / "bin";
  fs::path Args = platform::ShellFolders::Home() / "mail-args";
  fs::create_directories(Bin);
  std::ofstream(Bin / "xdg-email") << "#!/bin/sh\necho \"$@\" > \"$HOME/mail-args.part\"\n"
                                      "mv \"$HOME/mail-args.part\" \"$HOME/mail-args\"\n";
  fs::permissions(Bin / "xdg-email", fs::perms::owner_all);
  std::string OldPath = g_getenv("PATH");
  g_setenv("PATH", (Bin.string() + ":" + OldPath).c_str(), TRUE);
  Control->MailPageFile("A page");
  ASSERT_TRUE(test::PumpUntil([&] { return Engine->CallCount("Save") == 1; }));
  // From here the main loop stands still: a timer before the mail could never fire.
  auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(Args) && std::chrono::steady_clock::now() < Deadline) g_usleep(10000);
  g_setenv("PATH", OldPath.c_str(), TRUE);
  EXPECT_TRUE(fs::exists(Args));
}

}  // namespace
}  // namespace vorlane::browser
