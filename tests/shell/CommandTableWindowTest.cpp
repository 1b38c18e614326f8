// The command table on a main window: the clipboard rule, the download switches, the
// about box, commands without a page and the tab's mouse buttons.
#include "MainWindowFixture.h"

#include "framework/TabLayout.h"
#include "platform/ConnectionState.h"
#include "support/RealInput.h"
#include "support/ScriptedDialogs.h"
#include "shell/U_CommandTable.h"
#include "shell/U_UserConfig.h"

namespace vorlane::test {
namespace {

using browser::dlctl::DLIMAGES;
using browser::dlctl::NO_JAVA;

TEST_F(MainWindowTest, ClipboardActsOnTheAddressBoxWhenItHasTheFocusElseOnThePage) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompletePending("A");  // the page commands want a document
  Main().cobAddress.set_text("http://copied.example/rest");
  Main().cobAddress.grab_focus();
  Main().cobAddress.select_region(0, 21);
  Run("Ac_Copy");
  EXPECT_EQ(ReadClipboard(Main()), "http://copied.example");
  Run("Ac_SelectAll");  // always the page's
  ASSERT_EQ(EngineOf(A).CallCount("Edit"), 1);
  EXPECT_EQ(EngineOf(A).LastCall("Edit")->Arg, std::to_string(int(browser::EditingCommand::SelectAll)));

