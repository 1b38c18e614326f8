#pragma once
// Our "添加收藏" dialog: the name (from the page's title, cleaned for a file name) and the
// folder inside Favorites. The page was captured before it opens, so closing the page
// meanwhile changes nothing. Added runs after the favorite was written.
#include <gtkmm/entry.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>

#include "favorites/FavoriteFolderChooser.h"
#include "favorites/FavoritesTransfer.h"

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::favorites {

class TAddFavoriteDialog : public Gtk::Window {
public:
  TAddFavoriteDialog(Gtk::Window& Parent, platform::IDialogs& Dialogs, const std::string& Favorites,
                     const TPageSnapshot& Page, std::function<void()> Added);

  Gtk::Entry& NameEntry() { return FName; }
  TFavoriteFolderChooser& Folders() { return FFolders; }
  // OK: closes the dialog, then writes the favorite (asking before replacing one).
  void Accept();
  void Close();
  // After the dialog was closed; ShowAddFavoriteDialog frees it here.
  std::function<void()> OnClosed;

private:
  platform::IDialogs& FDialogs;
  std::string FRoot;
  TPageSnapshot FPage;
  std::function<void()> FAdded;
  bool FClosed = false;
  Gtk::Entry FName;
  TFavoriteFolderChooser FFolders;
};

// Shows a dialog that frees itself once closed.
void ShowAddFavoriteDialog(Gtk::Window& Parent, platform::IDialogs& Dialogs, const std::string& Favorites,
                           const TPageSnapshot& Page, std::function<void()> Added);

}  // namespace vorlane::favorites
