#pragma once
// The process's list of small icons, as the old system image list was: a stable integer
// index for each themed icon, shared by the address box, the history list and the
// favorites tree. An icon is a themed-icon name list, most specific first (the widget side
// turns it into a Gio::ThemedIcon, which falls back along the list). Icons for files are
// chosen from the content type guessed from the name alone: the disk is never touched.
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorlane::platform {

// What the old shell's special-folder identifiers (CSIDL) stand for when drawn.
enum class SpecialFolderIcon {
  Desktop = 0, Programs = 2, ControlPanel = 3, Printers = 4, Personal = 5, Favorites = 6,
  Startup = 7, Recent = 8, SendTo = 9, RecycleBin = 10, StartMenu = 11,
  DesktopDirectory = 16, MyComputer = 17, Network = 18, NetHood = 19, Fonts = 20,
  Templates = 21, AppData = 26, PrintHood = 27,
};

class SystemIcons {
public:
  static constexpr int NoIcon = -1;
  static constexpr int IconSize = 16;

  // The list every widget of the process draws from.
  static SystemIcons& Shared();

  // The index of an icon given by its names (most specific first); the same names always
  // give the same index within the process.
  int IndexOfNames(const std::vector<std::string>& Names);
  int IndexOfName(const std::string& Name) { return IndexOfNames({Name}); }
  // The names at Index; empty for NoIcon or an index never handed out.
  std::vector<std::string> Names(int Index) const;
  std::string Name(int Index) const;
  int Count() const;

  // The icon of a file called Name (a base name or a path; only the name is read).
  int FileIcon(const std::string& Name);
  int FolderIcon() { return IndexOfNames({"folder"}); }
  // The icon of a web page: that of a file named "*.htm".
  int PageIcon() { return FileIcon("*.htm"); }
  // The icon of a special folder by its old identifier; NoIcon for an unknown identifier.
  int SpecialFolder(int Csidl);

private:
  mutable std::mutex FLock;  // list views may ask from a worker that prepares rows
  std::vector<std::vector<std::string>> FIcons;
  std::unordered_map<std::string, int> FIndex;  // names joined by '\n' -> index
  std::unordered_map<std::string, int> FByType;  // content type -> index
};

}  // namespace vorlane::platform
