#include "navigation/AddressRules.h"

#include <glib.h>

#include <algorithm>
#include <memory>

namespace vorlane::navigation {

namespace {

std::string AsciiUpper(std::string_view Text) {
  std::string Out(Text);
  for (char& C : Out)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Out;
}

bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
  return Text.size() >= Prefix.size() && g_ascii_strncasecmp(Text.data(), Prefix.data(), Prefix.size()) == 0;
}

struct GFree {
  void operator()(char* P) const { g_free(P); }
};

}  // namespace

int SpecialFolderId(std::string_view Name) {
  static constexpr std::pair<std::string_view, int> Table[] = {
      {"DESKTOP", 0},       {"PRINTERS", 4},     {"MY DOCUMENTS", 5}, {"RECYCLE BIN", 10},
      {"NETWORK NEIGHBORHOOD", 18}, {"MY COMPUTER", 17}, {"PROGRAMS", 2}, {"CONTROL PANEL", 3},
      {"FAVORITES", 6},     {"STARTUP", 7},      {"RECENT", 8},       {"SENDTO", 9},
      {"STARTMENU", 11},    {"DESKTOP DIRECTORY", 16}, {"NETHOOD", 19}, {"FONTS", 20},
      {"TEMPLATES", 21},    {"APPDATA", 26},     {"PRINTHOOD", 27},
  };
  std::string Upper = AsciiUpper(Name);
  for (const auto& [Key, Id] : Table)
    if (Upper == Key) return Id;
  return NoSpecialFolder;
}

bool IsPathLike(std::string_view Text) {
  return Text.starts_with('/') || Text == "~" || Text.starts_with("~/") || StartsWithNoCase(Text, "file:");
}

std::optional<std::string> LocalPathOf(std::string_view Text) {
  if (Text.starts_with('/')) return std::string(Text);
  if (Text == "~") return std::string(g_get_home_dir());
  if (Text.starts_with("~/")) return std::string(g_get_home_dir()) + std::string(Text.substr(1));
  if (!StartsWithNoCase(Text, "file:")) return std::nullopt;
  std::string Uri(Text);
  std::unique_ptr<char, GFree> Path(g_filename_from_uri(Uri.c_str(), nullptr, nullptr));
  if (Path) return std::string(Path.get());
  // "file:/x" and "file:///x" with odd escapes: keep what follows the scheme's slashes.
  std::string_view Rest = Text.substr(5);
  while (Rest.starts_with("//")) Rest.remove_prefix(1);
  if (!Rest.starts_with('/')) return std::nullopt;
  std::unique_ptr<char, GFree> Unescaped(g_uri_unescape_string(std::string(Rest).c_str(), nullptr));
  return Unescaped ? std::string(Unescaped.get()) : std::string(Rest);
}

std::string WithDefaultProtocol(const std::string& Text, const std::string& DefaultProtocol, PathKind Kind) {
  if (DefaultProtocol.empty() || Text.find("://") != std::string::npos) return Text;
  if (IsPathLike(Text) && Kind != PathKind::Missing) return Text;
  return DefaultProtocol + Text;
}

namespace {

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

// The byte an escape at Text[At] spells, or -1.
int EscapedByte(const std::string& Text, size_t At) {
  if (At + 2 >= Text.size() || Text[At] != '%') return -1;
  int High = HexDigit(Text[At + 1]), Low = HexDigit(Text[At + 2]);
  return High < 0 || Low < 0 ? -1 : High * 16 + Low;
}

// Where the part after the host begins: after "scheme://authority", or after "scheme:".
size_t PathStart(const std::string& Url) {
  size_t Scheme = Url.find("://");
  if (Scheme == std::string::npos) {
    size_t Colon = Url.find(':');
    return Colon == std::string::npos ? 0 : Colon + 1;
  }
  size_t End = Url.find_first_of("/?#", Scheme + 3);
  return End == std::string::npos ? Url.size() : End;
}

}  // namespace

