#include "platform/DurableFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vorlane::platform {
namespace {

std::string Failure(const std::filesystem::path& Path, int Errno) {
  return Path.string() + ": " + std::generic_category().message(Errno);
}

class TFileDescriptor {
public:
  explicit TFileDescriptor(int Fd) : FFd(Fd) {}
  ~TFileDescriptor() {
    if (FFd >= 0) ::close(FFd);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return FFd; }
  // Closes now, so that a late write error (some file systems report it here) is seen.
  int Close() {
    int Result = ::close(FFd);
    FFd = -1;
    return Result;
  }

private:
  int FFd;
};

// The temporary file, removed unless it was renamed into place.
class TTemporaryName {
public:
  explicit TTemporaryName(std::string Path) : FPath(std::move(Path)) {}
  ~TTemporaryName() {
    if (!FKept) ::unlink(FPath.c_str());
  }
  TTemporaryName(const TTemporaryName&) = delete;
  TTemporaryName& operator=(const TTemporaryName&) = delete;

  char* Data() { return FPath.data(); }
  const char* Get() const { return FPath.c_str(); }
  void Keep() { FKept = true; }

private:
  std::string FPath;
  bool FKept = false;
};

bool WriteAll(int Fd, std::string_view Contents) {
  while (!Contents.empty()) {
    ssize_t Done = ::write(Fd, Contents.data(), Contents.size());
    if (Done < 0 && errno == EINTR) continue;
    if (Done <= 0) {
      if (Done == 0) errno = EIO;
      return false;
    }
    Contents.remove_prefix(static_cast<std::size_t>(Done));
  }
  return true;
}

}  // namespace

std::optional<std::string> ReplaceFileDurably(const std::filesystem::path& Path, std::string_view Contents) {
  std::filesystem::path Folder = Path.parent_path().empty() ? std::filesystem::path(".") : Path.parent_path();
  std::error_code Ec;
  std::filesystem::create_directories(Folder, Ec);
  if (Ec) return Folder.string() + ": " + Ec.message();

  // mkostemp creates the file with mode 0600 and a name no other writer picks.
  TTemporaryName Temporary((Folder / Path.filename()).string() + ".tmp-XXXXXX");
  TFileDescriptor File(::mkostemp(Temporary.Data(), O_CLOEXEC));
  if (File.Get() < 0) {
    int Error = errno;
    Temporary.Keep();  // nothing was created
    return Failure(Folder, Error);
  }
  // Held while the file is being written: a temporary nobody holds is a leftover.
  ::flock(File.Get(), LOCK_EX | LOCK_NB);
  if (!WriteAll(File.Get(), Contents) || ::fsync(File.Get()) != 0 || File.Close() != 0)
    return Failure(Path, errno);
  if (::rename(Temporary.Get(), Path.c_str()) != 0) return Failure(Path, errno);
  Temporary.Keep();

  // Without this the rename may be lost after a power cut, bringing back the old file.
  TFileDescriptor Directory(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (Directory.Get() < 0) return Failure(Folder, errno);
  // Some file systems cannot sync a folder (EINVAL); the rename is as safe there as it gets.
  if (::fsync(Directory.Get()) != 0 && errno != EINVAL) return Failure(Folder, errno);
  return std::nullopt;
}

bool IsLeftoverTemporary(const std::filesystem::path& File, std::chrono::seconds OlderThan) {
  std::error_code Ec;
  if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(File, Ec))) return false;
  auto Written = std::filesystem::last_write_time(File, Ec);
  if (!Ec && std::filesystem::file_time_type::clock::now() - Written > OlderThan) return true;
  // Its writer holds it locked until the rename; free, the writer died before that.
  TFileDescriptor Held(::open(File.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  return Held.Get() >= 0 && ::flock(Held.Get(), LOCK_EX | LOCK_NB) == 0;
}

void RemoveStaleTemporaries(const std::filesystem::path& Path, std::chrono::seconds OlderThan) {
  const std::string Prefix = Path.filename().string() + ".tmp-";
  std::error_code Ec;
  for (const auto& Entry : std::filesystem::directory_iterator(Path.parent_path(), Ec)) {
    const std::string Name = Entry.path().filename().string();
    // Only what ReplaceFileDurably makes: the prefix and six characters of mkostemp.
    if (Name.size() != Prefix.size() + 6 || Name.compare(0, Prefix.size(), Prefix) != 0) continue;
    if (IsLeftoverTemporary(Entry.path(), OlderThan)) std::filesystem::remove(Entry.path(), Ec);
  }
}

}  // namespace vorlane::platform
