#include "browser/DdeCommand.h"

#include <algorithm>
#include <cstdint>

namespace vorlane::browser {
namespace {

bool IsSignOrDigit(char C) { return C == '+' || C == '-' || (C >= '0' && C <= '9'); }

// The run of sign and digit characters that starts at the first such character from Pos;
// Pos ends after it. A run with a non-zero digit is a usable handle.
bool ReadNumberRun(std::string_view Text, size_t& Pos, bool& NonZero) {
  while (Pos < Text.size() && !IsSignOrDigit(Text[Pos])) ++Pos;
  if (Pos >= Text.size()) return false;
  NonZero = false;
  for (; Pos < Text.size() && IsSignOrDigit(Text[Pos]); ++Pos)
    if (Text[Pos] >= '1' && Text[Pos] <= '9') NonZero = true;
  return true;
}

}  // namespace

std::optional<TFolderCommand> ParseFolderCommand(std::string_view Text) {
  size_t Open = Text.find('[');
  if (Open == std::string_view::npos) return std::nullopt;
  size_t Paren = Text.find('(', Open + 1);
  if (Paren == std::string_view::npos) return std::nullopt;
  TFolderCommand Command;
  Command.Verb = std::string(Text.substr(Open + 1, Paren - Open - 1));

  // The arguments are read after the path, so that a comma inside a folder's name cannot
  // shift them.
  size_t ArgumentsFrom = Paren + 1;
  size_t Quote1 = Text.find('"');
  if (Quote1 != std::string_view::npos) {
    size_t Quote2 = Text.find('"', Quote1 + 1);
    if (Quote2 != std::string_view::npos) {
      Command.Path = std::string(Text.substr(Quote1 + 1, Quote2 - Quote1 - 1));
      ArgumentsFrom = std::max(ArgumentsFrom, Quote2 + 1);
    }
  }

  size_t Comma1 = Text.find(',', ArgumentsFrom);
  if (Comma1 == std::string_view::npos) return Command;
  size_t Comma2 = Text.find(',', Comma1 + 1);
  std::string_view List = Text.substr(Comma1 + 1, Comma2 == std::string_view::npos ? std::string_view::npos
                                                                                    : Comma2 - Comma1 - 1);
  size_t Pos = 0;
  bool Handle = false;
  if (ReadNumberRun(List, Pos, Handle)) {
    Command.HasItemIdList = Handle;
    if (Pos < List.size() && List[Pos] == ':') {
      bool Process = false;
      ++Pos;
      Command.SharedMemory = ReadNumberRun(List, Pos, Process);
    }
  }
  if (Comma2 != std::string_view::npos) {
    size_t Show = Comma2 + 1;
    while (Show < Text.size() && !IsSignOrDigit(Text[Show])) ++Show;
    if (Show < Text.size() && Text[Show] >= '0' && Text[Show] <= '9') Command.ShowCommand = Text[Show] - '0';
  }
  return Command;
}

std::string DocumentCommandAddress(std::string_view Text) {
  if (Text.empty() || Text.front() != '"') return std::string(Text);
  Text.remove_prefix(1);
  return std::string(Text.substr(0, Text.find('"')));
}

std::string CommandName(std::string_view Value) {
  size_t Open = Value.find('[');
  if (Open == std::string_view::npos) return {};
  std::string_view Rest = Value.substr(Open + 1);
  return std::string(Rest.substr(0, Rest.find('(')));
}

}  // namespace vorlane::browser
