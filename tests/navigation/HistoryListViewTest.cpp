// The history list over a temporary history.
#include "navigation/HistoryListView.h"
#include "platform/ShellFolders.h"
#include "support/FakeEngine.h"
#include "support/MainLoop.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <ctime>

namespace vorlane::test {
namespace {

using navigation::THistoryListView;

class HistoryListViewTest : public testing::Test {
protected:
  void SetUp() override {
    Store = std::make_unique<platform::THistoryStore>(
        platform::ShellFolders::DataHome() /
        (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".sqlite"));
  }
  THistoryListView& View() {
    if (!FView) {
      FView = std::make_unique<THistoryListView>(*Store);
      FView->OnBeep = [this] { ++Beeps; };
      FView->OnURLSelected = [this](auto&, const std::string& Url) { Opened.push_back(Url); };
    }
    return *FView;
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> Out;
    for (auto& E : View().Browser().Entries()) Out.push_back(E.Item.DisplayName);
    return Out;
  }
  bool Key(guint K) { return View().HandleKey(K, Gdk::ModifierType{}); }

  std::unique_ptr<platform::THistoryStore> Store;
  std::unique_ptr<THistoryListView> FView;
  int Beeps = 0;
  std::vector<std::string> Opened;
};

TEST_F(HistoryListViewTest, EntersFoldersGoesUpAndBeepsAtTheTop) {
  Store->AddVisit("http://b.example/1", "B one");
  Store->AddVisit("http://a.example/1", "A one");
  EXPECT_EQ(View().ColumnCaption(), "历史记录");
  EXPECT_EQ(Shown(), std::vector<std::string>{"今天"});
  EXPECT_EQ(View().Selected(), 0u);
  Key(GDK_KEY_BackSpace);
  EXPECT_EQ(Beeps, 1);
  Key(GDK_KEY_Return);
  EXPECT_EQ(View().Depth(), 1);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"a.example", "b.example"}));
  View().Select(1);
  View().DblClick();
  EXPECT_EQ(View().Depth(), 2);
  EXPECT_EQ(Shown(), std::vector<std::string>{"B one"});
  Key(GDK_KEY_BackSpace);
  Key(GDK_KEY_BackSpace);
  EXPECT_EQ(View().Depth(), 0);
  EXPECT_EQ(Shown(), std::vector<std::string>{"今天"});
  EXPECT_EQ(Beeps, 1);
}

TEST_F(HistoryListViewTest, APageOpensItsStoredAddressEvenWithALineFeedInItsTitle) {
  int64_t Visit = Store->AddVisit("http://real.example/page", "");
  Store->SetVisitTitle(Visit, "Title\nhttp://evil.example/");
  View().BrowseFolder({View().Browser().Entries()[0].Item.Id, "s:real.example"});
  ASSERT_EQ(Shown().size(), 1u);
  Key(GDK_KEY_Return);
  EXPECT_EQ(Opened, std::vector<std::string>{"http://real.example/page"});

  // Without a handler the browser control is navigated, while it lives.
  View().OnURLSelected = nullptr;
  auto Control = std::make_unique<browser::TBrowserControl>(std::make_unique<TFakeEngine>());
  View().SetWebbrowser(Control.get());
  View().DblClick();
  EXPECT_EQ(static_cast<TFakeEngine&>(Control->Engine()).LastCall("Navigate2")->Arg, "http://real.example/page");
  Control.reset();
  View().DblClick();  // the control is gone: nothing happens
}

TEST_F(HistoryListViewTest, TypeAheadFindsEntriesCaseBlindAndWraps) {
  for (const char* Site : {"alpha.example", "beta.example", "gamma.example", "zulu.example"})
    Store->AddVisit(std::string("http://") + Site + "/", Site);
  View().BrowseFolder({View().Browser().Entries()[0].Item.Id});
  EXPECT_TRUE(View().TypeAhead("ZU"));
  EXPECT_EQ(View().Selected(), 3u);
  Key(GDK_KEY_a);  // wraps to the top
  EXPECT_EQ(View().Selected(), 0u);
  EXPECT_FALSE(View().TypeAhead("q"));
  EXPECT_EQ(View().Selected(), 0u);

  const auto& B = View().Browser();
  EXPECT_EQ(B.FindPrefix("G", 99, true), 2u);  // a start past the end wraps to the top
  EXPECT_EQ(B.FindPrefix("G", 99, false), std::nullopt);
  EXPECT_EQ(B.FindPrefix("a", 1, false), std::nullopt);
}

