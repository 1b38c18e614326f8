#pragma once
// The old platform's registry, as far as Vorlane reads and writes it: hierarchical keys
// with named string values. HKEY_CURRENT_USER lives in a text file under the user's
// config folder; HKEY_LOCAL_MACHINE and HKEY_CLASSES_ROOT are built-in defaults that the
// same file may override. Missing key, missing value and empty value stay distinguishable.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform {

class TSaveTrouble;

enum class RootKey { CurrentUser, LocalMachine, ClassesRoot };

// The History folder's class key under HKEY_CLASSES_ROOT; its default value is the
// folder's name in the user's language.
inline constexpr const char* HistoryFolderClassKey = "CLSID\\{FF393560-C2A7-11CF-BFF4-444553540000}";

class Registry {
public:
  // Opens the registry of the user whose config folder is ConfigDir (the folder that
  // holds "vorlane/registry.reg"). The default reads $XDG_CONFIG_HOME or ~/.config.
  Registry();
  explicit Registry(std::filesystem::path ConfigDir);

  std::optional<std::string> ReadString(RootKey Root, const std::string& Key,
                                        const std::string& Name) const;
  bool KeyExists(RootKey Root, const std::string& Key) const;
  // The value names of a key in file order (defaults first), empty when the key is missing.
  std::vector<std::string> ValueNames(RootKey Root, const std::string& Key) const;

  // Writes one value; the file is rewritten atomically. Returns false when it cannot be saved.
  bool WriteString(RootKey Root, const std::string& Key, const std::string& Name,
                   const std::string& Value);
  bool DeleteValue(RootKey Root, const std::string& Key, const std::string& Name);

  // Where a failed or a successful save is reported; none by default.
  void SetSaveTrouble(TSaveTrouble* Trouble) { FTrouble = Trouble; }

  const std::filesystem::path& FilePath() const { return FFile; }
  // The file the default registry reads, without reading it.
  static std::filesystem::path DefaultFile();

  static std::string RootName(RootKey Root);

private:
  struct KeyData {
    std::vector<std::pair<std::string, std::string>> Values;  // file order
  };
  using Hive = std::map<std::string, KeyData>;  // key path (lower case) -> values

  void Load();
  // Several parts of the program open the same file: each write starts from what is on
  // disk now, so it never takes back another reader's values.
  void Reload();
  bool Save() const;
  const KeyData* FindKey(RootKey Root, const std::string& Key) const;

  std::filesystem::path FFile;
  std::map<std::string, std::string> FKeyNames;  // lower-case full path -> spelling
  Hive FData;       // from the file
  Hive FDefaults;   // built in
  TSaveTrouble* FTrouble = nullptr;
};

// Parses the text of a registry file into (full key path, name, value) triples.
// Exposed for tests: lines it does not understand are skipped.
struct RegistryLine {
  std::string Key;
  std::string Name;
  std::string Value;
};
std::vector<RegistryLine> ParseRegistryText(const std::string& Text);
std::string FormatRegistryValue(const std::string& Name, const std::string& Value);

}  // namespace vorlane::platform
