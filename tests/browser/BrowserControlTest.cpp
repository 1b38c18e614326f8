#include "browser/BrowserControl.h"

#include "support/FakeEngine.h"
#include "support/ScriptedDialogs.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

namespace vorlane::browser {
namespace {

using test::TFakeEngine;

class BrowserControlTest : public ::testing::Test {
protected:
  BrowserControlTest() {
    auto E = std::make_unique<TFakeEngine>();
    Engine = E.get();
    Control = std::make_unique<TBrowserControl>(std::move(E));
  }
  TFakeEngine* Engine;
  std::unique_ptr<TBrowserControl> Control;
};

TEST_F(BrowserControlTest, FlagWordsFollowTheOptionsAndTheTwoBooleans) {
  EXPECT_EQ(Control->DownloadFlags(), 0x70u);
  EXPECT_EQ(Engine->DownloadFlags(), 0x70u);
  EXPECT_EQ(Control->InterfaceFlags(), 0u);
  Control->SetUserInterfaceOptions({FLAT_SCROLLBAR, NO3DBORDER});
  EXPECT_EQ(Control->InterfaceFlags(), 0x80u);  // the border member is the Boolean's to set

  auto Options = Control->UserInterfaceOptions();
  Options.Include(SCROLL_NO);
  Control->SetUserInterfaceOptions(Options);
  Control->HideBorders = true;
  EXPECT_EQ(Control->InterfaceFlags(), 0x80u);  // takes effect at the next recompute
  Engine->FireBeforeNavigate("http://a.example/");
  EXPECT_EQ(Control->InterfaceFlags(), 0x200084u);
  EXPECT_EQ(Engine->InterfaceFlags, 0x200084u);

  Control->HideBorders = false;
  Control->HideScrollBars = true;
  Control->NavigateToAddress("http://b.example/");
  EXPECT_EQ(Control->InterfaceFlags(), 0x88u);
  EXPECT_EQ(Engine->LastCall("Navigate2")->Arg, "http://b.example/");

  Control->SetDownloadOptions({});
  EXPECT_EQ(Engine->DownloadFlags(), 0u);
}

TEST_F(BrowserControlTest, ContextMenuRule) {
  int Raised = 0;
  EXPECT_TRUE(Engine->FireContextMenu());
  Control->OnShowContextMenu = [&] { return ++Raised, true; };
  EXPECT_FALSE(Engine->FireContextMenu());
  Control->OnShowContextMenu = [&] { return ++Raised, false; };
  EXPECT_TRUE(Engine->FireContextMenu());
  EXPECT_EQ(Raised, 2);
  Control->DisableRightClickMenu = true;
  EXPECT_FALSE(Engine->FireContextMenu());
  EXPECT_EQ(Raised, 2);  // not asked at all
}

TEST_F(BrowserControlTest, EditingKeysNeverReachTheAcceleratorEvent) {
  std::vector<unsigned> Seen;
  Control->OnTranslateAccelerator = [&](unsigned Key, unsigned) { return Seen.push_back(Key), true; };
  for (unsigned Key : {GDK_KEY_BackSpace, GDK_KEY_Return, GDK_KEY_Left, GDK_KEY_Right})
    EXPECT_FALSE(Engine->FireKey(Key, 0));
  EXPECT_TRUE(Engine->FireKey(GDK_KEY_KP_Left, 0));
  EXPECT_TRUE(Engine->FireKey(GDK_KEY_n, GDK_CONTROL_MASK));
  EXPECT_EQ(Seen, (std::vector<unsigned>{GDK_KEY_KP_Left, GDK_KEY_n}));
}

TEST_F(BrowserControlTest, CloseRefreshAndMessageQuestions) {
  int Closing = 0;
  Control->OnWindowClosing = [&] { ++Closing; };
  Control->OnCloseQuery = [](bool& CanClose) { CanClose = false; };
  Engine->FireWindowClosing();
  EXPECT_EQ(Closing, 0);
  Control->OnCloseQuery = [](bool&) {};
  Engine->FireWindowClosing();
  EXPECT_EQ(Closing, 1);

  EXPECT_FALSE(Engine->FireReload());
  int32_t Command = 0;
  Control->OnRefresh = [&](int32_t Id, bool& Cancel) { Command = Id, Cancel = true; };
  EXPECT_TRUE(Engine->FireReload());
  EXPECT_EQ(Command, 2300);

  EXPECT_FALSE(Engine->FireScriptDialog({ScriptDialogKind::Alert, "hi"}));  // no dialogs: the engine's own
  Control->OnShowMessage = [](const ScriptDialog& D, ScriptDialogAnswer Answer) {
    if (D.Kind == ScriptDialogKind::Prompt) Answer(true, D.DefaultText + "!");
    return D.Message == "hi";
  };
  EXPECT_TRUE(Engine->FireScriptDialog({ScriptDialogKind::Prompt, "hi", "x"}));
  EXPECT_EQ(Engine->ScriptDialogAnswers, (std::vector<std::pair<bool, std::string>>{{true, "x!"}}));
}

TEST_F(BrowserControlTest, ScriptDialogsAreOurBoxesAnsweredLater) {
  test::ScriptedDialogs Dialogs;
  Dialogs.SetDeferred(true);
  Control->Dialogs = &Dialogs;
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Dialogs.QueueResult(platform::MessageResult::Cancel);
  Dialogs.QueueText("答");
  Dialogs.QueueText(std::nullopt);
  for (ScriptDialog D : {ScriptDialog{ScriptDialogKind::Alert, "a"}, ScriptDialog{ScriptDialogKind::Confirm, "c"},
                         ScriptDialog{ScriptDialogKind::Prompt, "p", "默认"}, ScriptDialog{ScriptDialogKind::Prompt, "q"}})
    EXPECT_TRUE(Engine->FireScriptDialog(D));
  EXPECT_TRUE(Engine->ScriptDialogAnswers.empty());  // nothing blocks until the user answers
  Dialogs.AnswerAll();
  EXPECT_EQ(Engine->ScriptDialogAnswers,
            (std::vector<std::pair<bool, std::string>>{{true, ""}, {false, ""}, {true, "答"}, {false, ""}}));
  const auto& Calls = Dialogs.Calls();
  ASSERT_EQ(Calls.size(), 4u);
  EXPECT_EQ(Calls[1].Buttons, platform::MessageButtons::OkCancel);
  EXPECT_EQ(Calls[2].Type, test::ScriptedDialogs::CallType::InputBox);
  EXPECT_EQ(Calls[2].Initial, "默认");
}

// A page whose boxes the user stopped must still be closable: the question about leaving
// is asked (a refusal would mean "stay" for ever) and its answer decides.
TEST_F(BrowserControlTest, TheQuestionAboutLeavingIsAskedAlsoAfterTheBoxesWereStopped) {
  test::ScriptedDialogs Dialogs;
  Control->Dialogs = &Dialogs;
  Dialogs.QueueChecked(true);  // the third box offers to stop them
  for (int I = 0; I < 4; ++I) Engine->FireScriptDialog({ScriptDialogKind::Alert, "a"});
  ASSERT_EQ(Dialogs.Calls().size(), 3u);  // the fourth was refused
  int Closing = 0;
  Control->OnWindowClosing = [&] { ++Closing; };
  Engine->AsksBeforeLeaving = true;
  Dialogs.QueueResult(platform::MessageResult::Cancel);
  Dialogs.QueueResult(platform::MessageResult::Ok);
  for (int I = 0; I < 2; ++I) Engine->TryClose();
  EXPECT_EQ(Engine->LeaveAnswers, (std::vector<bool>{false, true}));
  EXPECT_EQ(Closing, 1);
  ASSERT_EQ(Dialogs.Calls().size(), 5u);
  EXPECT_EQ(Dialogs.Calls()[4].Text, TBrowserControl::LeaveQuestion);
  EXPECT_EQ(Dialogs.Calls()[4].Kind, platform::MessageKind::Confirmation);
}

TEST_F(BrowserControlTest, ItemIdListOpensExistingFilesOnly) {
  auto List = [](const std::string& Path) {
    std::vector<uint8_t> L{uint8_t(Path.size() + 2), 0};
    for (char C : Path) L.push_back(static_cast<uint8_t>(C));
    L.insert(L.end(), {0, 0});
    return L;
  };
  Control->NavigateToItemIdList(List("/no/such/file.htm"));
  EXPECT_EQ(Engine->CallCount("Navigate2"), 0);
  Control->NavigateToItemIdList(List("/"));
  EXPECT_EQ(Engine->CallCount("Navigate2"), 0);
  Control->NavigateToItemIdList(List("/etc/passwd"));
  EXPECT_EQ(Engine->LastCall("Navigate2")->Arg, "/etc/passwd");
}

TEST_F(BrowserControlTest, LoadedGivesTheUserAgentToken) {
  Control->UserAgent = "Token/1";
  Control->Loaded();
  EXPECT_EQ(Engine->UserAgentToken, "Token/1");
}

}  // namespace
}  // namespace vorlane::browser
