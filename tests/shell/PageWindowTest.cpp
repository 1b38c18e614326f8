// A page window turns its engine's events into its tab and, while active, the main window.
#include "MainWindowFixture.h"

#include "framework/TabLayout.h"
#include "shell/U_UserConfig.h"

#include <gdk/gdkkeysyms.h>

namespace vorlane::test {
namespace {

using browser::CSC_NAVIGATEBACK;
using browser::CSC_NAVIGATEFORWARD;

TEST_F(MainWindowTest, TabShowsTheAddressFirstThenTheTitleAndAnEmptyTitleChangesNothing) {
  shell::TFrmWeb* B = Main().NewPage("http://b.example/", false);
  EXPECT_EQ(Main().PageControl.Caption(1), "http://b.example/");
  EngineOf(B).CompleteNavigation("http://b.example/", "第一个标题");
  EXPECT_EQ(Main().PageControl.Caption(1), "第一个标题");
  EXPECT_EQ(B->Caption(), "第一个标题");
  EngineOf(B).CompleteNavigation("http://b.example/2", "");
  EXPECT_EQ(Main().PageControl.Caption(1), "第一个标题");
  EXPECT_EQ(B->GetUrl(), "http://b.example/2");
  // A document that is not HTML goes by its file name and its own address.
  EngineOf(B).IsHtml = false;
  EngineOf(B).CompleteNavigation("http://b.example/plain.txt", "plain");
  EXPECT_EQ(B->GetTitle(), "plain.txt");
  EXPECT_EQ(B->GetUrl(), "http://b.example/plain.txt");
}

TEST_F(MainWindowTest, DocumentsThatAreNoHtmlGoByTheirFileNameInTabWindowAndClosedList) {
  shell::TFrmWeb* A = Tab(0);
  Open("http://b.example/", false, "B");
  EngineOf(A).CompleteNavigation("http://a.example/", "首页");
  EngineOf(A).IsHtml = false;
  EngineOf(A).CompleteNavigation("http://a.example/img/%E5%9B%BE.png", "图 (800×600)");
  EXPECT_EQ(Main().PageControl.Caption(0), "图.png");
  // From one such document to the next (a redirect, Back), the address follows as well.
  EngineOf(A).CompleteNavigation("http://a.example/doc/report.pdf", "");
  EXPECT_EQ(Main().PageControl.Caption(0), "report.pdf");
  EXPECT_EQ(Main().get_title(), "Vorlane - [report.pdf]");
  EXPECT_EQ(AddressText(), "http://a.example/doc/report.pdf");
  // The next load's target is no name for the document still shown.
  EngineOf(A).Url = "http://a.example/next.html";
  EngineOf(A).FireBeforeNavigate("http://a.example/next.html");
  EXPECT_EQ(Main().PageControl.Caption(0), "report.pdf");
  EngineOf(A).Url = "http://a.example/doc/report.pdf";
  CloseAndWait(A);
  ASSERT_FALSE(Main().UndoMenuItems().empty());
  EXPECT_EQ(Main().UndoMenuItems().front().Caption, "report.pdf");
  EXPECT_EQ(Main().UndoMenuItems().front().Hint, "http://a.example/doc/report.pdf");
}

TEST_F(MainWindowTest, TitleArrivingAfterTheLoadStillReachesTheTab) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "");
  EngineOf(A).FireTitle("迟到的标题");
  EXPECT_EQ(Main().PageControl.Caption(0), "迟到的标题");
}

TEST_F(MainWindowTest, OnlyTheActivePageReportsToTheMainWindow) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  EngineOf(A).FireStatusText("A 状态");
  EngineOf(A).FireProgress(2500, 10000);
  EngineOf(A).FireCommandState(CSC_NAVIGATEBACK, true);
  EngineOf(B).FireStatusText("B 状态");
  EngineOf(B).FireProgress(9000, 10000);
  EngineOf(B).FireCommandState(CSC_NAVIGATEBACK, false);
  EngineOf(B).CompleteNavigation("http://b.example/other", "B2");
  EXPECT_EQ(Main().StatusText().get_text(), "A 状态");
  EXPECT_EQ(Main().ProgressGauge().Position(), 2500);
  EXPECT_TRUE(Main().ActionList["Ac_Back"].Enabled());
  EXPECT_EQ(AddressText(), "http://a.example/");
  EXPECT_EQ(Main().PageControl.Caption(1), "B2");  // its own tab is kept current
}

