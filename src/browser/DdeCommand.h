#pragma once
// The text of shell DDE commands: the folder commands "[Verb("path", handle, show)]" and
// the document command (an address, possibly quoted), and the command names kept in the
// shell's ddeexec keys. Pure text rules, no DDE and no files.
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::browser {

struct TFolderCommand {
  std::string Verb;          // the name after "[" up to "("
  std::string Path;          // between the first two double quotes; may be empty
  bool HasItemIdList = false;  // a non-zero handle number follows the first comma after the path
  bool SharedMemory = false;   // the handle came as "handle:process"
  int ShowCommand = 1;         // one digit after the second comma; 1 when there is none
};

// Nullopt when the text has no "[" or no "(" after it: such a command is not carried out.
std::optional<TFolderCommand> ParseFolderCommand(std::string_view Text);

// The address of a document command: a leading double quote is dropped and the text cut at
// the next one.
std::string DocumentCommandAddress(std::string_view Text);

// The command name of a ddeexec value: the text after the first "[" up to the following
// "("; empty when there is no "[" (the whole rest when there is no "(").
std::string CommandName(std::string_view Value);

}  // namespace vorlane::browser
