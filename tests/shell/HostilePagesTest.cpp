// Pages written to annoy, on the real engine in the main window: each keeps to its own tab.
// The window goes on drawing (a frame follows a key pressed for another tab), what the
// browser keeps about the page stays bounded, and the user can always get away from it.
#include "FindWebView.h"
#include "engine/WebKitEngine.h"
#include "platform/HistoryStore.h"
#include "platform/ShellFolders.h"
#include "shell/U_FrmMain.h"
#include "support/LoopbackServer.h"
#include "support/MainLoop.h"
#include "support/RealInput.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <gdkmm/frameclock.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

using shell::TFrmWeb;
using Clock = std::chrono::steady_clock;

// Resident memory of this process (the window's side of every page) in MiB.
double ResidentMiB() {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  while (std::getline(Status, Line))
    if (Line.rfind("VmRSS:", 0) == 0) return std::stod(Line.substr(6)) / 1024.0;
  return 0;
}

class HostilePagesTest : public testing::Test {
protected:
  void SetUp() override {
    Quiet.Serve("/quiet.html", "<title>Quiet</title><p>quiet");
    Main = std::make_unique<shell::TFrmMain>(engine::WebKitEngineFactory(),
                                             shell::TProductSite("vorlane://home.vorlane"));
    Main->SetDialogs(&Dialogs);
    Main->SetHistorySink(&Store);
    Main->StartAddresses = {Quiet.Url("/quiet.html")};
    Main->set_default_size(1200, 800);
    Main->present();
    ASSERT_TRUE(PumpUntil([&] { return Main->ActivePage() && Main->ActivePage()->GetTitle() == "Quiet"; }));
    ASSERT_TRUE(FocusWindow(*Main));
  }
  void TearDown() override {
    Main->set_visible(false);
    Main.reset();
    PumpPending();
  }

  std::string Caption(int Index) { return Main->PageControl.Caption(Index); }
  // Opens Path of the server as a shown tab right of the quiet one.
  TFrmWeb* OpenHostile(const std::string& Path) { return Main->NewPage(Server.Url(Path), true); }

  // Milliseconds from a key press to the first frame drawn once the key took effect;
  // nullopt when the window drew none.
  std::optional<double> FrameAfterKey(unsigned Key, bool Control, const std::function<bool()>& TookEffect) {
    std::optional<Clock::time_point> Drawn;
    auto Frames = Main->get_frame_clock();
    sigc::connection Watch = Frames->signal_paint().connect([&] {
      if (!Drawn && TookEffect()) Drawn = Clock::now();
    });
    const auto Pressed = Clock::now();
    PressKey(Key, Control);
    bool Ok = PumpUntil([&] { return Drawn.has_value(); }, std::chrono::seconds(10));
    Watch.disconnect();
    if (!Ok) return std::nullopt;
    double Ms = std::chrono::duration<double, std::milli>(*Drawn - Pressed).count();
    std::printf("    frame %.0f ms after the key\n", Ms);
    return Ms;
  }
  // Ctrl+Tab from the hostile page to the quiet one: a frame shows the quiet page.
  void ExpectFrameOnSwitch() {
    const int Target = (Main->PageControl.Selected() + 1) % Main->PageControl.Count();
    auto Ms = FrameAfterKey(GDK_KEY_Tab, true, [&] { return Main->PageControl.Selected() == Target; });
    ASSERT_TRUE(Ms.has_value()) << "the window drew nothing after the key";
  }

  LoopbackServer Server;
  // The tab the user turns to is another site's, in a web process of its own.
  LoopbackServer Quiet{"127.0.0.2"};
  ScriptedDialogs Dialogs;
  platform::THistoryStore Store{platform::ShellFolders::DataHome() /
                                (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                 ".sqlite")};
  std::unique_ptr<shell::TFrmMain> Main;
};

