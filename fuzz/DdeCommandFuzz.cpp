// The shell DDE command texts on arbitrary input: no crash; the parts read back out of a
// command never hold the characters that delimit them; a command rebuilt from its parts
// reads back the same.
#include "FuzzCheck.h"
#include "browser/DdeCommand.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace vorlane::browser;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::string Text(reinterpret_cast<const char*>(Data), Size);

  std::string Name = CommandName(Text);
  FUZZ_CHECK(Name.find('(') == std::string::npos && Name.size() <= Text.size());
  std::string Address = DocumentCommandAddress(Text);
  FUZZ_CHECK(Address.size() <= Text.size());
  if (!Text.empty() && Text[0] == '"') FUZZ_CHECK(Address.find('"') == std::string::npos);

  auto Command = ParseFolderCommand(Text);
  if (!Command) {
    FUZZ_CHECK(Text.find('[') == std::string::npos || Text.find('(', Text.find('[')) == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(Command->Verb.find('(') == std::string::npos);
  FUZZ_CHECK(Command->Path.find('"') == std::string::npos);
  FUZZ_CHECK(Command->ShowCommand >= 0 && Command->ShowCommand <= 9);
  if (Command->Verb.find('"') != std::string::npos || Command->Verb.find(',') != std::string::npos) return 0;
  std::string Rebuilt = "[" + Command->Verb + "(\"" + Command->Path + "\", " +
                        (Command->HasItemIdList ? (Command->SharedMemory ? ":12:34" : "12") : "0") + ", " +
                        std::to_string(Command->ShowCommand) + ")]";
  auto Again = ParseFolderCommand(Rebuilt);
  FUZZ_CHECK(Again.has_value());
  FUZZ_CHECK(Again->Verb == Command->Verb && Again->Path == Command->Path);
  FUZZ_CHECK(Again->HasItemIdList == Command->HasItemIdList && Again->ShowCommand == Command->ShowCommand);
  FUZZ_CHECK(!Command->HasItemIdList || Again->SharedMemory == Command->SharedMemory);
  return 0;
}
