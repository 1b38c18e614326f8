#pragma once
// Where downloads land and how their files are made: a free name is found and held with a
// "NAME.part" file created exclusively beside it, the bytes go there, and only a complete
// download is renamed to its name, never over a file that exists. A file the user has is
// never replaced or removed, whatever happens to the download.
#include <filesystem>
#include <optional>
#include <string>

namespace vorlane::platform {

// Name for the Attempt-th try at a free name: Name itself, then "name (2).ext", "(3)"…
std::string NumberedFileName(const std::string& Name, int Attempt);

// The XDG download folder, else ~/Downloads (not created here).
std::filesystem::path DownloadFolder();

struct TDownloadFile {
  std::filesystem::path Final;  // the name it will have
  std::filesystem::path Part;   // Final + ".part", where the bytes go meanwhile
};

// Makes Folder when missing and holds the first free name among Name, "Name (2)"…: one
// whose final name and part file both do not exist, the part file created with O_EXCL,
// mode 0644 less the umask. Error gets the reason in words when it fails.
std::optional<TDownloadFile> ReserveDownloadFile(const std::filesystem::path& Folder, const std::string& Name,
                                                 std::string& Error);

// Renames the complete part file to its final name, or to the next free number when a
// file of that name appeared meanwhile. The path it has now; nullopt (Error set) when it
// could not be moved, and the part file then stays for the user.
std::optional<std::filesystem::path> CompleteDownloadFile(const TDownloadFile& File, std::string& Error);

// Removes the part file of a download that failed or was cancelled.
void DiscardDownloadFile(const TDownloadFile& File);

// Removes the part file of a download at Final that an earlier run recorded as running
// and never ended (it was killed): Final + ".part", only when that is a plain file.
void DiscardInterruptedDownloadFile(const std::filesystem::path& Final);

// The reason a file operation failed, in Chinese ("磁盘已满"…).
std::string FileErrorText(int Errno);

}  // namespace vorlane::platform