TEST_F(HostilePagesTest, ATitleChangedAThousandTimesASecond) {
  Server.Serve("/titles.html",
               "<title>0</title><script>let n=0;setInterval(()=>{for(let i=0;i<50;i++)document.title=++n},10)"
               "</script>");
  int Changes = 0;
  auto Counting = Store.SignalChanged().connect([&] { ++Changes; });
  const double Before = ResidentMiB();
  const auto Opened = Clock::now();
  TFrmWeb* Page = OpenHostile("/titles.html");
  auto Count = [&] { return std::atoi(Caption(1).c_str()); };
  ASSERT_TRUE(PumpUntil([&] { return Count() > 500; })) << Caption(1);
  ExpectFrameOnSwitch();
  // Ticking on in the background.
  const int Later = Count() + 100;
  ASSERT_TRUE(PumpUntil([&] { return Count() > Later; }));
  std::printf("    %d title changes, %d history writes in %.0f s, %+.0f MiB\n", Count(), Changes,
              std::chrono::duration<double>(Clock::now() - Opened).count(), ResidentMiB() - Before);
  // The history hears of the title once a second at most.
  const double Seconds = std::chrono::duration<double>(Clock::now() - Opened).count();
  EXPECT_LE(Changes, Seconds + 2);
  // Still the latest title within a second or so: ticking on, not stuck at the first.
  EXPECT_TRUE(PumpUntil([&] {
    auto Latest = Store.RecentPages(1);
    return !Latest.empty() && std::atoi(Latest[0].Title.c_str()) > Later;
  }));
  EXPECT_LT(ResidentMiB() - Before, 200);
  (void)Page;
}

TEST_F(HostilePagesTest, PushStateAHundredThousandTimes) {
  Server.Serve("/push.html",
               "<title>pushing</title><script>onload=()=>{let ok=0;for(let i=0;i<100000;i++){try{"
               "history.pushState(null,'','?p='+i);ok++}catch(e){}}document.title='pushed '+ok}</script>");
  const double Before = ResidentMiB();
  TFrmWeb* Page = OpenHostile("/push.html");
  ASSERT_TRUE(PumpUntil([&] { return Caption(1).rfind("pushed", 0) == 0; }, std::chrono::seconds(60)))
      << Caption(1);
  std::printf("    %s, %+.0f MiB\n", Caption(1).c_str(), ResidentMiB() - Before);
  ExpectFrameOnSwitch();
  Main->PageControl.Select(1);
  Main->PageControlChange();
  Main->pmnBackPopup();
  EXPECT_EQ(Main->TravelItems(true).size(), 10u);
  EXPECT_LE(Page->WebBrowser->Engine().BackEntries(1000000).size(), 1000u);
  // One visit for the page: its own address changes are no visits.
  std::vector<std::string> Visits;
  for (auto& V : Store.RecentPages(100)) Visits.push_back(V.Url);
  EXPECT_EQ(Visits, (std::vector<std::string>{Server.Url("/push.html"), Quiet.Url("/quiet.html")}));
  EXPECT_LT(ResidentMiB() - Before, 200);
}


// alert(), confirm() and prompt() in a loop: from the third box on the user is offered to
// stop them; ticked, the page's further boxes are refused at once, until its next document.
TEST_F(HostilePagesTest, DialogsInALoopOfferToStopThemFromTheThirdOn) {
  struct Case {
    const char* Call;
    const char* Refused;  // what a refused box gives the page
  } Cases[] = {{"alert", "undefined"}, {"confirm", "false"}, {"prompt", "null"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Call);
    Dialogs.Clear();
    const std::string Path = std::string("/") + C.Call + ".html";
    Server.Serve(Path, std::string("<title>asking</title><script>onload=()=>{let r;for(let i=0;i<1000;i++)r=") +
                           C.Call + "('m'+i);document.title='free '+String(r)}</script>");
    for (int I = 0; I < 3; ++I) {
      Dialogs.QueueResult(platform::MessageResult::Ok);
      Dialogs.QueueText("text");
    }
    Dialogs.QueueChecked(true);  // taken by the first box that offers it
    TFrmWeb* Page = OpenHostile(Path);
    ASSERT_TRUE(PumpUntil([&] { return Page->GetTitle().rfind("free", 0) == 0; })) << Page->GetTitle();
    EXPECT_EQ(Page->GetTitle(), std::string("free ") + C.Refused);
    ASSERT_EQ(Dialogs.Calls().size(), 3u);
    EXPECT_EQ(Dialogs.Calls()[0].CheckText, "");
    EXPECT_EQ(Dialogs.Calls()[1].CheckText, "");
    EXPECT_EQ(Dialogs.Calls()[2].CheckText, "阻止此网页创建更多对话框");
    EXPECT_EQ(Dialogs.Calls()[2].Text, "m2");
    Page->Close();
    ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 1; }));
  }
  // Unticked, the boxes keep coming, the window keeps drawing, and the next document asks
  // afresh.
  Dialogs.Clear();
  TFrmWeb* Page = OpenHostile("/alert.html");
  ASSERT_TRUE(PumpUntil([&] { return Dialogs.Calls().size() > 50; }));
  ExpectFrameOnSwitch();
  ASSERT_TRUE(PumpUntil([&] { return Page->GetTitle() == "free undefined"; }));
  EXPECT_EQ(Dialogs.Calls().size(), 1000u);
}


