#include "platform/Registry.h"

#include "platform/DurableFile.h"
#include "platform/SaveTrouble.h"

#include "platform/ShellFolders.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace vorlane::platform {
namespace {

std::string Lower(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(),
                 [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  return S;
}

std::string TrimSlashes(std::string Key) {
  while (!Key.empty() && Key.front() == '\\') Key.erase(Key.begin());
  while (!Key.empty() && Key.back() == '\\') Key.pop_back();
  return Key;
}

std::string FullPath(RootKey Root, const std::string& Key) {
  return Registry::RootName(Root) + "\\" + TrimSlashes(Key);
}

// Reads a quoted string starting at Pos (which points at the opening quote); Pos ends
// after the closing quote. Backslash escapes \\ and \" and \n are understood.
std::optional<std::string> ReadQuoted(const std::string& Line, size_t& Pos) {
  if (Pos >= Line.size() || Line[Pos] != '"') return std::nullopt;
  std::string Out;
  for (++Pos; Pos < Line.size(); ++Pos) {
    char C = Line[Pos];
    if (C == '"') {
      ++Pos;
      return Out;
    }
    if (C == '\\' && Pos + 1 < Line.size()) {
      char N = Line[++Pos];
      Out += N == 'n' ? '\n' : N;
    } else {
      Out += C;
    }
  }
  return std::nullopt;
}

std::string Quote(const std::string& S) {
  std::string Out = "\"";
  for (char C : S) {
    if (C == '"' || C == '\\') Out += '\\';
    if (C == '\n') {
      Out += "\\n";
      continue;
    }
    Out += C;
  }
  return Out + "\"";
}

}  // namespace

std::vector<RegistryLine> ParseRegistryText(const std::string& Text) {
  std::vector<RegistryLine> Lines;
  std::istringstream In(Text);
  std::string Line, Key;
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    size_t First = Line.find_first_not_of(" \t");
    if (First == std::string::npos || Line[First] == ';') continue;
    if (Line[First] == '[') {
      size_t Close = Line.rfind(']');
      Key = Close != std::string::npos && Close > First
                ? TrimSlashes(Line.substr(First + 1, Close - First - 1))
                : std::string();
      continue;
    }
    if (Key.empty()) continue;
    size_t Pos = First;
    std::string Name;
    if (Line[Pos] == '@') {
      ++Pos;  // the default value
    } else {
      auto Quoted = ReadQuoted(Line, Pos);
      if (!Quoted) continue;
      Name = *Quoted;
    }
    while (Pos < Line.size() && (Line[Pos] == ' ' || Line[Pos] == '\t')) ++Pos;
    if (Pos >= Line.size() || Line[Pos] != '=') continue;
    ++Pos;
    while (Pos < Line.size() && (Line[Pos] == ' ' || Line[Pos] == '\t')) ++Pos;
    auto Value = ReadQuoted(Line, Pos);
    if (!Value) continue;
    Lines.push_back({Key, Name, *Value});
  }
  return Lines;
}

std::string FormatRegistryValue(const std::string& Name, const std::string& Value) {
  return (Name.empty() ? std::string("@") : Quote(Name)) + "=" + Quote(Value);
}

std::string Registry::RootName(RootKey Root) {
  switch (Root) {
    case RootKey::CurrentUser: return "HKEY_CURRENT_USER";
    case RootKey::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case RootKey::ClassesRoot: return "HKEY_CLASSES_ROOT";
  }
  return {};
}

Registry::Registry() : Registry(ShellFolders::ConfigHome()) {}

std::filesystem::path Registry::DefaultFile() { return ShellFolders::ConfigHome() / "vorlane" / "registry.reg"; }