TEST_F(MainWindowTest, ASelectedPageBringsItsOwnBackForwardProgressAndTitle) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/1", "A1");
  EngineOf(A).CompleteNavigation("http://a.example/2", "A2");
  EXPECT_EQ(Main().get_title(), "Vorlane - [A2]");
  EXPECT_TRUE(Main().ActionList["Ac_Back"].Enabled());
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  EngineOf(B).FireProgress(4000, 10000);
  EXPECT_EQ(Main().get_title(), "Vorlane - [A2]");  // a background page leaves it alone
  Main().PageControl.ClickTab(1);
  EXPECT_FALSE(Main().ActionList["Ac_Back"].Enabled());
  EXPECT_FALSE(Main().ActionList["Ac_Forward"].Enabled());
  EXPECT_EQ(Main().ProgressGauge().Position(), 4000);  // the page's own last progress
  EXPECT_EQ(Main().get_title(), "Vorlane - [B]");
  EngineOf(B).FireTitle("B 第二\n行_x");
  EXPECT_EQ(Main().get_title(), "Vorlane - [B 第二 行_x]");
  Run("Ac_CloseAll");
  EXPECT_TRUE(PumpUntil([&] { return Main().get_title() == "Vorlane"; }));
}

TEST_F(MainWindowTest, EveryLoadEndsWithAnEmptyGaugeAlsoWhenStopped) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompletePending("A");
  EXPECT_EQ(Main().ProgressGauge().Position(), 0);
  EXPECT_EQ(Main().ProgressGauge().Text(), "");
  EXPECT_EQ(Main().PageControl.Image(0), 4);
  A->Navigate("http://slow.example/", false);
  EngineOf(A).FireProgress(1000, 10000);
  EXPECT_EQ(Main().ProgressGauge().Text(), "10%");
  Run("Ac_Stop");
  EXPECT_EQ(Main().ProgressGauge().Text(), "");
  EXPECT_EQ(Main().PageControl.Image(0), 4);
}

TEST_F(MainWindowTest, TheAddressBoxKeepsWhatTheUserTypesUntilAnotherPageComesForward) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompletePending("A");
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  auto& Box = Main().cobAddress;
  Box.grab_focus();
  Box.set_text("http://typ");
  EngineOf(A).FireTitle("计数 1");  // a ticking title changes captions only
  EXPECT_EQ(AddressText(), "http://typ");
  EXPECT_EQ(Main().PageControl.Caption(0), "计数 1");
  EngineOf(A).CompleteNavigation("http://a.example/moved", "A2");  // stored, not shown
  EXPECT_EQ(AddressText(), "http://typ");
  EXPECT_EQ(Box.CurrentUrl(), "http://a.example/moved");
  // After Enter the box shows the address being loaded, also while it loads.
  Box.set_text("http://typed.example/");
  Box.Commit();
  EngineOf(A).FireTitle("计数 2");
  EngineOf(A).FireBeforeNavigate("http://typed.example/");
  EXPECT_EQ(AddressText(), "http://typed.example/");
  // Another page coming forward always replaces the text.
  Box.grab_focus();
  Box.set_text("half typed");
  Main().PageControl.ClickTab(1);
  EXPECT_EQ(AddressText(), "http://b.example/");
  (void)B;
}

TEST_F(MainWindowTest, AddressBarNeverGetsResourceOrDotlessAddressesAndLosesTheMarker) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  EngineOf(A).CompleteNavigation("res://ieframe.dll/dnserror.htm", "error");
  EXPECT_EQ(AddressText(), "http://a.example/");
  EngineOf(A).CompleteNavigation("about:blank", "blank");
  EXPECT_EQ(AddressText(), "http://a.example/");
  EngineOf(A).CompleteNavigation("http://m.example/#破之x#破之", "m");
  EXPECT_EQ(AddressText(), "http://m.example/x");
}

