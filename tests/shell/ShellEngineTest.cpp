// The main window on the real engine: pages served from 127.0.0.1 and the built-in site.
#include "FindWebView.h"
#include "engine/WebKitEngine.h"
#include "platform/HistoryStore.h"
#include "platform/ShellFolders.h"
#include "navigation/SideBarDock.h"
#include "navigation/U_SideBar.h"
#include "shell/U_FrmMain.h"
#include "shell/U_FrmMain_Favorites.h"
#include "support/LoopbackServer.h"
#include "engine/ProductSiteScheme.h"
#include "support/MainLoop.h"
#include "support/RealInput.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

using shell::TFrmWeb;

class ShellEngineTest : public testing::Test {
protected:
  void SetUp() override {
    Server.Serve("/a1.html", "<title>A1</title><p>a1");
    Server.Serve("/a2.html", "<title>A2</title><p>a2");
    Server.Serve("/b.html", "<title>B</title><p>b");
    Server.Serve("/opener.html",
                 "<title>Opener</title><a id=blank target=_blank href=\"/b.html\">b</a>");
    Main = std::make_unique<shell::TFrmMain>(engine::WebKitEngineFactory(),
                                             shell::TProductSite("vorlane://home.vorlane"));
    Main->set_default_size(1200, 800);
    Main->present();
    ASSERT_TRUE(PumpUntil([&] { return Main->ActivePage() && Main->ActivePage()->LoadState() == 4 &&
                                       Caption(0) != Main->Site().StartPage(); }))
        << "start page did not load";
  }
  void TearDown() override {
    Main->set_visible(false);
    Main.reset();
    PumpPending();
  }

  std::string Caption(int Index) { return Main->PageControl.Caption(Index); }
  bool FocusIn(Gtk::Widget& W) {
    Gtk::Widget* Focus = Main->get_focus();
    return Focus && (Focus == &W || Focus->is_ancestor(W));
  }
  bool ViewHasFocus(TFrmWeb* Page) {
    WebKitWebView* View = FindView(*Page);
    return View && FocusIn(*Glib::wrap(GTK_WIDGET(View)));
  }
  std::string Eval(TFrmWeb* Page, const std::string& Script) {
    std::optional<std::string> Result;
    bool Done = false;
    Page->WebBrowser->Engine().RunScript(Script, [&](std::optional<std::string> R) {
      Result = std::move(R);
      Done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return Done; }));
    return Result.value_or("<failed>");
  }
  TFrmWeb* Tab(int Index) { return Main->PageOfTab(Index); }
  bool LoadIn(TFrmWeb* Page, const std::string& Url, const std::string& Title) {
    Page->Navigate(Url, false);
    return PumpUntil([&] { return Page->GetUrl() == Url && Page->GetTitle() == Title && Page->LoadState() == 4; });
  }
  void Run(TFrmWeb* Page, const std::string& Script) {
    bool Done = false;
    Page->WebBrowser->Engine().RunScript(Script, [&](std::optional<std::string>) { Done = true; });
    ASSERT_TRUE(PumpUntil([&] { return Done; }));
  }

  LoopbackServer Server;
  std::unique_ptr<shell::TFrmMain> Main;
};

