#include "favorites/FavMenu.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/window.h>

#include "TreeHelpers.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;

namespace {

std::string LabelAt(const Glib::RefPtr<Gio::MenuModel>& Menu, int I) {
  gchar* Label = nullptr;
  if (!g_menu_model_get_item_attribute(Menu->gobj(), I, G_MENU_ATTRIBUTE_LABEL, "s", &Label)) return {};
  std::string R = Label;
  g_free(Label);
  return R;
}

// Depth-first search for the menu button that shows Label.
GtkWidget* FindButton(GtkWidget* W, const std::string& Label) {
  if (GTK_IS_LABEL(W) && Label == gtk_label_get_text(GTK_LABEL(W))) return W;
  for (GtkWidget* C = gtk_widget_get_first_child(W); C; C = gtk_widget_get_next_sibling(C))
    if (GtkWidget* Found = FindButton(C, Label)) return GTK_IS_LABEL(Found) ? gtk_widget_get_parent(Found) : Found;
  return nullptr;
}

struct FavMenuTest : ::testing::Test {
  fs::path Root = vorlane::test::FreshFavorites("MenuWidgetFavorites");
  vorlane::test::ScriptedDialogs Dialogs;
  TFavoritesMenu Menu{Dialogs, Root.string() + "/"};
};

TEST_F(FavMenuTest, GoesToItsPlaceInTheBarAndStaysThereOnRebuild) {
  Menu.MainMenu = Gio::Menu::create();
  for (const char* Caption : {"文件(&F)", "编辑(&E)", "查看(&V)", "工具(&O)", "帮助(&H)"}) Menu.MainMenu->append(Caption, "");
  Menu.Model.Caption = "收藏夹(&A)";
  Menu.Model.SetMenuPoition(3);
  Menu.RebuildMenu();
  Menu.RebuildMenu();
  ASSERT_EQ(Menu.MainMenu->get_n_items(), 6);
  EXPECT_EQ(LabelAt(Menu.MainMenu, 2), "收藏夹(_A)");
}

TEST_F(FavMenuTest, AFolderIsListedWhenItsSubmenuOpensAndCaptionsAreLiteral) {
  vorlane::test::WriteShortcut(Root, "Zeta/x_y.url", "http://x.example/");
  vorlane::test::WriteShortcut(Root, "Zeta/Inner/i.url", "http://i.example/");
  Menu.Model.Options = 0;
  Menu.RebuildMenu();
  auto Section = Menu.Root()->get_item_link(0, Gio::MenuModel::Link::SECTION);
  ASSERT_EQ(Section->get_n_items(), 1);
  auto Sub = Section->get_item_link(0, Gio::MenuModel::Link::SUBMENU);
  EXPECT_EQ(Sub->get_n_items(), 0);

  // Open the submenu the way a user does, through GTK's own popover menu.
  Gtk::Window Win;
  Win.insert_action_group("fav", Menu.Actions());
  auto* Popover = Gtk::make_managed<Gtk::PopoverMenu>(Menu.Root());
  Gtk::Box Box;
  Win.set_child(Box);
  Popover->set_parent(Box);
  Win.present();
  Popover->popup();
  GtkWidget* Zeta = nullptr;
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return (Zeta = FindButton(GTK_WIDGET(Popover->gobj()), "Zeta")); }));
  gtk_widget_activate(Zeta);
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return Sub->get_n_items() == 2; }));
  EXPECT_EQ(LabelAt(Sub, 0), "Inner");
  EXPECT_EQ(LabelAt(Sub, 1), "x__y");  // "_" would be a mnemonic
  Popover->popdown();  // an open popover keeps its pointer grab past its window
  Popover->unparent();
}

TEST_F(FavMenuTest, AddingWithNoPageSaysSoAndEmptyAddressesOpenNothing) {
  Menu.BrowserControl = [] { return nullptr; };
  Menu.Actions()->activate_action("add");
  EXPECT_EQ(Dialogs.MessageTexts(), std::vector<std::string>{"No Webbrowser linked to the Favorites-menu."});
  vorlane::test::WriteBytes(Root / "empty.url", "[InternetShortcut]\r\n");
  struct Page : ILinkedBrowser {
    int Navigations = 0;
    TPageSnapshot Snapshot() override { return {}; }
    void Navigate(const std::string&) override { ++Navigations; }
  } P;
  Menu.BrowserControl = [&] { return &P; };
  Menu.OpenFavorite((Root / "empty.url").string());
  EXPECT_EQ(P.Navigations, 0);
}

// In a bar, a rebuild keeps the menu (GTK's bar tears a replaced menu down and builds a
// popover per folder anew) and lists a level again when it next opens, changing only
// what changed on disk.
TEST_F(FavMenuTest, InABarARebuildKeepsTheMenuAndTheNextOpeningMergesWhatChanged) {
  vorlane::test::WriteShortcut(Root, "News/a.url", "http://a.example/");
  vorlane::test::WriteShortcut(Root, "b.url", "http://b.example/");
  Menu.MainMenu = Gio::Menu::create();
  Menu.MainMenu->append("文件(&F)", "");
  Menu.Model.Options = 0;
  Menu.RebuildMenu();
  const auto Top = Menu.Root()->get_item_link(0, Gio::MenuModel::Link::SECTION);
  EXPECT_EQ(Top->get_n_items(), 0);  // listed when the bar's menu opens
  auto Open = [&] { Menu.Actions()->change_action_state("top", Glib::Variant<bool>::create(true)); };
  Open();
  ASSERT_EQ(Top->get_n_items(), 2);
  const auto News = Top->get_item_link(0, Gio::MenuModel::Link::SUBMENU);
  vorlane::test::WriteShortcut(Root, "a.url", "http://c.example/");
  fs::remove(Root / "b.url");
  Menu.RebuildMenu();
  EXPECT_EQ(Menu.Root()->get_item_link(0, Gio::MenuModel::Link::SECTION), Top);
  EXPECT_EQ(Top->get_n_items(), 2);
  Open();
  ASSERT_EQ(Top->get_n_items(), 2);
  EXPECT_EQ(Top->get_item_link(0, Gio::MenuModel::Link::SUBMENU), News);
  EXPECT_EQ(LabelAt(Top, 1), "a");
  EXPECT_EQ(Menu.MainMenu->get_n_items(), 2);
}

}  // namespace
