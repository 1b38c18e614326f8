#include "platform/DownloadFiles.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane::platform {

namespace {

constexpr int MaxAttempts = 999;

bool Exists(const std::filesystem::path& Path) {
  struct stat Info;
  return lstat(Path.c_str(), &Info) == 0;
}

// rename() that fails with EEXIST rather than replace what is there.
int RenameNoReplace(const std::filesystem::path& From, const std::filesystem::path& To) {
  if (renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without it: a hard link fails the same way, then the old name goes.
  if (link(From.c_str(), To.c_str()) != 0) return errno;
  unlink(From.c_str());
  return 0;
}

}  // namespace

std::string NumberedFileName(const std::string& Name, int Attempt) {
  if (Attempt <= 1) return Name;
  size_t Dot = Name.find_last_of('.');
  if (Dot == std::string::npos || Dot == 0) Dot = Name.size();
  return Name.substr(0, Dot) + " (" + std::to_string(Attempt) + ")" + Name.substr(Dot);
}

std::filesystem::path DownloadFolder() {
  if (const char* Dir = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD); Dir && *Dir) return Dir;
  return std::filesystem::path(g_get_home_dir()) / "Downloads";
}

std::string FileErrorText(int Errno) {
  switch (Errno) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "磁盘已满";
    case ENOTDIR: return "下载文件夹的位置上是一个文件，不是文件夹";
    case ENOENT: return "下载文件夹不存在";
    case EACCES:
    case EPERM:
    case EROFS: return "没有权限写入下载文件夹";
    case ENAMETOOLONG:
    case EINVAL: return "无法用这个名称创建文件";
    default: break;
  }
  return std::strerror(Errno);
}

std::optional<TDownloadFile> ReserveDownloadFile(const std::filesystem::path& Folder, const std::string& Name,
                                                 std::string& Error) {
  if (g_mkdir_with_parents(Folder.c_str(), 0755) != 0) {
    Error = FileErrorText(errno);
    return std::nullopt;
  }
  for (int Attempt = 1; Attempt <= MaxAttempts; ++Attempt) {
    TDownloadFile File{Folder / NumberedFileName(Name, Attempt), {}};
    File.Part = File.Final;
    File.Part += ".part";
    if (Exists(File.Final)) continue;
    int Fd = open(File.Part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (Fd >= 0) {
      close(Fd);
      return File;
    }
    if (errno != EEXIST) {
      Error = FileErrorText(errno);
      return std::nullopt;
    }
  }
  Error = "下载文件夹里同名的文件太多";
  return std::nullopt;
}

std::optional<std::filesystem::path> CompleteDownloadFile(const TDownloadFile& File, std::string& Error) {
  const std::string Name = File.Final.filename().string();
  for (int Attempt = 1; Attempt <= MaxAttempts; ++Attempt) {
    std::filesystem::path Target = File.Final.parent_path() / NumberedFileName(Name, Attempt);
    int Failure = RenameNoReplace(File.Part, Target);
    if (Failure == 0) return Target;
    if (Failure != EEXIST) {
      Error = FileErrorText(Failure);
      return std::nullopt;
    }
  }
  Error = "下载文件夹里同名的文件太多";
  return std::nullopt;
}

void DiscardDownloadFile(const TDownloadFile& File) { unlink(File.Part.c_str()); }

void DiscardInterruptedDownloadFile(const std::filesystem::path& Final) {
  // Only what a running download's record names: an absolute path we reserved. A link or a
  // folder standing there now is not the file we made.
  if (!Final.is_absolute() || !Final.has_filename()) return;
  std::filesystem::path Part = Final;
  Part += ".part";
  struct stat Info;
  if (lstat(Part.c_str(), &Info) == 0 && S_ISREG(Info.st_mode)) unlink(Part.c_str());
}

}  // namespace vorlane::platform
