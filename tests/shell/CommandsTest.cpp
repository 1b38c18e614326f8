// Commands: the address-or-search rule, guarded navigation, new pages and quitting.
#include "MainWindowFixture.h"

namespace vorlane::test {
namespace {

TEST_F(MainWindowTest, GoSearchesChineseTextAndWordsWithTheWordEncoded) {
  shell::TFrmWeb* A = Tab(0);
  const std::pair<const char*, const char*> Cases[] = {
      {"中文#a&b+c%25", "/search.html?word=%E4%B8%AD%E6%96%87%23a%26b%2Bc%2525"},
      {"中文 C++", "/search.html?word=%E4%B8%AD%E6%96%87%20C%2B%2B"},
      {"two words", "/search.html?word=two%20words"},
      {"😀 emoji", "/search.html?word=%F0%9F%98%80%20emoji"},
  };
  for (auto [Text, Address] : Cases) {
    Main().cobAddress.set_text(Text);
    Main().cobAddress.Commit();
    EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, std::string(Site) + Address) << Text;
  }
  // An address with a scheme is one, spaces and all.
  for (std::string Text : {"example.com", "", "http://a.example/x y", "file:///tmp/my page.html"}) {
    Main().cobAddress.set_text(Text);
    Main().cobAddress.Commit();
    EXPECT_FALSE(EngineOf(A).LastCall("Navigate2")->Arg.starts_with(std::string(Site) + "/search.html")) << Text;
    EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Flags, 0);
  }
  EXPECT_NE(EngineOf(A).LastCall("FocusDocument"), nullptr);
  EXPECT_EQ(PageCount(), 1);
}

TEST_F(MainWindowTest, GoCommitsWhatIsTypedOnceAndNavigatesThere) {
  shell::TFrmWeb* A = Tab(0);
  int Selected = 0;
  Main().cobAddress.OnUrlSelected().connect([&](const std::string&) { ++Selected; });
  Main().cobAddress.SetCurrentUrl("http://committed.example/");
  Main().cobAddress.set_text("typed.example/page");
  int Before = EngineOf(A).CallCount("Navigate2");
  Run("Ac_Go");
  EXPECT_EQ(Selected, 1);
  EXPECT_EQ(EngineOf(A).CallCount("Navigate2"), Before + 1);
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, "typed.example/page");
  EXPECT_EQ(Main().cobAddress.CurrentUrl(), "typed.example/page");
  // Nothing typed: the committed address goes again, without a second selection event.
  Run("Ac_Go");
  EXPECT_EQ(Selected, 1);
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, "typed.example/page");
}

TEST_F(MainWindowTest, GoWithNoPageOpensAShownPageOnTheAddressOrTheSearch) {
  CloseAndWait(Tab(0));
  ASSERT_EQ(PageCount(), 0);
  Main().cobAddress.set_text("中文");
  Main().cobAddress.Commit();
  ASSERT_EQ(PageCount(), 1);
  EXPECT_EQ(Active(), Tab(0));
  EXPECT_EQ(EngineOf(Active()).LastCall("Navigate2")->Arg, std::string(Site) + "/search.html?word=%E4%B8%AD%E6%96%87");
  CloseAndWait(Tab(0));
  Main().cobAddress.set_text("example.com");
  Main().cobAddress.Commit();
  EXPECT_EQ(EngineOf(Active()).LastCall("Navigate2")->Arg, "example.com");
  EXPECT_TRUE(FocusIn(Active()->WebBrowser->Widget()));
  Run("Ac_Blank");  // a blank page leaves the focus in the address box for typing
  EXPECT_TRUE(FocusIn(Main().cobAddress));
}