Registry::Registry(std::filesystem::path ConfigDir)
    : FFile(std::move(ConfigDir) / "vorlane" / "registry.reg") {
  auto AddDefault = [this](RootKey Root, const std::string& Key, const std::string& Name,
                           const std::string& Value) {
    std::string Full = FullPath(Root, Key);
    FKeyNames.emplace(Lower(Full), Full);
    FDefaults[Lower(Full)].Values.emplace_back(Name, Value);
  };
  // What the old platform always had: an engine new enough for every favorites command,
  // and the shell's record of where the Favorites folder is.
  AddDefault(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
             "6.0.2900.2180");
  AddDefault(RootKey::CurrentUser,
             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
             "Favorites", ShellFolders::FavoritesPath().string());
  // The shell's DDE names and commands for documents and folders, as the old platform
  // registered them.
  AddDefault(RootKey::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\application", "", "IExplore");
  AddDefault(RootKey::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\topic", "", "WWW_OpenURL");
  AddDefault(RootKey::ClassesRoot, "Folder\\shell\\open\\ddeexec\\application", "", "Folder");
  AddDefault(RootKey::ClassesRoot, "Folder\\shell\\open\\ddeexec\\topic", "", "AppProperties");
  AddDefault(RootKey::ClassesRoot, "Folder\\shell\\open\\ddeexec", "", "[ViewFolder(\"%l\", %I, %S)]");
  AddDefault(RootKey::ClassesRoot, "Folder\\shell\\explore\\ddeexec", "", "[ExploreFolder(\"%l\", %I, %S)]");
  AddDefault(RootKey::ClassesRoot, "Directory\\shell\\find\\ddeexec", "", "[FindFolder(\"%l\", %I)]");
  // The History folder's registered name, the history list's column caption.
  AddDefault(RootKey::ClassesRoot, HistoryFolderClassKey, "", "历史记录");
  Load();
}

void Registry::Load() {
  std::ifstream In(FFile, std::ios::binary);
  if (!In) return;
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  for (auto& L : ParseRegistryText(Buffer.str())) {
    FKeyNames.emplace(Lower(L.Key), L.Key);
    auto& Values = FData[Lower(L.Key)].Values;
    auto It = std::find_if(Values.begin(), Values.end(),
                           [&](auto& V) { return Lower(V.first) == Lower(L.Name); });
    if (It != Values.end())
      It->second = L.Value;
    else
      Values.emplace_back(L.Name, L.Value);
  }
}

bool Registry::Save() const {
  std::error_code Ec;
  std::filesystem::create_directories(FFile.parent_path(), Ec);
  std::ostringstream Out;
  Out << "; Vorlane registry: one [key] per block, \"name\"=\"value\" per line\n";
  for (auto& [LowerKey, Data] : FData) {
    Out << "\n[" << FKeyNames.at(LowerKey) << "]\n";
    for (auto& [Name, Value] : Data.Values) Out << FormatRegistryValue(Name, Value) << "\n";
  }
  // Written beside, flushed to the disk and renamed: a kill or a power cut at any moment
  // leaves the old file or the new one.
  auto Failure = ReplaceFileDurably(FFile, Out.str());
  if (FTrouble) FTrouble->Report(TKeptData::Settings, Failure);
  return !Failure;
}

const Registry::KeyData* Registry::FindKey(RootKey Root, const std::string& Key) const {
  auto It = FData.find(Lower(FullPath(Root, Key)));
  return It == FData.end() ? nullptr : &It->second;
}

std::optional<std::string> Registry::ReadString(RootKey Root, const std::string& Key,
                                                const std::string& Name) const {
  std::string LowerKey = Lower(FullPath(Root, Key));
  for (const Hive* H : {&FData, &FDefaults}) {
    auto It = H->find(LowerKey);
    if (It == H->end()) continue;
    for (auto& [N, V] : It->second.Values)
      if (Lower(N) == Lower(Name)) return V;
  }
  return std::nullopt;
}

bool Registry::KeyExists(RootKey Root, const std::string& Key) const {
  std::string LowerKey = Lower(FullPath(Root, Key));
  return FData.count(LowerKey) || FDefaults.count(LowerKey);
}

std::vector<std::string> Registry::ValueNames(RootKey Root, const std::string& Key) const {
  std::vector<std::string> Names;
  std::string LowerKey = Lower(FullPath(Root, Key));
  for (const Hive* H : {&FDefaults, &FData}) {
    auto It = H->find(LowerKey);
    if (It == H->end()) continue;
    for (auto& [N, V] : It->second.Values) {
      bool Seen = std::any_of(Names.begin(), Names.end(),
                              [&](const std::string& S) { return Lower(S) == Lower(N); });
      if (!Seen) Names.push_back(N);
    }
  }
  return Names;
}

void Registry::Reload() {
  FData.clear();
  FKeyNames.clear();
  Load();
}

bool Registry::WriteString(RootKey Root, const std::string& Key, const std::string& Name,
                           const std::string& Value) {
  Reload();
  std::string Full = FullPath(Root, Key);
  FKeyNames.emplace(Lower(Full), Full);
  auto& Values = FData[Lower(Full)].Values;
  auto It = std::find_if(Values.begin(), Values.end(),
                         [&](auto& V) { return Lower(V.first) == Lower(Name); });
  if (It != Values.end())
    It->second = Value;
  else
    Values.emplace_back(Name, Value);
  return Save();
}

bool Registry::DeleteValue(RootKey Root, const std::string& Key, const std::string& Name) {
  Reload();
  auto It = FData.find(Lower(FullPath(Root, Key)));
  if (It == FData.end()) return false;
  auto& Values = It->second.Values;
  auto Before = Values.size();
  std::erase_if(Values, [&](auto& V) { return Lower(V.first) == Lower(Name); });
  return Values.size() != Before && Save();
}

}  // namespace vorlane::platform
