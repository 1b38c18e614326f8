#include "platform/DamagedFile.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace vorlane::platform {
namespace {

// Enough for any burst of damage within one second; past it something else is wrong.
constexpr int MaxSuffix = 1000;

std::string Stamp(std::chrono::system_clock::time_point Now) {
  std::time_t T = std::chrono::system_clock::to_time_t(Now);
  std::tm Local{};
  localtime_r(&T, &Local);
  char Text[32];
  std::strftime(Text, sizeof Text, "%Y%m%d-%H%M%S", &Local);
  return Text;
}

// Renames without replacing: a damaged file set aside earlier is never overwritten.
// false with errno EEXIST when Target is taken.
bool RenameNoReplace(const std::filesystem::path& From, const std::filesystem::path& Target) {
  if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, Target.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot rename exclusively: look first, which is good enough for one program.
  struct stat Info;
  if (::lstat(Target.c_str(), &Info) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(From.c_str(), Target.c_str()) == 0;
}

}  // namespace

std::optional<std::filesystem::path> SetDamagedFileAside(const std::filesystem::path& File) {
  return SetDamagedFileAside(File, std::chrono::system_clock::now());
}

std::optional<std::filesystem::path> SetDamagedFileAside(const std::filesystem::path& File,
                                                         std::chrono::system_clock::time_point Now) {
  std::string Name = File.filename().string();
  if (Name.empty() || Name == "." || Name == "..") return std::nullopt;
  std::string Base = Name + ".damaged-" + Stamp(Now);
  for (int N = 0; N <= MaxSuffix; ++N) {
    std::filesystem::path Target = File.parent_path() / (N ? Base + "-" + std::to_string(N) : Base);
    if (RenameNoReplace(File, Target)) return Target;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace vorlane::platform
