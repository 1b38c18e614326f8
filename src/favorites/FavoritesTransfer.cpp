#include "favorites/FavoritesTransfer.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "favorites/ExportFavorites.h"
#include "favorites/ImportFavorites.h"
#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "favorites/OrganizeFavorites.h"
#include "platform/Dialogs.h"
#include "platform/FileNames.h"

namespace fs = std::filesystem;

namespace vorlane::favorites {

std::pair<std::string, std::string> SplitLocalPath(const std::string& LocalPath) {
  const auto Slash = LocalPath.rfind('/');
  if (Slash == std::string::npos) return {{}, LocalPath};
  return {LocalPath.substr(0, Slash + 1), LocalPath.substr(Slash + 1)};
}

std::string ExportFileName(const std::string& Chosen) {
  if (Chosen.empty()) return Chosen;
  fs::path P(Chosen);
  P.replace_extension(".htm");  // a leading dot is part of the name, not an extension
  return P.string();
}

void TFavoritesTransfer::Export(std::function<void()> After) {
  if (!Exporter || FPending) return;
  auto Run = [this, After] {
    std::error_code Ec;
    if (!fs::is_directory(Exporter->TargetPath(), Ec)) return;
    Exporter->ExportFavoritesFile();
    if (After) After();
  };
  if (!OnExportClick) return Run();
  FPending = true;
  std::weak_ptr<int> Alive = FAlive;
  OnExportClick(Exporter->TargetPath() + Exporter->TargetFileName(), [this, Alive, Run](std::string LocalPath) {
    if (Alive.expired()) return;  // the component went while the dialog was open
    FPending = false;
    auto [Dir, Name] = SplitLocalPath(LocalPath);
    Exporter->SetTargetPath(Dir);
    Exporter->SetTargetFileName(Name);
    if (!LocalPath.empty()) Run();
  });
}

void TFavoritesTransfer::Import(std::function<void()> After) {
  if (!Importer || FPending || !OnImportClick) return;
  FPending = true;
  std::weak_ptr<int> Alive = FAlive;
  OnImportClick(Importer->CurrentFilePath() + Importer->CurrentFileName(), [this, Alive, After](std::string LocalPath) {
    if (Alive.expired()) return;
    FPending = false;
    auto [Dir, Name] = SplitLocalPath(LocalPath);
    Importer->SetCurrentFilePath(Dir);
    Importer->SetCurrentFileName(Name);
    // The file's name is the user's, but the folder made from it must suit Windows too.
    if (std::string Folder = platform::FileNameFromTitle(fs::path(Name).stem().string()); !Folder.empty())
      Importer->SetTargetSubFolder(Folder);
    std::error_code Ec;
    if (LocalPath.empty() || !fs::is_regular_file(LocalPath, Ec)) return;
    Importer->ImportFavoritesFile();
    if (After) After();
  });
}

void ChooseExportFile(platform::IDialogs& Dialogs, const std::string& Proposed, std::function<void(std::string)> Done) {
  Dialogs.SaveFile("导出收藏夹", Proposed, platform::ParseFileFilter(BookmarkFileFilter),
                   [&Dialogs, Done](std::optional<std::string> Chosen) {
                     if (!Chosen || Chosen->empty()) return Done({});
                     const std::string Name = ExportFileName(*Chosen);
                     std::error_code Ec;
                     if (Name == *Chosen || !fs::exists(Name, Ec)) return Done(Name);
                     // The dialog confirmed another name; this one was never shown to the user.
                     Dialogs.ShowMessage(platform::MessageKind::Confirmation, "导出收藏夹",
                                         ShownFileName(Name) + " 已存在。\n要替换它吗？", platform::MessageButtons::YesNo,
                                         [Done, Name](platform::MessageResult R) {
                                           Done(R == platform::MessageResult::Yes ? Name : std::string());
                                         });
                   });
}

void ChooseImportFile(platform::IDialogs& Dialogs, const std::string& Proposed, std::function<void(std::string)> Done) {
  Dialogs.OpenFile("导入收藏夹", Proposed, platform::ParseFileFilter(BookmarkFileFilter),
                   [Done](std::optional<std::string> Chosen) { Done(Chosen ? *Chosen : std::string()); });
}

namespace {
std::string HostOf(const std::string& Url) {
  const auto Scheme = Url.find("://");
  if (Scheme == std::string::npos) return {};
  std::string Rest = Url.substr(Scheme + 3);
  Rest = Rest.substr(0, Rest.find_first_of("/?#"));
  if (const auto At = Rest.rfind('@'); At != std::string::npos) Rest = Rest.substr(At + 1);
  return Rest;
}
}  // namespace

std::string FavoriteFileName(const std::string& Title, const std::string& Url) {
  std::string Name = platform::FileNameFromTitle(Title, ".url");
  if (Name.empty()) Name = platform::FileNameFromTitle(HostOf(Url), ".url");
  return Name;
}

bool IsInsideFolder(const std::string& Root, const std::string& Path) {
  std::error_code Ec1, Ec2;
  const fs::path R = fs::canonical(Root, Ec1), P = fs::weakly_canonical(Path, Ec2);
  if (Ec1 || Ec2) return false;
  auto [RootEnd, _] = std::mismatch(R.begin(), R.end(), P.begin(), P.end());
  return RootEnd == R.end();
}

}  // namespace vorlane::favorites

namespace vorlane::favorites {

void SaveFavorite(platform::IDialogs& Dialogs, const std::string& Favorites, const std::string& Folder,
                  const std::string& Name, const std::string& Url, std::function<void(bool)> Done) {
  const std::string File = platform::FileNameFromTitle(Name, ".url");
  auto Fail = [&Dialogs, Done](const std::string& Text) {
    Dialogs.ShowMessage(platform::MessageKind::Error, "添加收藏", Text);
    Done(false);
  };
  if (File.empty()) return Fail("名称不能为空。");
  if (!IsInsideFolder(Favorites, Folder)) return Fail("只能添加到收藏夹之内的文件夹。");
  const fs::path Target = fs::path(Folder) / File;
  auto Write = [&Dialogs, Target, Url, Done] {
    try {
      WriteShortcutUrl(Target, Url);
      Done(true);
    } catch (const std::exception& E) {
      Dialogs.ShowMessage(platform::MessageKind::Error, "添加收藏", E.what());
      Done(false);
    }
  };
  std::error_code Ec;
  if (!fs::exists(fs::symlink_status(Target, Ec))) return Write();
  Dialogs.ShowMessage(platform::MessageKind::Confirmation, "添加收藏",
                      "收藏夹中已有“" + File.substr(0, File.size() - 4) + "”。\n要替换它吗？",
                      platform::MessageButtons::YesNo, [Write, Fail, Done, Target](platform::MessageResult R) {
                        if (R != platform::MessageResult::Yes) return Done(false);
                        // A new file, not a write through whatever the old name was (a link);
                        // the old one can still be had back from the trash.
                        if (std::string E = MoveToTrash(Target.string()); !E.empty())
                          return Fail("无法把“" + ShownFileName(Target.filename().string()) + "”移到回收站：" + E);
                        Write();
                      });
}

}  // namespace vorlane::favorites
