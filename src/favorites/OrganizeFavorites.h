#pragma once
// The operations of "整理收藏夹" on the Favorites folder, without a display: rename, new
// folder, move and delete to the trash. Items are named by their path relative to the
// Favorites folder, as the listing gave them ("News/a.url"; "" is the folder itself); every
// path is built from the folder plus checked components, and new names are cleaned by the
// same rules as a new favorite. Nothing is ever overwritten without the caller saying so,
// nothing leaves the Favorites folder, and nothing is deleted for good: what is replaced or
// deleted goes to the trash. Failures come back as Chinese messages, never as exceptions.
#include <string>

namespace vorlane::favorites {

enum class TOrganizeStatus {
  Done,      // Item holds the new relative path
  Conflict,  // the target exists: ask, then call again with Replace
  Refused,   // the request breaks a rule (empty name, outside the folder, into itself)
  Failed     // the file system said no
};

struct TOrganizeResult {
  TOrganizeStatus Status = TOrganizeStatus::Done;
  std::string Item;     // the item's relative path after the operation (Done, Conflict: the target)
  std::string Message;  // what to tell the user (Refused, Failed; Conflict: the question)
  bool Ok() const { return Status == TOrganizeStatus::Done; }
};

inline constexpr const char* NewFolderName = "新建文件夹";

class TOrganizeFavorites {
public:
  explicit TOrganizeFavorites(std::string FavoritesFolder);

  const std::string& Root() const { return FRoot; }

  // The file name a typed name gives: a folder's name, or a favorite's with ".url" (a typed
  // ".url" is not doubled). Empty when nothing of it is left.
  static std::string CleanName(const std::string& Typed, bool Favorite);
  // The name a user sees for an item: the last component, a favorite's without ".url".
  static std::string DisplayName(const std::string& Item);
  static bool IsFavorite(const std::string& Item);

  // Replace: the user agreed to replace an existing target, which goes to the trash first.
  TOrganizeResult Rename(const std::string& Item, const std::string& NewName, bool Replace = false) const;
  // A folder named Name in Folder; with no name the first free of "新建文件夹",
  // "新建文件夹 (2)"… An existing folder is never replaced: that is refused.
  TOrganizeResult NewFolder(const std::string& Folder, const std::string& Name = {}) const;
  TOrganizeResult Move(const std::string& Item, const std::string& Folder, bool Replace = false) const;
  // Item itself goes to the trash; a link goes, not what it points to.
  TOrganizeResult Trash(const std::string& Item) const;

  // The address of a favorite (empty when it has none or is not a favorite).
  std::string AddressOf(const std::string& Item) const;
  // The absolute path of a checked relative path; empty when it is not acceptable.
  std::string PathOf(const std::string& Item) const;

private:
  // Empty when Item is acceptable and exists inside the folder; else the message.
  std::string CheckItem(const std::string& Item) const;
  std::string CheckFolder(const std::string& Folder) const;
  TOrganizeResult Place(const std::string& Item, const std::string& Folder, const std::string& Name,
                        bool Replace, const char* Verb) const;

  std::string FRoot;  // canonical, without a trailing "/"
};

// Relative paths: the parent ("" for a top-level item) and the joining of a folder and a name.
std::string ParentOf(const std::string& Item);
std::string JoinItem(const std::string& Folder, const std::string& Name);

// Moves the entry at Path itself (never what a link points to) to the trash: empty when
// done, else the reason.
std::string MoveToTrash(const std::string& Path);

}  // namespace vorlane::favorites