  Main().unset_focus();
  for (auto [Name, Command] : {std::pair{"Ac_Cut", browser::EditingCommand::Cut},
                               {"Ac_Copy", browser::EditingCommand::Copy},
                               {"Ac_Paste", browser::EditingCommand::Paste}}) {
    Run(Name);
    ASSERT_NE(EngineOf(A).LastCall("Edit"), nullptr);
    EXPECT_EQ(EngineOf(A).LastCall("Edit")->Arg, std::to_string(int(Command))) << Name;
  }
  EXPECT_EQ(Main().cobAddress.Text(), "http://copied.example/rest");
}

TEST_F(MainWindowTest, DownloadSwitchesReachShownAndBackgroundPages) {
  struct Restore {
    ~Restore() { shell::UserConfig() = shell::TUserConfig(); }
  } RestoreSwitches;
  shell::TFrmWeb* Shown = Tab(0);
  shell::TFrmWeb* Popup = Open("http://popup.example/", false);
  ASSERT_FALSE(this->Shown(Popup));
  uint32_t ShownFlags = EngineOf(Shown).DownloadFlags(), PopupFlags = EngineOf(Popup).DownloadFlags();
  ASSERT_TRUE(ShownFlags & DLIMAGES);

  Run("Ac_AllowImage");
  EXPECT_FALSE(Main().ActionList["Ac_AllowImage"].Checked());
  EXPECT_FALSE(shell::UserConfig().AllowImage);
  EXPECT_EQ(EngineOf(Shown).DownloadFlags(), ShownFlags & ~DLIMAGES);
  EXPECT_EQ(EngineOf(Popup).DownloadFlags(), PopupFlags & ~DLIMAGES);

  Run("Ac_AllowJava");
  EXPECT_EQ(EngineOf(Shown).DownloadFlags(), (ShownFlags & ~DLIMAGES) | NO_JAVA);
  EXPECT_EQ(EngineOf(Popup).DownloadFlags(), (PopupFlags & ~DLIMAGES) | NO_JAVA);
  // A page opened now starts with the switches as they are.
  EXPECT_EQ(EngineOf(Open("http://later.example/", true)).DownloadFlags(), (ShownFlags & ~DLIMAGES) | NO_JAVA);

  Run("Ac_AllowImage");
  Run("Ac_AllowJava");
  EXPECT_EQ(EngineOf(Shown).DownloadFlags(), ShownFlags);
  EXPECT_TRUE(shell::UserConfig().AllowJava);
}

TEST_F(MainWindowTest, PageCommandsDoNothingWithoutAPage) {
  CloseAndWait(Tab(0));
  for (const auto& Row : shell::CommandTable()) {
    // These make pages, end the program or open a window of their own.
    if (Row.Name == "Ac_Blank" || Row.Name == "Ac_Go" || Row.Name == "Ac_Quit" || Row.Name == "Ac_About" ||
        Row.Name == "Ac_UnDo")
      continue;
    EXPECT_NO_THROW(Run(Row.Name)) << Row.Name;
  }
  PumpPending();
  EXPECT_EQ(PageCount(), 0);
  EXPECT_FALSE(Main().ActionList["Ac_AllowImage"].Checked());  // the switches still switch
  shell::UserConfig() = shell::TUserConfig();
}

TEST_F(MainWindowTest, SidebarSwitchesShareOneMarkAndMayAllBeUp) {
  auto& Fav = Main().ActionList["Ac_Favorites"];
  auto& Hist = Main().ActionList["Ac_History"];
  Run("Ac_Favorites");
  Run("Ac_History");
  EXPECT_FALSE(Fav.Checked());
  EXPECT_TRUE(Hist.Checked());
  Run("Ac_History");
  EXPECT_FALSE(Hist.Checked());
  EXPECT_FALSE(Fav.Checked());
}

TEST_F(MainWindowTest, AboutBoxIsOneModalFixedDialogOverTheMainWindow) {
  Run("Ac_About");
  shell::TAboutBox* Box = Main().AboutBox();
  ASSERT_NE(Box, nullptr);
  Run("Ac_About");
  EXPECT_EQ(Main().AboutBox(), Box);
  int Boxes = 0;
  for (auto* W : Gtk::Window::list_toplevels()) Boxes += dynamic_cast<shell::TAboutBox*>(W) && W->get_visible();
  EXPECT_EQ(Boxes, 1);
  EXPECT_TRUE(Box->get_modal());
  EXPECT_EQ(Box->get_transient_for(), &Main());
  EXPECT_FALSE(Box->get_resizable());
  EXPECT_EQ(Box->get_title(), "About");
  EXPECT_EQ(Box->ProductName.get_text(), "Vorlane浏览器 VorlaneBrowser");
  EXPECT_EQ(Box->Version.get_text(), "V2.5");
  EXPECT_EQ(Box->Label1.get_text(), "");
  EXPECT_EQ(Box->Label2.get_text(), "VorlaneBrowser");
  EXPECT_EQ(Box->OKButton.get_label(), "OK");
  ASSERT_TRUE(PumpUntil([&] { return Box->get_child()->get_width() > 0 && Box->Version.get_width() > 0; }));
  EXPECT_EQ(Box->get_child()->get_width(), shell::TAboutBox::ClientWidth);
  EXPECT_EQ(Box->get_child()->get_height(), shell::TAboutBox::ClientHeight);

  // With the real font no two texts cover each other, and all stay on the panel.
  auto Labels = Box->Labels();
  std::vector<graphene_rect_t> Shown;
  for (auto* L : Labels) {
    if (L->get_text().empty()) continue;
    graphene_rect_t R;
    ASSERT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(L->gobj()), GTK_WIDGET(Box->Panel1.gobj()), &R));
    EXPECT_LE(R.origin.x + R.size.width, Box->Panel1.get_width()) << L->get_name();
    EXPECT_LE(R.origin.y + R.size.height, Box->Panel1.get_height()) << L->get_name();
    for (auto& Other : Shown) EXPECT_FALSE(graphene_rect_intersection(&R, &Other, nullptr)) << L->get_name();
    Shown.push_back(R);
  }
  EXPECT_EQ(Box->ProductName.get_allocation().get_x() + 2, 88);  // the first keeps its place

  // Enter is the OK button's.
  Box->activate_default();
  ASSERT_TRUE(PumpUntil([&] { return Main().AboutBox() == nullptr; }));
  Run("Ac_About");
  ASSERT_NE(Main().AboutBox(), nullptr);
  Main().AboutBox()->OKButton.activate();
  ASSERT_TRUE(PumpUntil([&] { return Main().AboutBox() == nullptr; }));
}

TEST_F(MainWindowTest, MiddleClickClosesATabAndRightClickOffersItsMenu) {
  Open("http://b.example/", false, "B");
  ASSERT_EQ(Tabs(), 2);
  auto Centre = [&](int Index) {
    auto R = framework::TabLayout::RectOf(Index, Main().PageControl.get_width());
    return std::pair{R.X + R.Width / 2.0, R.Y + R.Height / 2.0};
  };
  auto [X, Y] = Centre(1);
  Main().PageControlMouseDown(3, 1, X, Y);
  ASSERT_EQ(Main().pmnTab->get_n_items(), 2);  // nothing to reopen yet
  Main().activate_action("main.tab-close");
  ASSERT_TRUE(PumpUntil([&] { return Tabs() == 1; }));
  Main().PageControlMouseDown(3, 1, Centre(0).first, Centre(0).second);
  EXPECT_EQ(Main().pmnTab->get_n_items(), 3);  // "撤销" now
  Main().PageControlMouseDown(2, 1, Centre(0).first, Centre(0).second);
  ASSERT_TRUE(PumpUntil([&] { return Tabs() == 0; }));
}