TEST_F(HistoryListViewTest, IconsAreLookedUpForShownRowsOnly) {
  for (int I = 0; I < 1000; ++I) Store->AddVisit("http://many.example/" + std::to_string(I), "");
  View().BrowseFolder({View().Browser().Entries()[0].Item.Id, "s:many.example"});
  ASSERT_EQ(View().Browser().Entries().size(), 1000u);
  Gtk::Window Window;
  Window.set_default_size(220, 300);
  Window.set_child(View());
  Window.present();
  auto LookedUp = [&] {
    return std::count_if(View().Browser().Entries().begin(), View().Browser().Entries().end(),
                         [](auto& E) { return !E.IconPending; });
  };
  ASSERT_TRUE(PumpUntil([&] { return LookedUp() > 0; }));
  EXPECT_LT(LookedUp(), 300);  // GTK keeps about 200 rows bound around the visible ones
  Window.unset_child();
}

TEST_F(HistoryListViewTest, FollowsNewVisitsOnScreenAndOnItsNextShowing) {
  Gtk::Window Window;
  Window.set_child(View());
  Window.present();
  ASSERT_TRUE(PumpUntil([&] { return View().get_mapped(); }));
  Store->AddVisit("http://b.example/", "B");
  ASSERT_TRUE(PumpUntil([&] { return Shown() == std::vector<std::string>{"今天"}; }));
  Key(GDK_KEY_Return);
  View().Select(0);
  Store->AddVisit("http://a.example/", "A");
  ASSERT_TRUE(PumpUntil([&] { return Shown().size() == 2; }));
  EXPECT_EQ(View().EntryAt(*View().Selected()).Item.DisplayName, "b.example");  // still selected
  Window.set_visible(false);
  Store->AddVisit("http://c.example/", "C");
  Window.set_visible(true);
  EXPECT_TRUE(PumpUntil([&] { return Shown().size() == 3; }));
  View().ClearEntries();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(View().Selected(), std::nullopt);
  Window.unset_child();
}

TEST_F(HistoryListViewTest, AtMidnightTodayBecomesADayOfItsOwn) {
  std::time_t T = std::time(nullptr);
  std::tm Evening{};
  localtime_r(&T, &Evening);
  Evening.tm_hour = 23;
  Evening.tm_min = 59;
  Evening.tm_sec = 59;
  Evening.tm_isdst = -1;
  auto Now = std::chrono::system_clock::from_time_t(std::mktime(&Evening)) + std::chrono::milliseconds(500);
  Store = std::make_unique<platform::THistoryStore>(platform::ShellFolders::DataHome() / "midnight.sqlite",
                                                    [&Now] { return Now; });
  Store->AddVisit("http://late.example/", "late");
  Gtk::Window Window;
  Window.set_child(View());
  Window.present();
  EXPECT_EQ(Shown(), std::vector<std::string>{"今天"});
  Now += std::chrono::seconds(1);
  EXPECT_TRUE(PumpUntil([&] { return Shown().size() == 1 && Shown()[0] != "今天"; })) << Shown()[0];
  Window.unset_child();
}

TEST_F(HistoryListViewTest, TheSearchBoxFindsVisitsAndTheirMenuRemovesThem) {
  using Names = std::vector<std::string>;
  Store->AddVisit("http://news.example/a", "新闻一");
  Store->AddVisit("http://news.example/b", "Sport \"quoted\"");
  Store->AddVisit("http://other.example/", "新闻二");
  Store->AddVisit("http://third.example/", "Third");
  View().SearchBox().set_text("新闻");  // two characters: no index for them
  ASSERT_TRUE(PumpUntil([&] { return Shown() == Names{"新闻二", "新闻一"}; })) << Shown().size();
  View().SearchFor("NEWS.EX");  // any letter case, in the address
  EXPECT_EQ(Shown(), (Names{"Sport \"quoted\"", "新闻一"}));
  View().SearchFor("t \"quo");
  EXPECT_EQ(Shown(), Names{"Sport \"quoted\""});
  View().RemoveEntry(0, false);  // 删除
  EXPECT_TRUE(Shown().empty());
  View().SearchFor("新闻");
  View().RemoveEntry(1, true);  // 删除此网站的全部记录, from 新闻一 of news.example
  EXPECT_EQ(Shown(), Names{"新闻二"});
  View().SearchFor("");
  Key(GDK_KEY_Return);
  EXPECT_EQ(Shown(), (Names{"other.example", "third.example"}));
  View().RemoveEntry(1, false);  // a site in the period shown
  EXPECT_EQ(Shown(), Names{"other.example"});
  std::vector<std::string> Recent;
  for (auto& P : Store->RecentPages(8)) Recent.push_back(P.Url);
  EXPECT_EQ(Recent, Names{"http://other.example/"});  // gone from the start page's list too
}

TEST_F(HistoryListViewTest, AnEmptyHistoryShowsNothingAndSelectsNothing) {
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(View().Selected(), std::nullopt);
  EXPECT_FALSE(View().TypeAhead("a"));
  View().DblClick();
  EXPECT_FALSE(View().BrowseFolder({"nonsense"}));
  EXPECT_EQ(View().Depth(), 0);
  EXPECT_TRUE(Opened.empty());
}

}  // namespace
}  // namespace vorlane::test
