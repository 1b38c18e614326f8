#pragma once
// TFavoritesMenu: the favorites menu of the menu bar as a Gio::Menu. The top level is
// listed when the menu is rebuilt; each folder's submenu is listed when it first opens
// (GTK's menu tracker turns the submenu's "submenu-action" on), so thousands of
// favorites cost one directory read up front. Items act through the action group
// Actions(), which the host inserts under the prefix "fav".
#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <giomm/icon.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "favorites/FavMenuModel.h"
#include "favorites/FavoritesTransfer.h"

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::favorites {

// The page the menu and the tree act on. The host answers with the active page each
// time, so nothing keeps a page that has closed.
class ILinkedBrowser {
public:
  virtual ~ILinkedBrowser() = default;
  virtual TPageSnapshot Snapshot() = 0;
  virtual void Navigate(const std::string& Url) = 0;
};

class TFavoritesMenu {
public:
  TFavoritesMenu(platform::IDialogs& Dialogs, std::string FavoritesFolder);
  ~TFavoritesMenu();

  TFavoritesMenuModel Model;  // Localization, Options, MaxWidth, Caption, ResolveUrl, MenuPoition
  Glib::RefPtr<Gio::Menu> MainMenu;
  std::function<ILinkedBrowser*()> BrowserControl;
  TFavoritesTransfer Transfer;  // exporter, importer, OnExportClick, OnImportClick

  std::function<void(const std::string& Url)> OnURLSelected;
  // (MenuType, ImageIndex in and out). GTK 4.8 popover menus draw no icons; the index is
  // still asked for and kept as the item's "icon" attribute.
  std::function<void(TMenuType, int&)> OnItemImageIndex;
  // Our add-favorite and organize dialogs; Done runs after a change.
  std::function<void(const TPageSnapshot&, std::function<void()> Done)> OnAddFavorite;
  std::function<void(std::function<void()> Done)> OnOrganize;

  void SetDialogs(platform::IDialogs& Dialogs) { FDialogs = &Dialogs; }
  void SetImages(std::vector<Glib::RefPtr<Gio::Icon>> Images) { FImages = std::move(Images); }
  Glib::RefPtr<Gio::SimpleActionGroup> Actions() const { return FActions; }
  Glib::RefPtr<Gio::Menu> Root() const { return FRoot; }

  void RebuildMenu();

  // Handlers of the fixed entries and of a favorite (public for the host and tests).
  void AddFavoriteClick();
  void OrganizeClick();
  void ExportClick();
  void ImportClick();
  void OpenFavorite(const std::string& File);
  // Lists the folder of submenu action Name once; what the menu tracker triggers.
  void FolderOpened(const std::string& ActionName);

private:
  void Append(const Glib::RefPtr<Gio::Menu>& Menu, const TMenuEntry& Entry);
  void Fill(const Glib::RefPtr<Gio::Menu>& Menu, const std::vector<TMenuEntry>& Entries);

  struct TPendingFolder {
    std::string Path;
    Glib::RefPtr<Gio::Menu> Menu;
  };
  platform::IDialogs* FDialogs;
  Glib::RefPtr<Gio::SimpleActionGroup> FActions;
  Glib::RefPtr<Gio::Menu> FRoot;
  std::vector<Glib::RefPtr<Gio::Icon>> FImages;
  std::vector<TPendingFolder> FFolders;  // index = number in the submenu action's name
  std::vector<std::string> FFolderActions;
};

}  // namespace vorlane::favorites
