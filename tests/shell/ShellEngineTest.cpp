// The main window on the real engine: pages served from 127.0.0.1 and the built-in site.
#include "engine/WebKitEngine.h"
#include "platform/HistoryStore.h"
#include "platform/ShellFolders.h"
#include "shell/U_FrmMain.h"
#include "support/LoopbackServer.h"
#include "support/MainLoop.h"

#include <gtest/gtest.h>
#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

using shell::TFrmWeb;

WebKitWebView* FindView(Gtk::Widget& Root) {
  for (GtkWidget* W = gtk_widget_get_first_child(Root.gobj()); W; W = gtk_widget_get_next_sibling(W)) {
    if (WEBKIT_IS_WEB_VIEW(W)) return WEBKIT_WEB_VIEW(W);
    if (auto* Inner = FindView(*Glib::wrap(W))) return Inner;
  }
  return nullptr;
}

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
  EXPECT_EQ(Main->ProgressGauge().Position(), A->Progress());
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
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 4 && Caption(1) == "A2"; }));
  EXPECT_EQ(Caption(2), "B");  // the newest request sits nearest the opener
  EXPECT_EQ(Server.RequestCount("/sea.html"), StartRequests);
}

TEST_F(ShellEngineTest, ADroppedLinkOpensABackgroundTab) {
  TFrmWeb* A = Main->ActivePage();
  EXPECT_TRUE(A->WebBrowserDrop(Server.Url("/b.html")));
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 2 && Caption(1) == "B"; }));
  EXPECT_EQ(Main->ActivePage(), A);
  EXPECT_FALSE(Main->Frame().IsChild(Tab(1)));
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

TEST_F(ShellEngineTest, TheSearchPageShowsExactlyTheTypedWord) {
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