TEST_F(ShellEngineTest, OnlyTheActivePageReachesTheAddressBarGaugeAndBackForward) {
  TFrmWeb* A = Main->ActivePage();
  EXPECT_EQ(Main->cobAddress.Text(), Main->Site().StartPage());
  EXPECT_FALSE(Caption(0).empty());

  TFrmWeb* B = Main->NewPage(Server.Url("/b.html"), false);
  // The title may come before or after the load completes.
  ASSERT_TRUE(PumpUntil([&] { return Caption(1) == "B" && Main->PageControl.Image(1) == 4; }));
  EXPECT_EQ(Main->cobAddress.Text(), Main->Site().StartPage());

  ASSERT_TRUE(LoadIn(A, Server.Url("/a1.html"), "A1"));
  EXPECT_EQ(Main->cobAddress.Text(), Server.Url("/a1.html"));
  EXPECT_TRUE(PumpUntil([&] { return Main->ActionList["Ac_Back"].Enabled(); }));
  EXPECT_EQ(Caption(0), "A1");

  // B travels while in the background: A's state stays on show.
  ASSERT_TRUE(LoadIn(B, Server.Url("/a2.html"), "A2"));
  EXPECT_EQ(Main->cobAddress.Text(), Server.Url("/a1.html"));
  Main->ActionList["Ac_Back"].Execute();
  EXPECT_TRUE(PumpUntil([&] { return Main->cobAddress.Text() == Main->Site().StartPage(); }));
  EXPECT_TRUE(PumpUntil([&] { return A->LoadState() == 4 && Caption(0) != "A1"; }));
  EXPECT_TRUE(PumpUntil([&] { return Main->ActionList["Ac_Forward"].Enabled(); }));
  EXPECT_TRUE(PumpUntil([&] { return A->Progress() == -1; }));  // the load's final value: an empty gauge
  EXPECT_EQ(Main->ProgressGauge().Text(), "");
}

TEST_F(ShellEngineTest, BlankTargetsAndWindowOpenOpenBackgroundTabsOnTheRequestedAddress) {
  TFrmWeb* A = Main->ActivePage();
  TFrmWeb* Other = Main->NewPage(Server.Url("/a1.html"), false);
  ASSERT_TRUE(LoadIn(A, Server.Url("/opener.html"), "Opener"));
  int StartRequests = Server.RequestCount("/sea.html");

  Run(A, "document.getElementById('blank').click()");
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 3 && Caption(1) == "B"; }));
  EXPECT_EQ(Tab(2), Other);
  EXPECT_FALSE(Main->Frame().IsChild(Tab(1)));
  EXPECT_EQ(Main->ActivePage(), A);
  EXPECT_EQ(Tab(1)->GetUrl(), Server.Url("/b.html"));

  Run(A, "void window.open('/a2.html')");
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 4 && Caption(2) == "A2"; }));
  EXPECT_EQ(Caption(1), "B");  // the pages a page opens line up in the order it opened them
  EXPECT_EQ(Server.RequestCount("/sea.html"), StartRequests);
}

TEST_F(ShellEngineTest, ADroppedLinkOpensABackgroundTabAndAnAddressListWinsOverText) {
  TFrmWeb* A = Main->ActivePage();
  // A real drag with the mouse, from a label offering an address list and a plain text.
  Gtk::Window Source;
  Gtk::Label Link("link");
  Link.set_size_request(80, 40);
  Source.set_child(Link);
  const std::string List = "# dragged\r\n" + Server.Url("/b.html") + "\r\n", Text = Server.Url("/a1.html");
  GdkContentProvider* Parts[] = {
      gdk_content_provider_new_for_bytes("text/uri-list", g_bytes_new(List.data(), List.size())),
      gdk_content_provider_new_for_bytes("text/plain;charset=utf-8", g_bytes_new(Text.data(), Text.size()))};
  GtkDragSource* Drag = gtk_drag_source_new();
  gtk_drag_source_set_content(Drag, gdk_content_provider_new_union(Parts, 2));
  gtk_widget_add_controller(GTK_WIDGET(Link.gobj()), GTK_EVENT_CONTROLLER(Drag));
  Source.present();
  ASSERT_TRUE(PumpUntil([&] { return Link.get_width() > 0 && FindView(*A); }));
  Gtk::Widget& View = *Glib::wrap(GTK_WIDGET(FindView(*A)));
  // Over the page: released once the page has accepted the drag.
  bool Dropped = DragWithPointer(
      Link, {[&] { return gtk_drag_source_get_drag(Drag) != nullptr; }, [&](int Wiggle) { MovePointerTo(View, Wiggle, 0); },
             [&] { return gdk_drag_get_selected_action(gtk_drag_source_get_drag(Drag)) != 0; },
             [&] { return Main->PageControl.Count() == 2; }});
  ASSERT_TRUE(Dropped);
  ASSERT_TRUE(PumpUntil([&] { return Caption(1) == "B"; }));
  EXPECT_EQ(Main->ActivePage(), A);
  EXPECT_EQ(A->GetUrl(), Main->Site().StartPage());  // the page under the drop stays
  EXPECT_FALSE(Main->Frame().IsChild(Tab(1)));
  Source.set_visible(false);
}