TEST_F(MainWindowTest, LoadStateImageFollowsProgressAndRepeatsAreNotResent) {
  shell::TFrmWeb* A = Tab(0);
  auto& E = EngineOf(A);
  E.FireProgress(4000, 10000);
  EXPECT_EQ(A->LoadState(), 2);
  EXPECT_EQ(Main().PageControl.Image(0), 2);
  Main().PageControl.SetImage(0, 77);  // anything the page sends next overwrites this
  E.FireProgress(4200, 10000);          // still state 2: nothing is sent
  EXPECT_EQ(Main().PageControl.Image(0), 77);
  E.FireProgress(-1, 10000);
  EXPECT_EQ(Main().PageControl.Image(0), 0);
  E.CompletePending();
  E.CompleteNavigation("http://a.example/", "A");
  EXPECT_EQ(Main().PageControl.Image(0), 4);
}

TEST_F(MainWindowTest, APageWhoseEngineReportsNoToolBarClosesAtItsNextNavigation) {
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  EngineOf(B).ToolBarValue = 0;
  EXPECT_EQ(PageCount(), 2);
  EngineOf(B).FireBeforeNavigate("http://b.example/next");
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 1; }));
  EXPECT_EQ(Tabs(), 1);
}

TEST_F(MainWindowTest, CtrlNInAPageRunsTheMainWindowsCommandAndOtherKeysReachTheEngine) {
  shell::TFrmWeb* A = Tab(0);
  EXPECT_FALSE(EngineOf(A).FireKey(GDK_KEY_m, GDK_CONTROL_MASK));
  EXPECT_FALSE(EngineOf(A).FireKey(GDK_KEY_n, 0));
  EXPECT_EQ(PageCount(), 1);
  EXPECT_TRUE(EngineOf(A).FireKey(GDK_KEY_n, GDK_CONTROL_MASK));
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 2; }));
  shell::TFrmWeb* New = Active();
  EXPECT_NE(New, A);
  EXPECT_EQ(EngineOf(New).LastCall("Navigate2")->Arg, StartPage);
}

TEST_F(MainWindowTest, NewWindowRequestOpensABackgroundTabOnTheRequestedAddress) {
  shell::TFrmWeb* A = Tab(0);
  Open("http://b.example/", false, "B");
  auto* Handed = EngineOf(A).FireNewWindow("http://popup.example/");
  ASSERT_NE(Handed, nullptr);
  ASSERT_EQ(Tabs(), 3);
  shell::TFrmWeb* Popup = Tab(1);
  EXPECT_EQ(Popup->WebBrowser->Application(), Handed);
  EXPECT_FALSE(Shown(Popup));
  EXPECT_EQ(Active(), A);
  EXPECT_EQ(EngineOf(Popup).PendingUrl, "http://popup.example/");
  EngineOf(Popup).CompletePending("弹出");
  EXPECT_EQ(Main().PageControl.Caption(1), "弹出");
}

TEST_F(MainWindowTest, DroppedLinkOpensABackgroundTabAndAnEmptyDropDoesNothing) {
  shell::TFrmWeb* A = Tab(0);
  EXPECT_FALSE(EngineOf(A).FireDrop(""));
  EXPECT_EQ(Tabs(), 1);
  EXPECT_TRUE(EngineOf(A).FireDrop("http://dropped.example/"));
  ASSERT_EQ(Tabs(), 2);
  EXPECT_EQ(EngineOf(Tab(1)).PendingUrl, "http://dropped.example/");
  EXPECT_EQ(Active(), A);
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Flags, browser::navOpenInNewWindow);
}

TEST_F(MainWindowTest, ScriptClosingItsWindowClosesThePage) {
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  EngineOf(B).Events->WindowClosing();
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 1; }));
}

}  // namespace
}  // namespace vorlane::test

