#include "navigation/SideBarDock.h"
#include "navigation/U_SideBar.h"

#include <giomm/themedicon.h>
#include <gtest/gtest.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/image.h>

#include "favorites/IEUtils.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

using namespace vorlane::navigation;
using vorlane::test::PumpUntil;

namespace {

struct SideBarTest : ::testing::Test {
  vorlane::test::ScriptedDialogs Dialogs;
  Gtk::Window Main;
  Gtk::Paned Client{Gtk::Orientation::HORIZONTAL};
  Gtk::Box Panel{Gtk::Orientation::VERTICAL};
  Gtk::Box Frame;
  TFrmSideBar SideBar{Dialogs, vorlane::favorites::GetFavoritesFolder()};
  TSideBarDock Dock{Main, Client, Panel, SideBar};

  SideBarTest() {
    Panel.set_visible(false);
    Client.set_start_child(Panel);
    Client.set_end_child(Frame);
    Client.set_resize_start_child(false);
    Main.set_child(Client);
    Main.set_default_size(1200, 600);
    Main.present();
  }
  ~SideBarTest() override { Main.unset_child(); }
};

TEST_F(SideBarTest, TheFirstShownPanelIsAQuarterOfTheClientAndTheTreeIsBuiltThen) {
  EXPECT_EQ(SideBar.FavoritesTree(), nullptr);
  Dock.DockDrop();
  ASSERT_TRUE(PumpUntil([&] { return Client.get_width() == 1200 && Client.get_position() == 300; }));
  EXPECT_NE(SideBar.FavoritesTree(), nullptr);
  EXPECT_EQ(Dock.DockOver(), 400);
  Dock.DockLeave();
  Client.set_position(250);  // the user's splitter
  Dock.ShowDockPanel(false);
  Dock.ShowDockPanel(true);
  EXPECT_EQ(Client.get_position(), 250);
}

TEST_F(SideBarTest, PageChangesReportedOnlyForTheUsersClicks) {
  int Changes = 0;
  SideBar.OnPageChange = [&] { ++Changes; };
  SideBar.ShowPage(1);
  EXPECT_EQ(SideBar.PageIndex(), 1);
  SideBar.PageControl().set_current_page(0);  // what a click on the favorites tab does
  EXPECT_EQ(SideBar.PageIndex(), 0);
  EXPECT_EQ(Changes, 1);
}

TEST_F(SideBarTest, DocksFloatsAndDocksAgainAndAClosedFloatComesBack) {
  Dock.DockDrop();
  Dock.UnDock();
  EXPECT_FALSE(Dock.Docked());
  EXPECT_FALSE(Panel.get_visible());
  EXPECT_EQ(SideBar.get_parent(), &Dock.FloatWindow());
  EXPECT_TRUE(Dock.FloatWindow().get_transient_for() == &Main);
  bool Closed = false;
  Dock.OnFloatClosed = [&] { Closed = true; };
  Dock.FloatWindow().close();
  ASSERT_TRUE(PumpUntil([&] { return Closed && !Dock.SideBarVisible(); }));
  Dock.SetSideBarVisible(true);  // Ctrl+I after the floating window was closed
  EXPECT_TRUE(Dock.FloatWindow().get_visible());
  Dock.DockDrop();
  EXPECT_TRUE(Dock.Docked());
  EXPECT_EQ(SideBar.get_parent(), &Panel);
  EXPECT_FALSE(Dock.FloatWindow().get_visible());
}

// Each of the sidebar's eight images is ours, found by name in the resources: a theme
// that happens to have an icon of that name must not stand in for it.
TEST_F(SideBarTest, EveryImageIsOurOwnIconFromTheResources) {
  using enum vorlane::favorites::TNodeType;
  auto Name = [](const Glib::RefPtr<Gio::Icon>& Icon) -> std::string {
    auto Themed = std::dynamic_pointer_cast<Gio::ThemedIcon>(Icon);
    return Themed ? Themed->get_names().at(0) : "";
  };
  auto Tab = [&](int Page) {
    return Name(dynamic_cast<Gtk::Image&>(*SideBar.PageControl().get_tab_label(*SideBar.PageControl().get_nth_page(Page))).get_gicon());
  };
  auto Node = [&](vorlane::favorites::TNodeType Type) { return Name(TFrmSideBar::FavoritesTreeGetImage(Type)); };
  const std::pair<std::string, std::string> Images[] = {
      {Node(ntRoot), "favorites"}, {Tab(0), "favorites"}, {Tab(1), "history"},
      {SideBar.btnLiveUp().get_icon_name(), "folder-up"}, {Node(ntOrganizeFavorites), "folder-open"},
      {Node(ntImportFavorites), "favorites-import"}, {Node(ntExportFavorites), "favorites-export"},
      {Node(ntFolder), "folder"}, {Node(ntEmptyFolder), "folder"}, {Node(ntItem), "page"}};
  auto Theme = Gtk::IconTheme::get_for_display(Main.get_display());
  for (const auto& [Shown, Icon] : Images) {
    EXPECT_EQ(Shown, "vorlane-" + Icon);
    auto Found = Theme->lookup_icon("vorlane-" + Icon, 16);
    ASSERT_TRUE(Found && Found->get_file()) << Icon;
    EXPECT_EQ(Found->get_file()->get_uri(), "resource:///org/vorlane/Vorlane/icons/scalable/actions/vorlane-" + Icon + ".svg");
  }
}

}  // namespace