// Pages take text and addresses dropped on them; the sidebar's strip is neither, so over a
// page's left third it still previews and docks, and the page's text box stays empty.
TEST_F(ShellEngineTest, TheSidebarDraggedOverAPageDocksAndThePageTakesNothing) {
  Server.Serve("/box.html", "<title>Box</title><textarea id=t style='width:100vw;height:100vh'></textarea>");
  TFrmWeb* A = Main->ActivePage();
  ASSERT_TRUE(LoadIn(A, Server.Url("/box.html"), "Box"));
  auto& Dock = *Main->Favorites().Dock();
  Main->ActionList["Ac_Favorites"].Execute();
  Dock.UnDock();
  Gtk::Widget& Strip = Main->Favorites().SideBar()->Header();
  ASSERT_TRUE(PumpUntil([&] { return Dock.FloatWindow().get_width() > 0 && Strip.get_width() > 0; }));
  const int OverPage = -Dock.ClientArea().get_width() / 2 + Dock.FloatWindow().get_width() + 40;
  bool Previewed = false;
  EXPECT_TRUE(DragWithPointer(Strip, {[&] { return Dock.Dragging(); },
                                      [&](int Wiggle) { MovePointerTo(Dock.ClientArea(), OverPage + Wiggle, 0); },
                                      [&] { return Previewed = Dock.Previewing(); }, [&] { return Dock.Docked(); }}));
  EXPECT_TRUE(Previewed);
  EXPECT_EQ(Eval(A, "document.getElementById('t').value"), "");
  EXPECT_EQ(Main->PageControl.Count(), 1);
}

TEST_F(ShellEngineTest, AKilledWebProcessLeavesTheBrowserAndOtherTabsWorking) {
  TFrmWeb* A = Main->ActivePage();
  TFrmWeb* B = Main->NewPage(Server.Url("/b.html"), false);
  ASSERT_TRUE(PumpUntil([&] { return Caption(1) == "B"; }));
  ASSERT_TRUE(LoadIn(A, Server.Url("/a1.html"), "A1"));
  WebKitWebView* View = FindView(*A);
  ASSERT_NE(View, nullptr);
  webkit_web_view_terminate_web_process(View);
  // The tab says what happened and offers the address again.
  ASSERT_TRUE(PumpUntil([&] { return A->LoadState() == 4 && Caption(0) != "A1"; }));
  // The other tab's page still works.
  ASSERT_TRUE(LoadIn(B, Server.Url("/a2.html"), "A2"));
  // And the crashed tab can load again.
  ASSERT_TRUE(LoadIn(A, Server.Url("/a1.html"), "A1"));
  EXPECT_EQ(Main->PageControl.Count(), 2);
}


