#pragma once
// TFrmSideBar: the sidebar's content, which lives either in the main window's dock panel
// or in its own floating window (TSideBarDock moves it). A header strip on top is the
// handle for docking; below it two pages: the favorites tree and the history page
// (btnLiveUp above the history list). Nothing is listed until the sidebar is first
// shown: the tree, its monitor and the history listing cost nothing at start-up.
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/notebook.h>

#include <functional>
#include <memory>

#include "favorites/ExportFavorites.h"
#include "favorites/FavoritesTree.h"
#include "favorites/ImportFavorites.h"

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::navigation {

class TFrmSideBar : public Gtk::Box {
public:
  TFrmSideBar(platform::IDialogs& Dialogs, std::string FavoritesFolder);
  ~TFrmSideBar() override;

  // Set by the main window.
  std::function<void()> OnClose;
  std::function<void()> OnPageChange;  // read PageIndex()
  std::function<void(const std::string& Url)> OnNavigate;  // the tree's and the history list's
  // Builds the history page's list; runs on first show. The history list is another
  // widget; without it the page holds btnLiveUp only.
  std::function<Gtk::Widget*()> OnCreateHistoryList;
  std::function<void()> OnLiveUp;

  int PageIndex() const { return FPageIndex; }
  void ShowPage(int Index);
  // The tree exists once the sidebar has been shown.
  favorites::TFavoritesTree* FavoritesTree() { return FTree.get(); }
  Gtk::Widget& Header() { return FHeader; }
  Gtk::Notebook& PageControl() { return FPageControl; }
  Gtk::Button& btnLiveUp() { return FLiveUp; }
  favorites::TExportFavorite ExportFavorite;
  favorites::TImportFavorite ImportFavorite;

  void FavoritesTreeImportClick(const std::string& LocalPath, std::function<void(std::string)> Done);
  void FavoritesTreeExportClick(const std::string& LocalPath, std::function<void(std::string)> Done);
  void btnLiveUpClick();
  // The icon of a tree node, by its type.
  static Glib::RefPtr<Gio::Icon> FavoritesTreeGetImage(favorites::TNodeType Type);

  // Builds what was deferred; called when the sidebar is first shown.
  void EnsureBuilt();

private:
  platform::IDialogs& FDialogs;
  std::string FFavorites;
  int FPageIndex = 0;
  bool FBuilt = false;
  bool FSwitching = false;
  Gtk::Box FHeader{Gtk::Orientation::HORIZONTAL};
  Gtk::Label FTitle;
  Gtk::Button FClose;
  Gtk::Notebook FPageControl;
  Gtk::Box tbsFavorite{Gtk::Orientation::VERTICAL};
  Gtk::Box tbsHistory{Gtk::Orientation::VERTICAL};
  Gtk::Box ToolBar1{Gtk::Orientation::HORIZONTAL};
  Gtk::Button FLiveUp;
  std::unique_ptr<favorites::TFavoritesTree> FTree;
};

}  // namespace vorlane::navigation
