#include "platform/KeptFiles.h"

#include "platform/DamagedFile.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <memory>

namespace vorlane::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view RegistryHeader = "; Vorlane registry";

bool RegistryLooksWhole(const fs::path& File, std::uintmax_t Size) {
  if (Size == 0 || Size > MaxRegistryFileSize) return false;
  std::ifstream In(File, std::ios::binary);
  std::string Text(static_cast<size_t>(Size), '\0');
  if (!In.read(Text.data(), static_cast<std::streamsize>(Size))) return false;
  return Text.compare(0, RegistryHeader.size(), RegistryHeader) == 0 &&
         std::memchr(Text.data(), '\0', Text.size()) == nullptr;
}

// SQLite's own verdict on the file's first pages; the locked and the unreachable are no
// verdict on the file.
bool DatabaseIsDamaged(const fs::path& File) {
  sqlite3* Raw = nullptr;
  int Code = sqlite3_open_v2(File.c_str(), &Raw, SQLITE_OPEN_READONLY, nullptr);
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> Db(Raw, &sqlite3_close);
  if (Code == SQLITE_OK) Code = sqlite3_exec(Db.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  Code &= 0xff;
  return Code == SQLITE_NOTADB || Code == SQLITE_CORRUPT;
}

}  // namespace

std::optional<fs::path> SetAsideUnreadableRegistry(const fs::path& File) {
  struct stat St {};
  if (::lstat(File.c_str(), &St) != 0) return std::nullopt;
  if (S_ISREG(St.st_mode) && RegistryLooksWhole(File, static_cast<std::uintmax_t>(St.st_size))) return std::nullopt;
  return SetDamagedFileAside(File);
}

std::optional<fs::path> SetAsideUnreadableDatabase(const fs::path& File) {
  struct stat St {};
  if (::lstat(File.c_str(), &St) != 0) return std::nullopt;
  if (S_ISREG(St.st_mode) && (St.st_size == 0 || !DatabaseIsDamaged(File))) return std::nullopt;
  auto Aside = SetDamagedFileAside(File);
  if (!Aside) return std::nullopt;
  // The journal files belong to the damaged file; they go with it.
  for (const char* Suffix : {"-wal", "-shm"}) {
    fs::path From = File, To = *Aside;
    From += Suffix;
    To += Suffix;
    std::error_code Ec;
    if (fs::exists(fs::symlink_status(From, Ec))) fs::rename(From, To, Ec);
  }
  return Aside;
}

std::string ResetDataText(const std::vector<TResetData>& Reset) {
  if (Reset.empty()) return {};
  std::string Text = "下列数据的文件已损坏，无法读取，已重新开始：";
  for (auto& R : Reset) Text += "\n· " + R.What + "（损坏的文件已移到 " + R.MovedTo.string() + "）";
  return Text;
}

}  // namespace vorlane::platform