TEST_F(ShellEngineTest, VisitsAreRecordedAndTheForwardDropDownTravels) {
  platform::THistoryStore Store(platform::ShellFolders::DataHome() / "engine-history.sqlite");
  Main->SetHistorySink(&Store);
  for (const char* Name : {"c", "d"}) Server.Serve(std::string("/") + Name + ".html",
                                                   std::string("<title>") + Name + "</title><p id=x>" + Name);
  TFrmWeb* P = Main->NewPage(Server.Url("/a1.html"), true);
  ASSERT_TRUE(PumpUntil([&] { return P->GetTitle() == "A1" && P->LoadState() == 4; }));
  ASSERT_TRUE(LoadIn(P, Server.Url("/b.html"), "B"));
  ASSERT_TRUE(LoadIn(P, Server.Url("/c.html"), "c"));
  ASSERT_TRUE(LoadIn(P, Server.Url("/d.html"), "d"));
  for (const char* Step : {"c", "B"}) {
    Main->ActionList["Ac_Back"].Execute();
    ASSERT_TRUE(PumpUntil([&] {
      return P->WebBrowser->Engine().LocationName() == Step && P->WebBrowser->Engine().ReadyState() == 4;
    })) << Step;
  }
  Main->pmnForwardPopup();
  std::vector<std::string> Forward;
  for (auto& Item : Main->TravelItems(false)) Forward.push_back(Item.Caption);
  EXPECT_EQ(Forward, (std::vector<std::string>{"c", "d"}));
  Main->TravelItemClick(2);
  ASSERT_TRUE(PumpUntil([&] { return P->GetUrl() == Server.Url("/d.html") && P->LoadState() == 4; }));

  ASSERT_TRUE(PumpUntil([&] { return Store.RecentPages(1)[0].Url == Server.Url("/d.html"); }));
  // A jump inside the page and a failed load are no visits.
  P->Navigate(Server.Url("/d.html#x"), false);
  ASSERT_TRUE(PumpUntil([&] { return P->GetUrl() == Server.Url("/d.html#x"); }));
  uint16_t DeadPort = LoopbackServer().Port();
  const std::string Dead = "http://127.0.0.1:" + std::to_string(DeadPort) + "/gone.html";
  P->Navigate(Dead, false);
  ASSERT_TRUE(PumpUntil([&] { return P->GetUrl() == Dead && P->LoadState() == 4; }));
  ASSERT_TRUE(LoadIn(P, Server.Url("/a2.html"), "A2"));
  ASSERT_TRUE(PumpUntil([&] { return Store.RecentPages(1)[0].Title == "A2"; }));
  std::vector<std::string> Recorded;
  for (auto& Page : Store.RecentPages(10)) Recorded.push_back(Page.Title);
  // Travelling back and forth visits pages again; each address shows once.
  EXPECT_EQ(Recorded, (std::vector<std::string>{"A2", "d", "B", "c", "A1"}));
}

// The program opens the first page before it shows the window; WebKit must load in a view
// that is not drawn yet, and showing the window must not open the page a second time.
TEST(ShellEngineStart, TheFirstRequestGoesOutBeforeTheWindowShows) {
  LoopbackServer Server;
  Server.Serve("/first.html", "<title>First</title><p>first");
  shell::TFrmMain Main(engine::WebKitEngineFactory(), shell::TProductSite("vorlane://home.vorlane"));
  Main.StartAddresses = {Server.Url("/first.html")};
  Main.OpenStartPages();
  ASSERT_TRUE(PumpUntil([&] { return Server.RequestCount("/first.html") == 1; }));
  EXPECT_FALSE(Main.get_visible());
  Main.present();
  ASSERT_TRUE(PumpUntil([&] { return Main.ActivePage()->LoadState() == 4 && Main.PageControl.Caption(0) == "First"; }));
  EXPECT_EQ(Main.PageControl.Count(), 1);
  Main.set_visible(false);
}

TEST_F(ShellEngineTest, PagesShownAtCreationTakeTheFocusOnceTheirViewExistsButABlankPageLeavesItToTheBox) {
  Main->ActionList["Ac_Blank"].Execute();
  TFrmWeb* Blank = Main->ActivePage();
  ASSERT_TRUE(PumpUntil([&] { return FindView(*Blank) && Blank->LoadState() == 4; }));
  EXPECT_TRUE(FocusIn(Main->cobAddress));
  Main->ActionList["Ac_CloseAll"].Execute();
  Main->cobAddress.set_text(Server.Url("/b.html"));
  Main->cobAddress.Commit();  // Go with no page
  TFrmWeb* Page = Main->ActivePage();
  ASSERT_NE(Page, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return ViewHasFocus(Page); }));
}