namespace vorlane::test {
namespace {

TEST_F(MainWindowTest, PagesTakeTheDownloadSwitchesCurrentAtTheirCreation) {
  EXPECT_EQ(EngineOf(Tab(0)).DownloadFlags(), 0x70u);
  auto& Config = shell::UserConfig();
  Config.SetAllowScript(false);
  Config.SetAllowJava(false);
  shell::TFrmWeb* Later = Main().NewPage("http://later.example/", false);
  Config = shell::TUserConfig();
  EXPECT_EQ(EngineOf(Later).DownloadFlags(), 0x70u | 0x80u | 0x100u);
  // Every step hands the whole set to the engine, before the first navigation.
  auto& Calls = EngineOf(Later).Calls;
  auto FirstNavigate = std::find_if(Calls.begin(), Calls.end(), [](auto& C) { return C.Name == "Navigate2"; });
  EXPECT_GE(std::count_if(Calls.begin(), FirstNavigate, [](auto& C) { return C.Name == "SetDownloadFlags"; }), 6);
  EXPECT_EQ(EngineOf(Tab(0)).DownloadFlags(), 0x70u);  // pages made before keep theirs
}

TEST_F(MainWindowTest, PagesAskThroughTheMainWindowsDialogsAndCarryTheirPrintSettings) {
  auto& Control = *Tab(0)->WebBrowser;
  auto* Dialogs = dynamic_cast<framework::GtkDialogs*>(Control.Dialogs);
  ASSERT_NE(Dialogs, nullptr);
  EXPECT_EQ(Dialogs, Main().Dialogs());
  Control.ShowError("无法保存 <文件>");
  ASSERT_EQ(Dialogs->OpenDialogs().size(), 1u);
  EXPECT_EQ(Dialogs->OpenDialogs()[0]->get_transient_for(), &Main());
  Dialogs->OpenDialogs()[0]->close();
  EXPECT_TRUE(Dialogs->OpenDialogs().empty());

  EXPECT_TRUE(Control.ReplaceCaption);
  EXPECT_EQ(Control.PrintOptions.Margins.Left, 19.05);
  EXPECT_EQ(Control.PrintOptions.Header, "&w&b页码，&p/&P");
  EXPECT_EQ(Control.PrintOptions.Footer, "&u&b&d");
  EXPECT_EQ(EngineOf(Tab(0)).InterfaceFlags, Control.InterfaceFlags());
}

}  // namespace
}  // namespace vorlane::test

#include "support/RealInput.h"

namespace vorlane::test {
namespace {

Gtk::Widget* FindNamed(Gtk::Widget& Root, const std::string& Name) {
  for (Gtk::Widget* W = Root.get_first_child(); W; W = W->get_next_sibling()) {
    if (std::string(W->get_name()) == Name) return W;
    if (auto* Inner = FindNamed(*W, Name)) return Inner;
  }
  return nullptr;
}

Gtk::Label* FirstLabel(Gtk::Widget& Root) {
  for (Gtk::Widget* W = Root.get_first_child(); W; W = W->get_next_sibling()) {
    if (auto* Label = dynamic_cast<Gtk::Label*>(W); Label && Label->get_visible()) return Label;
    if (auto* Inner = FirstLabel(*W)) return Inner;
  }
  return nullptr;
}

// The label of the tool tip shown in Window.
Gtk::Label* TooltipLabel(Gtk::Window& Window) {
  for (Gtk::Widget* W = Window.get_first_child(); W; W = W->get_next_sibling())
    if (GTK_IS_NATIVE(W->gobj()) && W->get_visible()) return FirstLabel(*W);
  return nullptr;
}

TEST_F(MainWindowTest, ToolButtonTipsStayOnOneLine) {
  Gtk::Widget* Button = FindNamed(Main(), "ToolButton3");
  ASSERT_NE(Button, nullptr);
  ASSERT_TRUE(MovePointerTo(*Button));
  Gtk::Label* Label = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (Label = TooltipLabel(Main())) && Label->get_height() > 0; }));
  EXPECT_EQ(std::string(Label->get_text()), "撤销");
  int W = 0, H = 0;
  Label->get_layout()->get_pixel_size(W, H);
  EXPECT_EQ(Label->get_layout()->get_line_count(), 1) << W << "x" << H;
}

TEST_F(MainWindowTest, TabTipsStayOnOneLine) {
  Open("http://b.example/", false, "一个相当长的中文网页标题");
  auto& Strip = Main().PageControl;
  auto R = framework::TabLayout::RectOf(1, Strip.get_width());
  ASSERT_TRUE(MovePointerTo(Strip, R.X + R.Width / 2 - Strip.get_width() / 2, R.Y + R.Height / 2 - Strip.get_height() / 2));
  Gtk::Label* Label = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (Label = TooltipLabel(Main())) && Label->get_height() > 0; }));
  EXPECT_EQ(std::string(Label->get_text()), "一个相当长的中文网页标题");
  EXPECT_EQ(Label->get_layout()->get_line_count(), 1);
}

}  // namespace
}  // namespace vorlane::test