TEST_F(MainWindowTest, OfflineMarkEndsShowingTheRealState) {
  ScriptedDialogs Dialogs;
  Main().SetDialogs(&Dialogs);
  shell::TFrmWeb* A = Open("http://a.example/", true, "A");
  auto& Mark = Main().ActionList["Ac_OffLine"];
  Run("Ac_OffLine");  // declined
  EXPECT_FALSE(Mark.Checked());
  EXPECT_EQ(Dialogs.Calls().back().Text, "You are choosing to work Offline!");
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Run("Ac_OffLine");
  EXPECT_TRUE(Mark.Checked());
  EXPECT_FALSE(platform::ConnectionState::Connected());
  CloseAndWait(A);
  CloseAndWait(Tab(0));
  Run("Ac_OffLine");  // no page to ask through: the mark stays true to the state
  EXPECT_TRUE(Mark.Checked());
  platform::ConnectionState::SetConnected(true);
  EXPECT_FALSE(Mark.Checked());
}

TEST_F(MainWindowTest, OfflineMarkShowsTheRealStateWhenThePageClosesDuringTheQuestion) {
  ScriptedDialogs Dialogs;
  Dialogs.SetDeferred(true);
  Main().SetDialogs(&Dialogs);
  shell::TFrmWeb* A = Open("http://a.example/", true, "A");
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Run("Ac_OffLine");
  CloseAndWait(A);
  Dialogs.AnswerAll();
  EXPECT_EQ(Main().ActionList["Ac_OffLine"].Checked(), !platform::ConnectionState::Connected());
}

TEST_F(MainWindowTest, FindOpensBesideThePageAndEscClosesIt) {
  shell::TFrmWeb* A = Open("http://a.example/", true, "A");
  EngineOf(A).HasDoc = true;
  Run("Ac_Search");
  Gtk::Widget* Bar = nullptr;
  for (Gtk::Widget* C = A->get_first_child(); C; C = C->get_next_sibling())
    if (C->get_name() == "find-bar") Bar = C;
  ASSERT_NE(Bar, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Bar->get_height() > 0; }));
  graphene_rect_t Page, Find;
  ASSERT_TRUE(gtk_widget_compute_bounds(A->WebBrowser->Widget().gobj(), GTK_WIDGET(A->gobj()), &Page));
  ASSERT_TRUE(gtk_widget_compute_bounds(Bar->gobj(), GTK_WIDGET(A->gobj()), &Find));
  EXPECT_GE(Find.origin.y, Page.origin.y + Page.size.height);  // never over the page
  ASSERT_TRUE(test::FocusWindow(Main()));
  ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_focus_child(Bar->gobj()) != nullptr; }));
  test::PressKey(GDK_KEY_Escape);
  EXPECT_TRUE(PumpUntil([&] { return !Bar->get_visible(); }));
  EXPECT_EQ(EngineOf(A).CallCount("FindFinish"), 1);
}

TEST_F(MainWindowTest, HighlightAsksThenMarksThePageUnlessItClosedMeanwhile) {
  ScriptedDialogs Dialogs;
  Dialogs.SetDeferred(true);
  Main().SetDialogs(&Dialogs);
  shell::TFrmWeb* A = Open("http://a.example/", true, "A");
  Dialogs.QueueText("word");
  Run("Ac_HighLight");
  ASSERT_EQ(Dialogs.Pending(), 1u);
  EXPECT_EQ(Dialogs.Calls().back().Caption, "高亮显示");
  EXPECT_EQ(Dialogs.Calls().back().Text, "请输入搜索的字符：");
  EXPECT_EQ(Dialogs.Calls().back().Initial, "");
  Dialogs.AnswerNext();
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).LastCall("CallScript") != nullptr; }));
  EXPECT_EQ(EngineOf(A).LastCall("CallScript")->Arg, "word");

  Dialogs.QueueText("late");
  Run("Ac_HighLight");
  CloseAndWait(A);
  Dialogs.AnswerNext();  // nothing left to mark, nothing breaks
  for (auto* Engine : Engines.Engines()) EXPECT_EQ(Engine->CallCount("CallScript"), 0);
}

TEST_F(MainWindowTest, ACommandThatFailsShowsAnErrorUnderTheProgramsName) {
  ScriptedDialogs Dialogs;
  Main().SetDialogs(&Dialogs);
  EngineOf(Tab(0)).SetHomePage("");  // the scripted engine then refuses to go home
  Run("Ac_HomePage");
  ASSERT_EQ(Dialogs.Calls().size(), 1u);
  EXPECT_EQ(Dialogs.Calls()[0].Kind, platform::MessageKind::Error);
  EXPECT_EQ(Dialogs.Calls()[0].Caption, "Vorlane");
  EXPECT_EQ(Dialogs.Calls()[0].Text, "no home page");
}

}  // namespace
}  // namespace vorlane::test