TEST_F(HostilePagesTest, AThousandFrames) {
  Server.Serve("/frame.html", "<p>f");
  Server.Serve("/frames.html",
               "<title>framing</title><body><script>for(let i=0;i<1000;i++){let f=document.createElement('iframe');"
               "f.src='/frame.html?'+i;f.width=f.height=8;document.body.appendChild(f)}"
               "onload=()=>document.title='framed'</script>");
  const double Before = ResidentMiB();
  TFrmWeb* Page = OpenHostile("/frames.html");
  ASSERT_TRUE(PumpUntil([&] { return Page->GetTitle() == "framed" && Page->LoadState() == 4; }, std::chrono::seconds(60)));
  EXPECT_EQ(Server.RequestCount("/frame.html"), 1000);
  EXPECT_EQ(Main->cobAddress.Text(), Server.Url("/frames.html"));
  ExpectFrameOnSwitch();
  // The frames' documents are no visits.
  EXPECT_EQ(Store.RecentPages(100).size(), 2u);
  std::printf("    %+.0f MiB\n", ResidentMiB() - Before);
  EXPECT_LT(ResidentMiB() - Before, 200);
}

TEST_F(HostilePagesTest, AStatusTextChangedOnEveryMouseMove) {
  Server.Serve("/status.html",
               "<title>status</title><a id=a href='/s0' style='display:block;width:100vw;height:100vh'>x</a>"
               "<script>let n=0;onmousemove=()=>{a.href='/s'+(++n)}</script>");
  TFrmWeb* Page = OpenHostile("/status.html");
  ASSERT_TRUE(PumpUntil([&] { return Page->GetTitle() == "status" && Page->LoadState() == 4; }));
  Gtk::Widget& View = *Glib::wrap(GTK_WIDGET(FindView(*Page)));
  int Changes = 0;
  auto Counting = Main->StatusText().property_label().signal_changed().connect([&] { ++Changes; });
  constexpr int Moves = 100;
  for (int Move = 1; Move <= Moves; ++Move) {
    MovePointerTo(View, Move % 2 ? 20 : -20, Move % 7);
    ASSERT_TRUE(PumpUntil([&] { return Changes >= Move; })) << Move;
  }
  EXPECT_NE(Main->StatusText().get_text().find("/s"), std::string::npos) << Main->StatusText().get_text();
  ExpectFrameOnSwitch();
}

// A page that asks before it is left: each close asks it once, the user leaves, and closing
// its tab and Close All still end.
TEST_F(HostilePagesTest, APageThatAsksBeforeItIsLeft) {
  Server.Serve("/leave.html",
               "<title>leave</title><input id=f autofocus>"
               "<script>onbeforeunload=e=>{e.preventDefault();return e.returnValue='stay'}</script>");
  for (int I = 0; I < 4; ++I) Dialogs.QueueResult(platform::MessageResult::Ok);  // the user leaves
  for (int I = 0; I < 2; ++I) {
    TFrmWeb* Page = OpenHostile("/leave.html");
    ASSERT_TRUE(PumpUntil([&] { return Page->GetTitle() == "leave" && Page->LoadState() == 4; }));
    // The page counts as used only once the user did something in it.
    Page->WebBrowser->FocusDocument();
    PressKey(GDK_KEY_x);
    ASSERT_TRUE(PumpUntil([&] {
      bool Done = false;
      std::optional<std::string> Value;
      Page->WebBrowser->Engine().RunScript("document.getElementById('f').value", [&](auto V) {
        Value = V;
        Done = true;
      });
      PumpUntil([&] { return Done; });
      return Value == "x";
    }));
  }
  Main->ActionList["Ac_Close"].Execute();  // the command: a held key repeats on a loaded machine
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 2; }));
  Main->ActionList["Ac_CloseAll"].Execute();
  ASSERT_TRUE(PumpUntil([&] { return Main->PageControl.Count() == 0 && Main->Pages().empty(); }));
  EXPECT_LE(Dialogs.Calls().size(), 2u);  // one question a page at most
}

}  // namespace
}  // namespace vorlane::test
