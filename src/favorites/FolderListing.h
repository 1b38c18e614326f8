#pragma once
// One level of a Favorites folder listed on a worker thread, so that a dialog that shows
// the folders never waits for the disk on the UI thread.
#include <functional>
#include <string>
#include <vector>

namespace vorlane::favorites {

// The subfolders of Folder (as ListFavoritesFolder gives them) handed to Done on the
// thread-default main context of this call. Done always runs; the caller checks that what
// it fills still exists.
void ListSubfoldersInBackground(std::string Folder, std::function<void(std::vector<std::string>)> Done);

}  // namespace vorlane::favorites