TEST_F(ShellEngineTest, TheAddressBoxShowsASlowLoadAndFailuresAndTickingTitlesLeaveTypingAlone) {
  Server.Hold("/slow.html");
  Server.Serve("/tick.html", "<title>0</title><script>let n=0;setInterval(()=>document.title=++n,20)</script>");
  TFrmWeb* A = Main->ActivePage();
  A->Navigate(Server.Url("/tick.html"), false);
  // The title counts up every 20 ms; a slow machine may show any number past the one awaited.
  auto TickedTo = [&](int N) { return std::atoi(Caption(0).c_str()) >= N; };
  ASSERT_TRUE(PumpUntil([&] { return TickedTo(3); })) << Caption(0);
  Main->cobAddress.grab_focus();
  Main->cobAddress.set_text("http://typ");
  const int Later = std::atoi(Caption(0).c_str()) + 3;  // ticking on while the user types
  ASSERT_TRUE(PumpUntil([&] { return TickedTo(Later); }));
  EXPECT_EQ(Main->cobAddress.Text(), "http://typ");

  Main->cobAddress.set_text(Server.Url("/slow.html"));
  Main->cobAddress.Commit();
  ASSERT_TRUE(PumpUntil([&] { return Server.RequestCount("/slow.html") == 1; }));
  // The old page ticks on while the new one is awaited.
  int Ticks = std::stoi(Eval(A, "document.title"));
  ASSERT_TRUE(PumpUntil([&] { return std::stoi(Eval(A, "document.title")) >= Ticks + 3; }));
  EXPECT_EQ(Main->cobAddress.Text(), Server.Url("/slow.html"));

  uint16_t ClosedPort = 0;
  {
    LoopbackServer Gone;
    ClosedPort = Gone.Port();
  }
  const std::string Refused = "http://127.0.0.1:" + std::to_string(ClosedPort) + "/x.html";
  Main->cobAddress.set_text(Refused);
  Main->cobAddress.Commit();
  ASSERT_TRUE(PumpUntil([&] { return Caption(0) == "无法显示网页" && A->LoadState() == 4; })) << Caption(0);
  EXPECT_EQ(Main->cobAddress.Text(), Refused);
  EXPECT_EQ(Main->ProgressGauge().Text(), "");
}

TEST_F(ShellEngineTest, AReopenedPageShowsItsTitleAndKeepsItsHistory) {
  TFrmWeb* B = Main->NewPage(Server.Url("/a1.html"), false);
  ASSERT_TRUE(PumpUntil([&] { return Caption(1) == "A1" && B->LoadState() == 4; }));
  ASSERT_TRUE(LoadIn(B, Server.Url("/a2.html"), "A2"));
  B->Close();
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 1; }));
  Main->ActionList["Ac_UnDo"].Execute();
  ASSERT_EQ(Main->PageControl.Count(), 2);
  TFrmWeb* Back = Tab(1);
  EXPECT_TRUE(PumpUntil([&] { return Caption(1) == "A2" && Back->LoadState() == 4; })) << Caption(1);
  Main->PageControl.ClickTab(1);
  EXPECT_TRUE(PumpUntil([&] { return Main->ActionList["Ac_Back"].Enabled(); }));
  Main->ActionList["Ac_Back"].Execute();
  EXPECT_TRUE(PumpUntil([&] { return Back->GetUrl() == Server.Url("/a1.html") && Caption(1) == "A1"; }));
}

