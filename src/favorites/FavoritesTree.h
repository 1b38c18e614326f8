#pragma once
// TFavoritesTree: the Favorites folder as a tree in a list view over a Gtk::TreeListModel.
// The top level is listed when the tree is loaded; a folder is listed (FillNode) when it is
// first expanded or activated, and only once. Each node keeps its name on disk, so the
// path of a node never depends on how its caption is shown. A directory monitor reports
// changes through OnFavoritesChanged; Refresh re-lists the folders already listed, keeping
// expansion and selection. ReloadFavorites gives the tree of a fresh load (only the top
// level listed), keeping the nodes, and so the rows, of what did not change.
#include <giomm/liststore.h>
#include <gtkmm/listitem.h>
#include <gtkmm/listview.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/singleselection.h>
#include <gtkmm/treelistmodel.h>
#include <giomm/icon.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/gestureclick.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "favorites/DIRMonitor.h"
#include "favorites/FavoriteRow.h"
#include "favorites/FavMenu.h"
#include "favorites/FavoritesTransfer.h"

namespace vorlane::favorites {

enum class TNodeType { ntRoot, ntItem, ntEmptyFolder, ntFolder, ntOrganizeFavorites, ntImportFavorites,
                       ntExportFavorites };

enum TFavoriteOption : std::uint8_t {
  foShowRoot = 1, foShowItems = 2, foShowOrganize = 4, foShowImport = 8, foShowExport = 16
};

class TFavoriteNode : public Glib::Object {
public:
  static Glib::RefPtr<TFavoriteNode> create(std::string Caption, std::string FileName, TNodeType Type,
                                            TFavoriteNode* Parent);
  std::string Caption;   // what the user sees
  std::string FileName;  // the name on disk (with ".url" for a favorite); empty for other nodes
  TNodeType Type;
  TFavoriteNode* Parent;  // owned by the parent's Children
  // The nodes below this one (the root's and folders'), made on first use.
  Glib::RefPtr<Gio::ListStore<TFavoriteNode>> Children();

protected:
  TFavoriteNode(std::string Caption, std::string FileName, TNodeType Type, TFavoriteNode* Parent);

private:
  Glib::RefPtr<Gio::ListStore<TFavoriteNode>> FChildren;
};

class TFavoritesTree : public Gtk::ScrolledWindow {
public:
  TFavoritesTree(platform::IDialogs& Dialogs, std::string FavoritesFolder, std::uint8_t Options = 31);
  ~TFavoritesTree() override;

  std::function<ILinkedBrowser*()> BrowserControl;
  TFavoritesTransfer Transfer;  // importer, exporter, OnImportClick, OnExportClick
  std::function<void(const std::string& Url)> OnNavigate;
  std::function<void(TFavoriteNode&)> OnNodeAdded;
  std::function<void(TFavoriteNode&)> OnNodeMissing;
  std::function<void()> OnFavoritesChanged;
  std::function<void(std::function<void()> Done)> OnOrganize;
  // The icon of a node by its type; the sidebar's table.
  std::function<Glib::RefPtr<Gio::Icon>(TNodeType)> OnGetImage;

  std::uint8_t Options() const { return FOptions; }
  void SetOptions(std::uint8_t Value) { FOptions = Value; }
  bool Watching() const { return FMonitor != nullptr; }
  // False: the tree never watches the folder (one that is listed afresh each time it shows).
  bool WatchChanges = true;
  void StopWatching() { FMonitor.reset(); }

  void ReloadFavorites();
  void FillNode(TFavoriteNode* Node);
  std::string NodePath(const TFavoriteNode* Node) const;
  // Re-lists the folders already listed on the next idle; calls in between make one.
  void ScheduleRefresh();
  void Refresh();

  // The double-click of the node at Position of the visible rows.
  void ActivateRow(unsigned Position);
  // Visible rows, for the host and tests.
  unsigned RowCount() const { return FTreeModel->get_n_items(); }
  TFavoriteNode* NodeAt(unsigned Position) const;
  Glib::RefPtr<Gtk::TreeListRow> RowOf(const TFavoriteNode* Node) const;
  // The row of Item (its path below the Favorites folder, "" the root), listing and
  // expanding the folders on the way; nullopt when there is no such node.
  std::optional<unsigned> Reveal(const std::string& Item);
  Gtk::ListView& View() { return FView; }

private:
  Glib::RefPtr<TFavoriteNode> AddFavoriteNode(TFavoriteNode* Parent, std::string Caption, std::string FileName,
                                              TNodeType Type);
  Glib::RefPtr<Gio::ListStore<TFavoriteNode>> StoreOf(TFavoriteNode* Node) const;
  void RemoveNode(TFavoriteNode* Node);
  // How a refresh treats the folders it keeps: re-lists those listed, or closes and
  // unlists them all (a reload).
  enum class TRefresh { RelistFolders, UnlistFolders };
  void RefreshNode(TFavoriteNode* Node, TRefresh How = TRefresh::RelistFolders);
  // Closes a listed folder's Row (none when it is not shown) and forgets its listing.
  void Unlist(TFavoriteNode* Node, const Glib::RefPtr<Gtk::TreeListRow>& Row);
  // Whether the tree holds the root and command nodes that Options ask for.
  bool HasTopFor(std::uint8_t Options) const;
  void WatchFavorites();
  void SetupFactory();
  // The image of a node type at the view's scale, looked up once per type; the first call
  // also loads what all rows share.
  Glib::RefPtr<Gdk::Paintable> ImageOf(TNodeType Type);
  // A press on a row's arrow expands or collapses it, without selecting the row.
  void OnViewPressed(int PressCount, double X, double Y);
  // Right, "+" and "*" expand the selected row; Left, "-" and "/" collapse it.
  bool OnViewKey(guint KeyVal, Gdk::ModifierType State);

  platform::IDialogs& FDialogs;
  std::string FFavorites;  // ends with "/"; empty when there is no Favorites folder
  std::uint8_t FOptions;
  std::unique_ptr<TDIRMonitor> FMonitor;
  Glib::RefPtr<Gio::ListStore<TFavoriteNode>> FTop;
  Glib::RefPtr<Gtk::TreeListModel> FTreeModel;
  Glib::RefPtr<Gtk::SingleSelection> FSelection;
  std::shared_ptr<TRowLook> FLook = std::make_shared<TRowLook>();
  std::map<TNodeType, Glib::RefPtr<Gdk::Paintable>> FImages;
  Gtk::ListView FView;
  Glib::RefPtr<Gtk::GestureClick> FArrowClick;
  Glib::RefPtr<Gtk::EventControllerKey> FExpandKeys;
  std::map<Gtk::ListItem*, sigc::connection> FExpandWatch;
  sigc::connection FRefreshIdle;
};

}  // namespace vorlane::favorites
