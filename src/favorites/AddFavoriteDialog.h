#pragma once
// Our "添加收藏" dialog: the name (from the page's title, cleaned for a file name) and the
// folder inside Favorites. The page was captured before it opens, so closing the page
// meanwhile changes nothing. Added runs after the favorite was written.
#include <gtkmm/window.h>

#include <functional>
#include <string>

#include "favorites/FavoritesTransfer.h"

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::favorites {

void ShowAddFavoriteDialog(Gtk::Window& Parent, platform::IDialogs& Dialogs, const std::string& Favorites,
                           const TPageSnapshot& Page, std::function<void()> Added);

}  // namespace vorlane::favorites
