#pragma once
// Building and reading Favorites trees in tests.
#include <filesystem>
#include <map>
#include <string>

namespace vorlane::test {

// A fresh, empty folder below the test's home; its name contains "Favorites" so that the
// configured-path rule accepts it.
std::filesystem::path FreshFavorites(const std::string& Name);

// Writes Root/Relative (folders created) as a shortcut to Url, the way the old platform did.
void WriteShortcut(const std::filesystem::path& Root, const std::string& Relative, const std::string& Url);
void WriteBytes(const std::filesystem::path& File, const std::string& Bytes);
std::string ReadBytes(const std::filesystem::path& File);

// Every folder (value "<dir>") and shortcut (value: its address) below Root, by relative path.
std::map<std::string, std::string> ReadTree(const std::filesystem::path& Root);

}  // namespace vorlane::test
