#pragma once
// Our "整理收藏夹" dialog: the Favorites folder as a tree (listed as folders are expanded),
// the commands on the selected item and its name and address. Not modal: the browser
// stays usable while it is open. The rules live in TOrganizeFavorites; this binds them to
// the buttons and asks the user through the dialogs (confirmations, names, errors).
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/popover.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "favorites/FavoritesTree.h"
#include "favorites/OrganizeFavorites.h"
#include "framework/GtkDialogs.h"

namespace vorlane::favorites {

class TOrganizeFavoritesDialog : public Gtk::Window {
public:
  // Dialogs: who asks the user; nullptr: our own GTK dialogs, modal over this window.
  TOrganizeFavoritesDialog(Gtk::Window& Parent, platform::IDialogs* Dialogs, const std::string& Favorites);
  ~TOrganizeFavoritesDialog() override;

  // Runs once when the dialog closes (the menu and the tree list the folder again).
  void AddDone(std::function<void()> Done);
  // After the dialog was closed and the Done callbacks ran; the owner frees it.
  std::function<void()> OnClosed;

  // The selected item's path relative to the Favorites folder ("" the folder itself);
  // nullopt when nothing is selected.
  std::optional<std::string> SelectedItem() const;
  // Selects Item, opening the folders it lies in; false when it is not there.
  bool Select(const std::string& Item);

  // The buttons' commands.
  void CreateFolderClick();
  void RenameClick();
  void DeleteClick();
  // Moves the selected item into Folder (relative), asking before replacing.
  void MoveTo(const std::string& Folder);

  TFavoritesTree& Tree() { return FTree; }
  TFavoritesTree& MoveTargets() { return *FFolders; }
  const Gtk::Label& ShownName() const { return FName; }
  const Gtk::Label& ShownAddress() const { return FAddress; }

private:
  std::string ItemOf(const TFavoriteNode* Node) const;
  void UpdateDetails();
  void ShowError(const std::string& Text);
  // Runs an operation; on a conflict asks, then runs it again with Replace. Then the
  // tree is listed again and the resulting item selected.
  void Apply(std::function<TOrganizeResult(bool Replace)> Operation, std::function<void(const std::string&)> After = {});
  void Finished(const std::string& Item);
  void BuildMovePopover();
  void Close();

  TOrganizeFavorites FOrg;
  framework::GtkDialogs FOwnDialogs;
  platform::IDialogs& FDialogs;
  bool FUsable;
  std::vector<std::function<void()>> FDone;
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);

  Gtk::Box FLayout{Gtk::Orientation::VERTICAL, 8};
  Gtk::Box FMain{Gtk::Orientation::HORIZONTAL, 12};
  Gtk::Box FSide{Gtk::Orientation::VERTICAL, 6};
  TFavoritesTree FTree;
  Gtk::Button FCreate, FRename, FDelete, FClose;
  Gtk::MenuButton FMove;
  Gtk::Popover FMovePopover;
  std::unique_ptr<TFavoritesTree> FFolders;
  Gtk::Label FName, FAddress;
};

// The main window's one organize dialog: a second command presents the open one.
class TOrganizeFavoritesCommand {
public:
  ~TOrganizeFavoritesCommand();
  void Execute(Gtk::Window& Parent, platform::IDialogs* Dialogs, const std::string& Favorites,
               std::function<void()> Done);
  TOrganizeFavoritesDialog* Dialog() { return FDialog.get(); }

private:
  std::unique_ptr<TOrganizeFavoritesDialog> FDialog;
  sigc::connection FReap;
};

}  // namespace vorlane::favorites
