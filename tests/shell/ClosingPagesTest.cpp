// Closing pages the user's way: each page is asked first, once, and one that stays stays.
#include "MainWindowFixture.h"
#include "framework/TabLayout.h"
#include "support/ScriptedDialogs.h"

#include <algorithm>

namespace vorlane::test {
namespace {

using shell::TFrmWeb;

bool Alive(shell::TFrmMain& Main, TFrmWeb* Page) {
  auto& P = Main.Pages();
  return std::any_of(P.begin(), P.end(), [&](auto& Each) { return Each.get() == Page; });
}

TEST_F(MainWindowTest, EveryWayOfClosingAsksThePageOnceAndClosesWhenItAgrees) {
  auto Centre = [&](TFrmWeb* Page) {
    auto R = framework::TabLayout::RectOf(Main().PageControl.IndexOfTag(Page), Main().PageControl.get_width());
    return std::pair{R.X + R.Width / 2.0, R.Y + R.Height / 2.0};
  };
  struct Way {
    const char* Name;
    std::function<void(TFrmWeb*)> Close;
  } Ways[] = {
      {"关闭", [&](TFrmWeb*) { Run("Ac_Close"); }},
      {"double click", [&](TFrmWeb* P) { Main().PageControl.ClickTab(Main().PageControl.IndexOfTag(P), 2); }},
      {"middle click", [&](TFrmWeb* P) { Main().PageControlMouseDown(2, 1, Centre(P).first, Centre(P).second); }},
      {"tab menu", [&](TFrmWeb* P) {
         Main().PageControlMouseDown(3, 1, Centre(P).first, Centre(P).second);  // the menu, for this page
         Main().activate_action("main.tab-close");
       }},
      {"关闭所有", [&](TFrmWeb*) { Run("Ac_CloseAll"); }},
  };
  ScriptedDialogs Dialogs;
  Dialogs.SetDeferred(true);
  Main().SetDialogs(&Dialogs);
  for (const Way& W : Ways) {
    SCOPED_TRACE(W.Name);
    TFrmWeb* Page = Open("http://form.example/", true, "Form");
    TFakeEngine& Engine = EngineOf(Page);
    Engine.AsksBeforeLeaving = true;
    Dialogs.QueueResult(platform::MessageResult::Ok);
    W.Close(Page);
    PumpPending();
    EXPECT_EQ(Engine.CallCount("TryClose"), 1);
    ASSERT_TRUE(Alive(Main(), Page));  // the user has not answered
    Dialogs.AnswerNext();
    EXPECT_TRUE(PumpUntil([&] { return !Alive(Main(), Page); }));
  }
  Main().SetDialogs(nullptr);
}

TEST_F(MainWindowTest, QuitWaitsForEveryPageAndAPageThatStaysKeepsTheProgramRunning) {
  ASSERT_TRUE(Main().Options().SetConfirmCloseAll(false));
  bool Quit = false;
  Main().OnQuit = [&] { Quit = true; };
  TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  ScriptedDialogs Dialogs;
  Dialogs.SetDeferred(true);
  Main().SetDialogs(&Dialogs);
  TFrmWeb* Form = Open("http://form.example/", false, "Form");
  EngineOf(Form).AsksBeforeLeaving = true;
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Run("Ac_Quit");
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("TryClose") == 1; }));
  PumpPending();
  EXPECT_FALSE(Quit);  // the form's page is still asking, and the user stays
  EXPECT_EQ(PageCount(), 2);  // nothing closes before all agreed
  Run("Ac_Close");  // a later close of another page is only that
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 1; }));
  EXPECT_FALSE(Quit);
  Run("Ac_Quit");
  EXPECT_EQ(EngineOf(Form).CallCount("TryClose"), 2);
  EXPECT_EQ(Dialogs.Calls().size(), 1u);  // still the first question
  Dialogs.AnswerNext();
  EXPECT_TRUE(Quit);
  EXPECT_EQ(PageCount(), 1);  // kept for the session saved at quit
  EXPECT_TRUE(Main().Options().SetConfirmCloseAll(true));
  Main().SetDialogs(nullptr);
}

TEST_F(MainWindowTest, APageKeptAtTheQuestionEndsTheQuitEvenIfItClosesItselfLater) {
  ASSERT_TRUE(Main().Options().SetConfirmCloseAll(false));
  bool Quit = false;
  Main().OnQuit = [&] { Quit = true; };
  ScriptedDialogs Dialogs;
  Main().SetDialogs(&Dialogs);
  TFrmWeb* Form = Open("http://form.example/", true, "Form");
  EngineOf(Form).AsksBeforeLeaving = true;
  Dialogs.QueueResult(platform::MessageResult::Cancel);  // 留下
  Run("Ac_Quit");
  ASSERT_TRUE(PumpUntil([&] { return Dialogs.Calls().size() == 1; }));
  PumpPending();
  EngineOf(Form).FireWindowClosing();  // window.close() from the page, long after
  PumpPending();
  EXPECT_FALSE(Quit);
  EXPECT_TRUE(Main().Options().SetConfirmCloseAll(true));
  Main().SetDialogs(nullptr);
}

}  // namespace
}  // namespace vorlane::test
