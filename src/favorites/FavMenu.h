#pragma once
// TFavoritesMenu: the favorites menu of the menu bar as a Gio::Menu. Each folder's
// submenu is listed when it opens (GTK's menu tracker turns the submenu's "submenu-action"
// on), and so is the menu's own top level in a bar. GTK's menu bar builds a nested popover
// for every folder whenever a menu of the bar is replaced, and tears the old one down: with
// a thousand folders that took seconds at every start and every rebuild. So in a bar a
// rebuild keeps the menu and only marks its levels as stale; a level is listed again when
// it next opens, and only what changed on disk is inserted or removed. A menu in no bar is
// built anew, its top level listed at once. Items act through the action group Actions(),
// which the host inserts under the prefix "fav".
#include <gio/gio.h>
#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <giomm/icon.h>

#include <functional>
#include <map>
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
  // Lists the level of submenu action Name, once after each rebuild; what the menu
  // tracker triggers when the submenu (or, for "top", the bar's menu) opens.
  void FolderOpened(const std::string& ActionName);
  bool Listed(const std::string& ActionName) const;

private:
  // A menu filled from a folder when it opens.
  struct TLevel {
    std::string Path;
    Glib::RefPtr<Gio::Menu> Menu;
    std::vector<TMenuEntry> Shown;  // what Menu holds
    bool Current = false;           // listed since the last rebuild
  };
  // Made for Entry, at Position of Level's menu; a folder gets its submenu and action.
  void Insert(TLevel& Level, std::size_t Position, const TMenuEntry& Entry);
  void Remove(TLevel& Level, std::size_t Position);
  void Append(const Glib::RefPtr<Gio::Menu>& Menu, const TMenuEntry& Entry);
  GMenuItem* MakeItem(const TMenuEntry& Entry);
  // Brings Level's menu to Want, inserting and removing only what differs.
  void Merge(TLevel& Level, const std::vector<TMenuEntry>& Want);
  void AddLevelAction(const std::string& Name);
  void DropLevel(const std::string& Name);
  void DropAllLevels();

  platform::IDialogs* FDialogs;
  Glib::RefPtr<Gio::SimpleActionGroup> FActions;
  Glib::RefPtr<Gio::Menu> FRoot;
  std::vector<Glib::RefPtr<Gio::Icon>> FImages;
  std::map<std::string, TLevel> FLevels;             // by submenu action
  std::map<std::string, std::string> FLevelOfFolder;  // folder path -> its submenu action
  std::vector<TMenuEntry> FFixed;                     // the fixed entries the root was built with
  unsigned FNextFolder = 0;
};

}  // namespace vorlane::favorites
