#include "favorites/OrganizeFavorites.h"

#include <gio/gio.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "favorites/FavoritesTransfer.h"
#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "platform/FileNames.h"

namespace fs = std::filesystem;

namespace vorlane::favorites {

namespace {

constexpr const char* Suffix = ".url";

TOrganizeResult Refuse(std::string Message) { return {TOrganizeStatus::Refused, {}, std::move(Message)}; }
TOrganizeResult Fail(std::string Message) { return {TOrganizeStatus::Failed, {}, std::move(Message)}; }

// Names in messages come from disk: shown as a label shows them.
std::string Quoted(const std::string& Name) { return "「" + ShownFileName(Name) + "」"; }

// Each component names an entry of its folder: no empty, "." or ".." component, no NUL.
bool ValidComponents(const std::string& Item) {
  if (Item.find('\0') != std::string::npos) return false;
  std::size_t Start = 0;
  while (Start <= Item.size()) {
    std::size_t End = Item.find('/', Start);
    if (End == std::string::npos) End = Item.size();
    const std::string_view C(Item.data() + Start, End - Start);
    if (C.empty() || C == "." || C == "..") return false;
    Start = End + 1;
  }
  return true;
}

bool Exists(const fs::path& P) {
  struct stat St;
  return ::lstat(P.c_str(), &St) == 0;
}

bool SameEntry(const fs::path& A, const fs::path& B) {
  struct stat Sa, Sb;
  return ::lstat(A.c_str(), &Sa) == 0 && ::lstat(B.c_str(), &Sb) == 0 && Sa.st_dev == Sb.st_dev &&
         Sa.st_ino == Sb.st_ino;
}

bool IsRealFolder(const fs::path& P) {
  struct stat St;
  return ::lstat(P.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// Moves From to To unless To exists (then errno is EEXIST).
int RenameNoReplace(const fs::path& From, const fs::path& To) {
  if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the flag: the check and the rename are not one step, but nothing
  // the user was not asked about is replaced unless another program races us.
  if (Exists(To)) return EEXIST;
  return ::rename(From.c_str(), To.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::string MoveToTrash(const std::string& Path) {
  std::unique_ptr<GFile, decltype(&g_object_unref)> File(g_file_new_for_path(Path.c_str()), &g_object_unref);
  GError* Error = nullptr;
  if (g_file_trash(File.get(), nullptr, &Error)) return {};
  std::string Message = Error ? Error->message : "未知错误";
  if (Error) g_error_free(Error);
  return Message;
}

std::string ParentOf(const std::string& Item) {
  const auto Slash = Item.rfind('/');
  return Slash == std::string::npos ? std::string() : Item.substr(0, Slash);
}

std::string JoinItem(const std::string& Folder, const std::string& Name) {
  return Folder.empty() ? Name : Folder + "/" + Name;
}

TOrganizeFavorites::TOrganizeFavorites(std::string FavoritesFolder) {
  std::error_code Ec;
  fs::path Root = fs::canonical(FavoritesFolder, Ec);
  FRoot = Ec ? FavoritesFolder : Root.string();
  while (FRoot.size() > 1 && FRoot.back() == '/') FRoot.pop_back();
}

std::string TOrganizeFavorites::CleanName(const std::string& Typed, bool Favorite) {
  if (!Favorite) return platform::FileNameFromTitle(Typed);
  std::string_view Name = Typed;
  if (HasShortcutExtension(Name)) Name.remove_suffix(4);
  return platform::FileNameFromTitle(Name, Suffix);
}

bool TOrganizeFavorites::IsFavorite(const std::string& Item) { return HasShortcutExtension(Item); }

std::string TOrganizeFavorites::DisplayName(const std::string& Item) {
  const std::string Name = Item.substr(Item.rfind('/') + 1);
  return IsFavorite(Name) ? FavoriteTitle(Name) : Name;
}

std::string TOrganizeFavorites::PathOf(const std::string& Item) const {
  if (Item.empty()) return FRoot;
  if (!ValidComponents(Item)) return {};
  return FRoot + "/" + Item;
}

std::string TOrganizeFavorites::CheckFolder(const std::string& Folder) const {
  const std::string Path = PathOf(Folder);
  std::error_code Ec;
  if (Path.empty() || !IsInsideFolder(FRoot, Path)) return "只能在收藏夹之内整理。";
  if (!fs::is_directory(Path, Ec)) return "找不到文件夹" + Quoted(DisplayName(Folder)) + "。";
  return {};
}

std::string TOrganizeFavorites::CheckItem(const std::string& Item) const {
  if (Item.empty()) return "收藏夹本身不能重命名、移动或删除。";
  if (!ValidComponents(Item)) return "只能在收藏夹之内整理。";
  // The item's folder, links resolved, must be ours; the item itself may be a link.
  if (std::string E = CheckFolder(ParentOf(Item)); !E.empty()) return E;
  if (!Exists(PathOf(Item))) return "找不到" + Quoted(DisplayName(Item)) + "。";
  return {};
}

TOrganizeResult TOrganizeFavorites::Place(const std::string& Item, const std::string& Folder,
                                          const std::string& Name, bool Replace, const char* Verb) const {
  if (std::string E = CheckItem(Item); !E.empty()) return Refuse(E);
  if (std::string E = CheckFolder(Folder); !E.empty()) return Refuse(E);
  std::error_code Ec;
  const fs::path Dir = fs::canonical(PathOf(Folder), Ec);
  if (Ec) return Fail("找不到文件夹" + Quoted(DisplayName(Folder)) + "。");
  const fs::path Source = PathOf(Item);
  if (IsRealFolder(Source)) {
    const fs::path Self = fs::canonical(Source, Ec);
    if (Ec) return Fail(Ec.message());
    auto [SelfEnd, DirAt] = std::mismatch(Self.begin(), Self.end(), Dir.begin(), Dir.end());
    if (SelfEnd == Self.end()) return Refuse("不能把文件夹移到它自身或它的子文件夹中。");
  }
  std::string RelDir = Dir.lexically_relative(FRoot).string();
  if (RelDir == ".") RelDir.clear();
  const fs::path Target = Dir / Name;
  const std::string TargetItem = JoinItem(RelDir, Name);
  if (Source == Target) return {TOrganizeStatus::Done, TargetItem, {}};
  // Another entry already there; not the same one under another letter case.
  if (Exists(Target) && !SameEntry(Source, Target)) {
    if (!Replace)
      return {TOrganizeStatus::Conflict, TargetItem,
              Quoted(DisplayName(TargetItem)) + "已存在。\n要替换它吗？"};
    // Replacing a folder that holds the item would send the item to the trash with it.
    if (IsRealFolder(Target) && IsInsideFolder(Target.string(), Source.parent_path().string()))
      return Refuse("不能用" + Quoted(DisplayName(Item)) + "替换包含它的文件夹。");
    if (std::string E = MoveToTrash(Target); !E.empty())
      return Fail("无法把" + Quoted(DisplayName(TargetItem)) + "移到回收站：" + E);
  }
  const int Err = SameEntry(Source, Target) ? (::rename(Source.c_str(), Target.c_str()) == 0 ? 0 : errno)
                                            : RenameNoReplace(Source, Target);
  if (Err == EEXIST)
    return {TOrganizeStatus::Conflict, TargetItem, Quoted(DisplayName(TargetItem)) + "已存在。\n要替换它吗？"};
  if (Err) return Fail(std::string("无法") + Verb + Quoted(DisplayName(Item)) + "：" + std::strerror(Err));
  return {TOrganizeStatus::Done, TargetItem, {}};
}

TOrganizeResult TOrganizeFavorites::Rename(const std::string& Item, const std::string& NewName, bool Replace) const {
  if (std::string E = CheckItem(Item); !E.empty()) return Refuse(E);
  const bool Favorite = !IsRealFolder(PathOf(Item)) && IsFavorite(Item);
  const std::string Name = CleanName(NewName, Favorite);
  if (Name.empty()) return Refuse("名称不能为空。");
  return Place(Item, ParentOf(Item), Name, Replace, "重命名");
}

TOrganizeResult TOrganizeFavorites::Move(const std::string& Item, const std::string& Folder, bool Replace) const {
  if (std::string E = CheckItem(Item); !E.empty()) return Refuse(E);
  return Place(Item, Folder, Item.substr(Item.rfind('/') + 1), Replace, "移动");
}

TOrganizeResult TOrganizeFavorites::NewFolder(const std::string& Folder, const std::string& Name) const {
  if (std::string E = CheckFolder(Folder); !E.empty()) return Refuse(E);
  std::error_code Ec;
  const fs::path Dir = fs::canonical(PathOf(Folder), Ec);
  if (Ec) return Fail(Ec.message());
  std::string RelDir = Dir.lexically_relative(FRoot).string();
  if (RelDir == ".") RelDir.clear();
  auto Make = [&](const std::string& N) { return ::mkdir((Dir / N).c_str(), 0777) == 0 ? 0 : errno; };
  if (!Name.empty()) {
    const std::string Clean = CleanName(Name, false);
    if (Clean.empty()) return Refuse("名称不能为空。");
    const int Err = Make(Clean);
    if (Err == EEXIST) return Refuse(Quoted(Clean) + "已存在。");
    if (Err) return Fail("无法创建文件夹" + Quoted(Clean) + "：" + std::strerror(Err));
    return {TOrganizeStatus::Done, JoinItem(RelDir, Clean), {}};
  }
  for (int N = 1; N < 10000; ++N) {
    const std::string Candidate = N == 1 ? std::string(NewFolderName) : std::string(NewFolderName) + " (" + std::to_string(N) + ")";
    const int Err = Make(Candidate);
    if (Err == 0) return {TOrganizeStatus::Done, JoinItem(RelDir, Candidate), {}};
    if (Err != EEXIST) return Fail("无法创建文件夹" + Quoted(Candidate) + "：" + std::strerror(Err));
  }
  return Fail("无法创建文件夹：名称都已被占用。");
}

TOrganizeResult TOrganizeFavorites::Trash(const std::string& Item) const {
  if (std::string E = CheckItem(Item); !E.empty()) return Refuse(E);
  if (std::string E = MoveToTrash(PathOf(Item)); !E.empty())
    return Fail("无法把" + Quoted(DisplayName(Item)) + "移到回收站：" + E);
  return {TOrganizeStatus::Done, Item, {}};
}

std::string TOrganizeFavorites::AddressOf(const std::string& Item) const {
  if (Item.empty() || !IsFavorite(Item) || !CheckItem(Item).empty()) return {};
  std::error_code Ec;
  const std::string Path = PathOf(Item);
  if (!fs::is_regular_file(Path, Ec)) return {};  // a FIFO must not block the dialog
  return ReadShortcutUrl(Path, TResolveUrl::IntShCut);
}

}  // namespace vorlane::favorites