TEST_F(MainWindowTest, NavigationCommandsSwallowEngineRefusals) {
  shell::TFrmWeb* A = Tab(0);
  // Enabled against the page's word, so the engine refuses.
  Main().ActionList["Ac_Back"].SetEnabled(true);
  Main().ActionList["Ac_Forward"].SetEnabled(true);
  EXPECT_NO_THROW(Run("Ac_Back"));
  EXPECT_NO_THROW(Run("Ac_Forward"));
  EXPECT_NO_THROW(Run("Ac_Stop"));
  EXPECT_NO_THROW(Run("Ac_Refresh"));
  EXPECT_EQ(EngineOf(A).CallCount("GoBack"), 1);
  EXPECT_EQ(EngineOf(A).CallCount("Refresh2"), 1);
  EngineOf(A).CompleteNavigation("http://a.example/1", "1");
  EngineOf(A).CompleteNavigation("http://a.example/2", "2");
  Run("Ac_Back");
  EXPECT_EQ(EngineOf(A).Url, "http://a.example/1");
  Run("Ac_Forward");
  EXPECT_EQ(EngineOf(A).Url, "http://a.example/2");
  Run("Ac_HomePage");
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, StartPage);
}

TEST_F(MainWindowTest, CommandsOnAPageDoNothingWithoutOne) {
  CloseAndWait(Tab(0));
  for (auto* Name : {"Ac_Back", "Ac_Forward", "Ac_Stop", "Ac_Refresh", "Ac_HomePage", "Ac_Close", "Ac_CloseAll"})
    EXPECT_NO_THROW(Run(Name)) << Name;
  EXPECT_EQ(PageCount(), 0);
  Run("Ac_Blank");
  EXPECT_EQ(PageCount(), 1);
  EXPECT_EQ(Active(), Tab(0));
}

TEST_F(MainWindowTest, BlankPageIsShownAndFocusReturnsToTheAddressBar) {
  Run("Ac_Blank");
  ASSERT_EQ(PageCount(), 2);
  EXPECT_EQ(Active(), Tab(1));
  EXPECT_EQ(Selected(), 1);
  auto* Focus = Main().get_focus();
  ASSERT_NE(Focus, nullptr);
  EXPECT_TRUE(Focus == &Main().cobAddress || Focus->is_ancestor(Main().cobAddress));
}

TEST_F(MainWindowTest, CommandStateOnlyMovesBackAndForward) {
  Main().CommandStateChanged(browser::CSC_NAVIGATEBACK, 0);
  Main().CommandStateChanged(browser::CSC_NAVIGATEFORWARD, 0x0100);  // any bit set is true
  EXPECT_FALSE(Main().ActionList["Ac_Back"].Enabled());
  EXPECT_TRUE(Main().ActionList["Ac_Forward"].Enabled());
  Main().CommandStateChanged(3, 0);
  Main().CommandStateChanged(-1, 0);
  EXPECT_FALSE(Main().ActionList["Ac_Back"].Enabled());
  EXPECT_TRUE(Main().ActionList["Ac_Forward"].Enabled());
}

TEST_F(MainWindowTest, GaugeClampsIntoItsRange) {
  Main().SetProgress(25000);
  EXPECT_EQ(Main().ProgressGauge().Position(), 10000);
  EXPECT_DOUBLE_EQ(Main().ProgressGauge().Fraction(), 1.0);
  EXPECT_EQ(Main().ProgressGauge().Text(), "100%");
  Main().SetProgress(-3);
  EXPECT_EQ(Main().ProgressGauge().Position(), 0);
}

TEST_F(MainWindowTest, FixedAddressButtonsOpenShownPages) {
  Main().activate_action("main.ToolButton10");
  EXPECT_EQ(EngineOf(Active()).LastCall("Navigate2")->Arg, "https://www.baidu.com/");
  Main().activate_action("main.N48");
  EXPECT_EQ(EngineOf(Active()).LastCall("Navigate2")->Arg, std::string(Site) + "/?browserlink");
  EXPECT_EQ(PageCount(), 3);
}

TEST_F(MainWindowTest, QuitCallsTheQuitHandler) {
  bool Quit = false;
  Main().OnQuit = [&] { Quit = true; };
  Run("Ac_Quit");
  EXPECT_TRUE(PumpUntil([&] { return Quit; }));  // once every page agreed
}

