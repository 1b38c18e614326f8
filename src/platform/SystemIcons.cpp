#include "platform/SystemIcons.h"

#include <gio/gio.h>

#include <memory>

namespace vorlane::platform {

namespace {

struct GFreeDeleter {
  void operator()(char* P) const { g_free(P); }
};
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

// Themed names of the places the old shell drew with their own icons.
const char* SpecialFolderName(int Csidl) {
  switch (static_cast<SpecialFolderIcon>(Csidl)) {
    case SpecialFolderIcon::Desktop: return "user-desktop";
    case SpecialFolderIcon::Programs: return "applications-other";
    case SpecialFolderIcon::ControlPanel: return "preferences-system";
    case SpecialFolderIcon::Printers: return "printer";
    case SpecialFolderIcon::Personal: return "folder-documents";
    case SpecialFolderIcon::Favorites: return "user-bookmarks";
    case SpecialFolderIcon::Startup: return "system-run";
    case SpecialFolderIcon::Recent: return "document-open-recent";
    case SpecialFolderIcon::SendTo: return "mail-send";
    case SpecialFolderIcon::RecycleBin: return "user-trash";
    case SpecialFolderIcon::StartMenu: return "start-here";
    case SpecialFolderIcon::DesktopDirectory: return "user-desktop";
    case SpecialFolderIcon::MyComputer: return "computer";
    case SpecialFolderIcon::Network: return "network-workgroup";
    case SpecialFolderIcon::NetHood: return "folder-remote";
    case SpecialFolderIcon::Fonts: return "font-x-generic";
    case SpecialFolderIcon::Templates: return "folder-templates";
    case SpecialFolderIcon::AppData: return "folder";
    case SpecialFolderIcon::PrintHood: return "printer";
  }
  return nullptr;
}

}  // namespace

SystemIcons& SystemIcons::Shared() {
  static SystemIcons List;
  return List;
}

int SystemIcons::IndexOfNames(const std::vector<std::string>& Names) {
  if (Names.empty()) return NoIcon;
  std::string Key;
  for (const auto& N : Names) Key.append(N).push_back('\n');
  std::lock_guard Guard(FLock);
  auto It = FIndex.find(Key);
  if (It != FIndex.end()) return It->second;
  int Index = static_cast<int>(FIcons.size());
  FIcons.push_back(Names);
  FIndex.emplace(std::move(Key), Index);
  return Index;
}

std::vector<std::string> SystemIcons::Names(int Index) const {
  std::lock_guard Guard(FLock);
  if (Index < 0 || Index >= static_cast<int>(FIcons.size())) return {};
  return FIcons[Index];
}

std::string SystemIcons::Name(int Index) const {
  auto List = Names(Index);
  return List.empty() ? std::string() : List.front();
}

int SystemIcons::Count() const {
  std::lock_guard Guard(FLock);
  return static_cast<int>(FIcons.size());
}

int SystemIcons::FileIcon(const std::string& Name) {
  std::string::size_type Slash = Name.find_last_of('/');
  std::string Base = Slash == std::string::npos ? Name : Name.substr(Slash + 1);
  // Guessing from the name with no data never opens the file.
  GCharPtr Type(g_content_type_guess(Base.c_str(), nullptr, 0, nullptr));
  std::string TypeName = Type ? Type.get() : "application/octet-stream";
  {
    std::lock_guard Guard(FLock);
    auto It = FByType.find(TypeName);
    if (It != FByType.end()) return It->second;
  }
  std::vector<std::string> Names;
  if (GIcon* Icon = g_content_type_get_icon(TypeName.c_str())) {
    if (G_IS_THEMED_ICON(Icon))
      for (const char* const* N = g_themed_icon_get_names(G_THEMED_ICON(Icon)); N && *N; ++N)
        Names.emplace_back(*N);
    g_object_unref(Icon);
  }
  if (Names.empty()) Names.emplace_back("text-x-generic");
  int Index = IndexOfNames(Names);
  std::lock_guard Guard(FLock);
  FByType.emplace(TypeName, Index);
  return Index;
}

int SystemIcons::SpecialFolder(int Csidl) {
  const char* Name = SpecialFolderName(Csidl);
  return Name ? IndexOfNames({Name, "folder"}) : NoIcon;
}

}  // namespace vorlane::platform
