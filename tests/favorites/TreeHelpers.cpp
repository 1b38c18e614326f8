#include "favorites/TreeHelpers.h"

#include "favorites/IntShCut.h"
#include "platform/ShellFolders.h"

#include <fstream>
#include <sstream>

namespace vorlane::test {

std::filesystem::path FreshFavorites(const std::string& Name) {
  auto Dir = platform::ShellFolders::Home() / Name / "Favorites";
  std::filesystem::remove_all(Dir.parent_path());
  std::filesystem::create_directories(Dir);
  return Dir;
}

void WriteBytes(const std::filesystem::path& File, const std::string& Bytes) {
  std::filesystem::create_directories(File.parent_path());
  std::ofstream(File, std::ios::binary) << Bytes;
}

std::string ReadBytes(const std::filesystem::path& File) {
  std::ifstream In(File, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

void WriteShortcut(const std::filesystem::path& Root, const std::string& Relative, const std::string& Url) {
  WriteBytes(Root / Relative, "[InternetShortcut]\r\nURL=" + Url + "\r\n");
}

std::map<std::string, std::string> ReadTree(const std::filesystem::path& Root) {
  std::map<std::string, std::string> Tree;
  for (auto& E : std::filesystem::recursive_directory_iterator(Root)) {
    std::string Rel = std::filesystem::relative(E.path(), Root).string();
    Tree[Rel] = E.is_directory()
                    ? "<dir>"
                    : favorites::ReadShortcutUrl(E.path(), favorites::TResolveUrl::IniFile, "<no url>");
  }
  return Tree;
}

}  // namespace vorlane::test