std::string DisplayAddress(const std::string& Url) {
  size_t Start = PathStart(Url);
  std::string Out = Url.substr(0, Start);
  for (size_t I = Start; I < Url.size();) {
    // A run of escapes of non-ASCII bytes is decoded one whole character at a time.
    std::string Bytes;
    size_t J = I;
    for (int B; (B = EscapedByte(Url, J)) >= 0x80; J += 3) Bytes += static_cast<char>(B);
    if (Bytes.empty()) {
      Out += Url[I++];
      continue;
    }
    for (size_t K = 0; K < Bytes.size();) {
      const char* At = Bytes.data() + K;
      gunichar C = g_utf8_get_char_validated(At, static_cast<gssize>(Bytes.size() - K));
      size_t Length = C < 0x80000000u ? static_cast<size_t>(g_utf8_skip[static_cast<unsigned char>(*At)]) : 1;
      if (C < 0x80000000u && g_unichar_isgraph(C))
        Out.append(At, Length);
      else
        Out += Url.substr(I + 3 * K, 3 * Length);
      K += Length;
    }
    I = J;
  }
  return Out;
}

std::string WithWwwCom(const std::string& Raw) {
  size_t First = Raw.find_first_not_of(" \t"), Last = Raw.find_last_not_of(" \t");
  if (First == std::string::npos) return Raw;
  std::string Text = Raw.substr(First, Last - First + 1);
  size_t Slash = Text.find('/');
  std::string Word = Text.substr(0, Slash);
  if (Word.empty() || Word.find_first_of(".: \t") != std::string::npos) return Raw;
  return "www." + Word + ".com" + (Slash == std::string::npos ? std::string() : Text.substr(Slash));
}

int IconIndexOf(const std::string& Text, PathKind Kind, platform::SystemIcons& Icons) {
  int Special = SpecialFolderId(Text);
  if (Special != NoSpecialFolder) return Icons.SpecialFolder(Special);
  if (Kind == PathKind::File || StartsWithNoCase(Text, "file://")) return Icons.FileIcon(Text);
  if (Kind == PathKind::Folder) return Icons.FolderIcon();
  if (!Text.empty()) return Icons.PageIcon();
  return platform::SystemIcons::NoIcon;
}

uint32_t CompletionFlags(TFileOptions Options, TAutoSuggest Suggest, TAutoComplete Append) {
  uint32_t Flags = Options & 7u;
  if (Suggest == TAutoSuggest::asForceOn) Flags += 0x10000000u;
  if (Suggest == TAutoSuggest::asForceOff) Flags += 0x20000000u;
  if (Append == TAutoComplete::acForceOn) Flags += 0x40000000u;
  if (Append == TAutoComplete::acForceOff) Flags += 0x80000000u;
  return Flags;
}

CompletionPlan PlanOf(uint32_t Flags) {
  CompletionPlan Plan;
  if (uint32_t Sources = Flags & 7u) {
    Plan.Files = Sources & 1u;
    Plan.History = Sources & 2u;
    Plan.Typed = Sources & 4u;
  }
  if (Flags & 0x20000000u) Plan.Suggest = false;
  if (Flags & 0x40000000u) Plan.Append = true;
  return Plan;
}

KeyAction DecideKey(bool ListOpen, AddressKey Key, bool Alt, int Highlighted, int Count) {
  if (ListOpen) {
    switch (Key) {
      case AddressKey::Enter:
        return Highlighted >= 0 && Highlighted < Count ? KeyAction::CommitFromList : KeyAction::CloseAndCommitTyped;
      case AddressKey::Escape: return KeyAction::CloseList;
      case AddressKey::Down:
        if (Alt) return KeyAction::CloseList;
        return Highlighted < 24 && Highlighted < Count - 1 ? KeyAction::HighlightNext : KeyAction::Consume;
      case AddressKey::Up:
        if (Alt) return KeyAction::CloseList;
        return Highlighted >= 0 ? KeyAction::HighlightPrevious : KeyAction::Consume;
      case AddressKey::Other: return KeyAction::PassOn;
    }
  }
  switch (Key) {
    case AddressKey::Enter: return KeyAction::CommitTyped;
    case AddressKey::Down: return KeyAction::OpenList;
    case AddressKey::Up: return Alt ? KeyAction::PassOn : KeyAction::Consume;
    default: return KeyAction::PassOn;
  }
}

void MoveToTop(std::vector<std::string>& List, int Index) {
  if (Index <= 0 || Index >= static_cast<int>(List.size())) return;
  std::rotate(List.begin(), List.begin() + Index, List.begin() + Index + 1);
}

}  // namespace vorlane::navigation