TEST_F(ShellEngineTest, RealKeysCtrlZUndoesTypingInAFieldAndElsewhereReopensAPageCtrlNOpensOne) {
  Server.Serve("/form.html", "<title>Form</title><input id=f autofocus><p id=p tabindex=0>p");
  TFrmWeb* A = Main->ActivePage();
  TFrmWeb* B = Main->NewPage(Server.Url("/b.html"), false);
  ASSERT_TRUE(PumpUntil([&] { return Caption(1) == "B"; }));
  B->Close();
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 1; }));
  ASSERT_TRUE(LoadIn(A, Server.Url("/form.html"), "Form"));
  ASSERT_TRUE(FocusWindow(*Main));
  A->WebBrowser->FocusDocument();
  ASSERT_TRUE(PumpUntil([&] { return ViewHasFocus(A); }));
  Eval(A, "document.getElementById('f').focus()");
  PressKey(GDK_KEY_a);
  PressKey(GDK_KEY_b);
  ASSERT_TRUE(PumpUntil([&] { return Eval(A, "document.getElementById('f').value") == "ab"; }));
  // Out of the field the typing stays, though the page could still take it back.
  Eval(A, "document.getElementById('p').focus()");
  ASSERT_TRUE(PumpUntil([&] { return !A->WebBrowser->Engine().FocusIsEditable(); }));
  PressKey(GDK_KEY_z, true);
  EXPECT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 2; }));  // the closed page is back
  EXPECT_EQ(Eval(A, "document.getElementById('f').value"), "ab");

  Main->PageControl.ClickTab(0);
  Eval(A, "document.getElementById('f').focus()");
  ASSERT_TRUE(PumpUntil([&] { return ViewHasFocus(A) && A->WebBrowser->Engine().FocusIsEditable(); }));
  PressKey(GDK_KEY_z, true);
  EXPECT_TRUE(PumpUntil([&] { return Eval(A, "document.getElementById('f').value") != "ab"; }));
  PumpPending();
  EXPECT_EQ(Main->PageControl.Count(), 2);  // the page kept its key
  PressKey(GDK_KEY_n, true);
  EXPECT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 3; }));
}

// Loads a form that objects to being left into the active page and types into it (the
// page asks only once the user did something in it); its questions go to Dialogs.
void FillForm(LoopbackServer& Server, shell::TFrmMain& Main, ScriptedDialogs& Dialogs) {
  Server.Serve("/form.html",
               "<title>Form</title><input id=f autofocus>"
               "<script>onbeforeunload = e => { e.preventDefault(); e.returnValue = ''; };</script>");
  TFrmWeb* A = Main.ActivePage();
  Dialogs.SetDeferred(true);
  A->WebBrowser->Dialogs = &Dialogs;
  A->Navigate(Server.Url("/form.html"), false);
  ASSERT_TRUE(PumpUntil([&] { return A->GetTitle() == "Form" && A->LoadState() == 4; }));
  ASSERT_TRUE(FocusWindow(Main));
  WebKitWebView* View = FindView(*A);
  ASSERT_NE(View, nullptr);
  ASSERT_TRUE(MovePointerTo(*Glib::wrap(GTK_WIDGET(View))));
  PressButton(true);
  PressButton(false);
  PressKey(GDK_KEY_a);
  ASSERT_TRUE(PumpUntil([&] {
    auto Value = std::make_shared<std::optional<std::string>>();
    A->WebBrowser->Engine().RunScript("document.getElementById('f').value", [Value](auto V) { *Value = V; });
    PumpUntil([&] { return Value->has_value(); });
    return *Value == "a";
  }));
}

