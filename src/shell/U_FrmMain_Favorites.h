#pragma once
// The main window's side of the favorites: the favorites menu in the menu bar with its
// exporter and importer, the sidebar with its dock panel, and their events. Kept apart
// from TFrmMain, which holds one and hands it its menu, client area and dock panel.
#include <gtkmm/box.h>
#include <gtkmm/paned.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>

#include "favorites/ExportFavorites.h"
#include "favorites/FavMenu.h"
#include "favorites/ImportFavorites.h"
#include "favorites/OrganizeFavoritesDialog.h"
#include "framework/GtkDialogs.h"
#include "navigation/SideBarDock.h"
#include "platform/HistoryStore.h"
#include "navigation/U_SideBar.h"

namespace vorlane::shell {

class TFrmMainFavorites {
public:
  // What the favorites need of the main window.
  struct THost {
    Gtk::Window& Window;
    Glib::RefPtr<Gio::Menu> MainMenu;
    Gtk::Paned& ClientArea;
    Gtk::Box& DockPanel;
    std::function<void(const std::string& Url, bool Show)> NewPage;
    // The active page's control, or nullptr when no page is open.
    std::function<favorites::ILinkedBrowser*()> ActivePage;
    // The sidebar's page changed (0 favorites, 1 history) or it was closed (-1): the
    // Favorites and History commands set their check marks from it.
    std::function<void(int Page)> OnSideBarChange;
  };

  explicit TFrmMainFavorites(THost Host);
  ~TFrmMainFavorites();

private:
  // First: the exporter, the importer and the menu below are built on these.
  THost FHost;
  framework::GtkDialogs FGtkDialogs;

public:
  // The history the sidebar's history page lists; none: the page holds btnLiveUp only.
  platform::THistoryStore* HistoryStore = nullptr;
  platform::IDialogs* Dialogs;  // our GTK dialogs unless a test scripts them (SetDialogs)
  void SetDialogs(platform::IDialogs& D) {
    Dialogs = &D;
    FavoritesMenu.SetDialogs(D);
  }
  favorites::TExportFavorite ExportFavorite;
  favorites::TImportFavorite ImportFavorite;
  favorites::TFavoritesMenu FavoritesMenu;

  // FormShow: the menu into the bar, then the sidebar.
  void FormShow();
  void CreateSideBar();
  // Ac_FavoritesExecute: the panel shows while either command is checked, on Page.
  void ShowSideBar(bool Visible, int Page);
  void NavigateActivePage(const std::string& Url);
  void SideBarClose();

  void FavoritesMenuURLSelected(const std::string& Url);
  // "整理收藏夹" from the menu or the tree: one dialog; Done runs when it closes.
  void OrganizeFavorites(std::function<void()> Done);
  favorites::TOrganizeFavoritesDialog* OrganizeDialog() { return FOrganize.Dialog(); }
  static void FavoritesMenuItemImageIndex(favorites::TMenuType Type, int& ImageIndex);

  navigation::TFrmSideBar* SideBar() { return FSideBar.get(); }
  navigation::TSideBarDock* Dock() { return FDock.get(); }

private:
  std::unique_ptr<navigation::TFrmSideBar> FSideBar;
  std::unique_ptr<navigation::TSideBarDock> FDock;
  favorites::TOrganizeFavoritesCommand FOrganize;  // last, so it goes first: its callbacks reach the menu and tree
};

}  // namespace vorlane::shell
