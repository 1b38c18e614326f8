// What pages ask of the user, as bars above the page, and the open pages as a whole:
// quitting with many open and reopening saved ones.
#include "MainWindowFixture.h"
#include "support/ScriptedDialogs.h"

namespace vorlane::test {
namespace {

using browser::PagePermission;

std::vector<std::string> BarTexts(shell::TFrmWeb* Page) {
  std::vector<std::string> Texts;
  for (auto* Bar : Page->NoticeBars()) Texts.push_back(Bar->Text());
  return Texts;
}

TEST_F(MainWindowTest, PopupsWithoutAClickAreHeldBackInOneBarThatCounts) {
  shell::TFrmWeb* Page = Open("https://popups.test/", true, "p");
  const int Before = Tabs();
  EXPECT_EQ(EngineOf(Page).FireScriptWindow("https://popups.test/1", false), nullptr);
  EXPECT_EQ(EngineOf(Page).FireScriptWindow("https://popups.test/2", false), nullptr);
  EXPECT_EQ(Tabs(), Before);
  EXPECT_EQ(BarTexts(Page), std::vector<std::string>{"已阻止此网站打开的弹出窗口（2 个）"});
  // A window opened in answer to a click opens as a tab, as always.
  EXPECT_NE(EngineOf(Page).FireScriptWindow("https://popups.test/click", true), nullptr);
  EXPECT_EQ(Tabs(), Before + 1);

  // "显示" opens what was held back.
  ASSERT_TRUE(Page->NoticeBars()[0]->Press("显示"));
  EXPECT_EQ(Tabs(), Before + 3);
  PumpPending();
  EXPECT_TRUE(BarTexts(Page).empty());

  // "总是允许此网站" lets the site's next popup through without a bar.
  EngineOf(Page).FireScriptWindow("https://popups.test/3", false);
  ASSERT_TRUE(Page->NoticeBars()[0]->Press("总是允许此网站"));
  EXPECT_NE(EngineOf(Page).FireScriptWindow("https://popups.test/4", false), nullptr);
  PumpPending();
  EXPECT_TRUE(BarTexts(Page).empty());
  EXPECT_EQ(Tabs(), Before + 4);
}

TEST_F(MainWindowTest, APermissionIsAskedOnceAndTheAnswerRemembered) {
  shell::TFrmWeb* Page = Open("https://where.test/map", true, "map");
  TFakeEngine& Engine = EngineOf(Page);
  size_t First = Engine.FirePermissionRequest(PagePermission::Geolocation);
  EXPECT_EQ(BarTexts(Page), std::vector<std::string>{"where.test 想要使用您的位置信息"});
  EXPECT_FALSE(Engine.PermissionAnswers[First]);  // waits for the user
  ASSERT_TRUE(Page->NoticeBars()[0]->Press("允许"));
  EXPECT_EQ(Engine.PermissionAnswers[First], true);
  size_t Again = Engine.FirePermissionRequest(PagePermission::Geolocation);
  EXPECT_EQ(Engine.PermissionAnswers[Again], true);
  EXPECT_TRUE(BarTexts(Page).empty());

  // Closed without an answer: refused, and asked again next time.
  size_t Dismissed = Engine.FirePermissionRequest(PagePermission::Notifications);
  Page->NoticeBars()[0]->Dismiss();
  EXPECT_EQ(Engine.PermissionAnswers[Dismissed], false);
  Engine.FirePermissionRequest(PagePermission::Notifications);
  EXPECT_EQ(Page->NoticeBars().size(), 1u);
}

TEST_F(MainWindowTest, LeavingThePageRefusesWhatItAskedAndTakesTheBarsAway) {
  shell::TFrmWeb* Page = Open("https://leave.test/", true, "l");
  size_t Asked = EngineOf(Page).FirePermissionRequest(PagePermission::CameraAndMicrophone);
  EngineOf(Page).FireScriptWindow("https://leave.test/pop", false);
  EXPECT_EQ(Page->NoticeBars().size(), 2u);
  EngineOf(Page).CompleteNavigation("https://elsewhere.test/", "e");
  EXPECT_EQ(EngineOf(Page).PermissionAnswers[Asked], false);
  EXPECT_TRUE(Page->NoticeBars().empty());
}

TEST_F(MainWindowTest, QuittingWithSeveralPagesAsksOnceUnlessToldNotTo) {
  ScriptedDialogs Dialogs;
  Main().SetDialogs(&Dialogs);
  ASSERT_TRUE(Main().Options().SetRestoreLastPages(false));
  ASSERT_TRUE(Main().Options().SetConfirmCloseAll(true));
  bool Quit = false;
  Main().OnQuit = [&] { Quit = true; };
  Open("https://q.test/1", false);
  Open("https://q.test/2", false);
  const std::string Question = "要关闭全部 " + std::to_string(Tabs()) + " 个网页吗？";
  Run("Ac_Quit");  // answered 取消
  EXPECT_FALSE(Quit);
  EXPECT_EQ(Dialogs.MessageTexts(), std::vector<std::string>{Question});
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Dialogs.QueueChecked(true);  // 不再询问
  Main().close();  // the window's close button asks the same
  EXPECT_TRUE(PumpUntil([&] { return Quit; }));  // once every page agreed
  Quit = false;
  Dialogs.Clear();
  Run("Ac_Quit");
  EXPECT_TRUE(PumpUntil([&] { return Quit; }));  // once every page agreed
  EXPECT_TRUE(Dialogs.MessageTexts().empty());
  // Pages that come back at the next start are not lost: no question either.
  EXPECT_TRUE(Main().Options().SetConfirmCloseAll(true));
  EXPECT_TRUE(Main().Options().SetRestoreLastPages(true));
  Quit = false;
  Run("Ac_Quit");
  EXPECT_TRUE(PumpUntil([&] { return Quit; }));  // once every page agreed
  EXPECT_TRUE(Dialogs.MessageTexts().empty());
  EXPECT_TRUE(Main().Options().SetRestoreLastPages(false));
  Main().SetDialogs(nullptr);
}

TEST_F(MainWindowTest, SavedPagesComeBackInTheirOrderWithTheSelectedOneInFront) {
  Open("https://s.test/a", false, "A");
  shell::TFrmWeb* B = Open("https://s.test/b", false, "B");
  B->ShowInFrame();
  platform::TSavedSession Saved = Main().SessionSnapshot();
  ASSERT_EQ(Saved.Pages.size(), 3u);
  for (int I = 0; I < 3; ++I) EXPECT_EQ(Saved.Pages[I].Url, Tab(I)->GetUrl());  // tab order
  EXPECT_EQ(Saved.Pages[0].Url, StartPage);
  EXPECT_EQ(Saved.Pages[Saved.Selected].Title, "B");

  Saved.Pages[1].History = Saved.Pages[2].History = {1, 2, 3};

  const int Before = Tabs();
  Main().RestorePages(Saved);  // the start page is not opened twice
  ASSERT_EQ(Tabs(), Before + 2);
  shell::TFrmWeb* Front = Tab(Before + int(Saved.Selected) - 1);
  shell::TFrmWeb* Behind = Tab(Before + (Saved.Selected == 1 ? 1 : 0));
  EXPECT_EQ(Active(), Front);
  EXPECT_EQ(Front->GetTitle(), "B");
  EXPECT_EQ(EngineOf(Front).CallCount("RestoreSessionState"), 1);
  // The other loads when first shown, and is saved with its history meanwhile.
  EXPECT_EQ(EngineOf(Behind).CallCount("Navigate2") + EngineOf(Behind).CallCount("RestoreSessionState"), 0);
  EXPECT_EQ(Behind->GetTitle(), "A");
  EXPECT_EQ(Main().SessionSnapshot().Pages[Before].History, (std::vector<uint8_t>{1, 2, 3}));
  Behind->ShowInFrame();
  EXPECT_EQ(EngineOf(Behind).CallCount("RestoreSessionState"), 1);
}

}  // namespace
}  // namespace vorlane::test