TEST_F(ShellEngineTest, ClosingAPageWithAHalfFilledFormAsksItOnceAndClosesOnlyWhenLeft) {
  ScriptedDialogs Dialogs;  // the user's answers, given while the question is open
  FillForm(Server, *Main, Dialogs);
  ASSERT_FALSE(HasFatalFailure());
  TFrmWeb* A = Main->ActivePage();
  WebKitWebView* View = FindView(*A);
  // WebKit's own closes, which decide nothing (counted to tell how often it tried). The
  // view may outlive the test by a little: the count goes with it.
  auto WebKitClosed = std::make_shared<int>(0);
  g_signal_connect_data(
      View, "close", G_CALLBACK(+[](WebKitWebView*, gpointer N) { ++**static_cast<std::shared_ptr<int>*>(N); }),
      new std::shared_ptr<int>(WebKitClosed),
      [](gpointer N, GClosure*) { delete static_cast<std::shared_ptr<int>*>(N); }, GConnectFlags(0));
  auto Through = [&] {  // the page's reply to the answer is through once a script runs again
    auto Ran = std::make_shared<bool>(false);
    A->WebBrowser->Engine().RunScript("1", [Ran](auto) { *Ran = true; });
    return PumpUntil([&] { return *Ran || Main->PageControl.Count() == 0; });
  };
  Dialogs.QueueResult(platform::MessageResult::Cancel);  // stay
  PressKey(GDK_KEY_w, true);
  ASSERT_TRUE(PumpUntil([&] { return Dialogs.Pending() == 1; }));
  // More closes while the question is open wait for the same answer.
  PressKey(GDK_KEY_w, true);
  PressKey(GDK_KEY_l, true);  // seen after the second Ctrl+W
  ASSERT_TRUE(PumpUntil([&] { return FocusIn(Main->cobAddress); }));
  Main->ActionList["Ac_Quit"].Execute();
  PumpPending();
  EXPECT_EQ(Dialogs.Calls().size(), 1u);
  Dialogs.AnswerNext();
  ASSERT_TRUE(Through());
  PumpPending();
  ASSERT_EQ(Main->PageControl.Count(), 1);  // the user stayed
  ASSERT_EQ(Main->ActivePage(), A);
  // Leaving by a new address asks too, and a stay keeps the form.
  Dialogs.QueueResult(platform::MessageResult::Cancel);
  A->Navigate(Server.Url("/b.html"), false);
  ASSERT_TRUE(PumpUntil([&] { return Dialogs.Pending() == 1; }));
  Dialogs.AnswerNext();
  ASSERT_TRUE(Through());
  EXPECT_EQ(Eval(A, "document.title + document.getElementById('f').value"), "Forma");
  if (*WebKitClosed > 0) std::printf("    WebKit closed the page on its own %d time(s) while it stayed\n", *WebKitClosed);
  Dialogs.QueueResult(platform::MessageResult::Ok);
  Main->ActionList["Ac_Close"].Execute();
  ASSERT_TRUE(PumpUntil([&] { return Dialogs.Pending() == 1; }));
  Dialogs.AnswerNext();
  EXPECT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 0; }));
  EXPECT_EQ(Dialogs.Calls().size(), 3u);
}

// The question goes with its page: the answer, given later, comes to nothing.
TEST_F(ShellEngineTest, APageWhoseProcessEndsWhileItAsksClosesAndItsQuestionComesToNothing) {
  ScriptedDialogs Dialogs;
  FillForm(Server, *Main, Dialogs);
  ASSERT_FALSE(HasFatalFailure());
  Main->ActionList["Ac_Close"].Execute();
  ASSERT_TRUE(PumpUntil([&] { return Dialogs.Pending() == 1; }));
  webkit_web_view_terminate_web_process(FindView(*Main->ActivePage()));
  EXPECT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 0; }));
  Dialogs.AnswerAll();
  PumpPending();
  EXPECT_TRUE(Main->Pages().empty());
}

TEST_F(ShellEngineTest, TheSearchPageShowsExactlyTheTypedWord) {
  // The page as it shows before it forwards to the results (nothing goes out).
  engine::SiteContent Content;
  Content.ForwardSearch = false;
  engine::SetProductSiteContent(Content);
  struct Reset {
    ~Reset() { engine::SetProductSiteContent({}); }
  } ResetContent;
  const std::string Word = "中文#a&b+c%25 x";
  Main->cobAddress.set_text(Word);
  Main->ActionList["Ac_Go"].Execute();
  TFrmWeb* Page = Main->ActivePage();
  ASSERT_TRUE(PumpUntil([&] { return Page->GetTitle() == Word + " - Vorlane 搜索" && Page->LoadState() == 4; }))
      << Page->GetTitle();
  std::optional<std::string> Shown;
  bool Done = false;
  Page->WebBrowser->Engine().RunScript("document.querySelector('.word').textContent", [&](std::optional<std::string> R) {
    Shown = R;
    Done = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return Done; }));
  EXPECT_EQ(Shown.value_or("<none>"), Word);
}

}  // namespace
}  // namespace vorlane::test