TEST_F(MainWindowTest, MenusAndToolBarNameTheCommands) {
  auto& A = Main().ActionList;
  EXPECT_EQ(A["Ac_Blank"].Caption(), "空白页");
  EXPECT_EQ(A["Ac_Blank"].Shortcut(), "<Control>n");
  EXPECT_EQ(A["Ac_Back"].Shortcut(), "<Alt>Left");
  EXPECT_EQ(A["Ac_UnDo"].Caption(), "撤销");
  EXPECT_EQ(A["Ac_CloseAll"].Caption(), "关闭所有");
  ASSERT_EQ(Main().MainMenu->get_n_items(), 6);  // with the favorites menu third
  auto First = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(
      Main().MainMenu->get_item_attribute(0, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s")));
  EXPECT_EQ(std::string(First.get()), "文件(_F)");
  auto Third = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(
      Main().MainMenu->get_item_attribute(2, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s")));
  EXPECT_EQ(std::string(Third.get()), "收藏夹(_A)");
}

}  // namespace
}  // namespace vorlane::test

#include "shell/U_FrmMain_Favorites.h"
#include "support/ScriptedDialogs.h"
#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"

namespace vorlane::test {
namespace {

TEST_F(MainWindowTest, AddingAfterTheLastPageSaysThereIsNoneAndAFavoriteOpensAPage) {
  ScriptedDialogs Dialogs;
  auto& F = Main().Favorites();
  F.SetDialogs(Dialogs);
  EngineOf(Tab(0)).CompleteNavigation("http://a.example/", "A");
  Run("Ac_CloseAll");
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 0; }));
  F.FavoritesMenu.Actions()->activate_action("add");
  EXPECT_EQ(Dialogs.MessageTexts(), std::vector<std::string>{"No Webbrowser linked to the Favorites-menu."});

  const std::string Fav = favorites::GetFavoritesFolder() + "site.url";
  favorites::WriteShortcutUrl(Fav, "http://fav.example/");
  F.FavoritesMenu.Actions()->activate_action("open", Glib::Variant<std::string>::create(Fav));
  ASSERT_EQ(PageCount(), 1);
  EXPECT_EQ(EngineOf(Tab(0)).LastCall("Navigate2")->Arg, "http://fav.example/");
}

TEST_F(MainWindowTest, TheSidebarIsDockedHiddenAndShowsAQuarterOfTheClient) {
  auto& F = Main().Favorites();
  ASSERT_NE(F.Dock(), nullptr);
  EXPECT_TRUE(F.Dock()->Docked());
  EXPECT_FALSE(F.Dock()->SideBarVisible());
  F.ShowSideBar(true, 1);
  EXPECT_EQ(F.SideBar()->PageIndex(), 1);
  ASSERT_TRUE(F.Dock()->SideBarVisible());
  F.Dock()->UnDock();
  F.SideBarClose();
  EXPECT_FALSE(F.Dock()->SideBarVisible());
  F.ShowSideBar(true, 0);  // Ctrl+I after closing the floating sidebar
  EXPECT_TRUE(F.Dock()->FloatWindow().get_visible());
  F.Dock()->DockDrop();
}

TEST_F(MainWindowTest, TheMenuAndTheTreeShareOneOrganizeDialogAndRelistWhenItCloses) {
  ScriptedDialogs Dialogs;
  auto& F = Main().Favorites();
  F.SetDialogs(Dialogs);
  F.ShowSideBar(true, 0);
  favorites::TFavoritesTree* Tree = F.SideBar()->FavoritesTree();
  ASSERT_NE(Tree, nullptr);
  F.FavoritesMenu.Actions()->activate_action("organize");
  favorites::TOrganizeFavoritesDialog* D = F.OrganizeDialog();
  ASSERT_TRUE(D && D->get_visible());
  for (unsigned I = 0; I < Tree->RowCount(); ++I)
    if (Tree->NodeAt(I)->Caption == "整理收藏夹") Tree->ActivateRow(I);
  EXPECT_EQ(F.OrganizeDialog(), D);
  favorites::WriteShortcutUrl(favorites::GetFavoritesFolder() + "new.url", "http://new.example/");
  D->close();
  bool Listed = false;
  for (unsigned I = 0; I < Tree->RowCount(); ++I) Listed |= Tree->NodeAt(I)->Caption == "new";
  EXPECT_TRUE(Listed);
  EXPECT_TRUE(PumpUntil([&] { return F.OrganizeDialog() == nullptr; }));
}

}  // namespace
}  // namespace vorlane::test
