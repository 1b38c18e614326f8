// The session reader on arbitrary text: no crash, hang or runaway allocation; what it
// accepts is in range, reads back the same once written again, and no cut-off copy of
// that text is accepted. The writer, given the input as a title, address and history,
// writes a text that reads back exactly.
#include "FuzzCheck.h"
#include "platform/SessionFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vorlane::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::string_view Input(reinterpret_cast<const char*>(Data), Size);

  if (auto Session = DecodeSession(Input)) {
    FUZZ_CHECK(Session->Selected >= -1 && Session->Selected < static_cast<int>(Session->Pages.size()));
    FUZZ_CHECK(Session->RestoreAttempts >= 0);
    std::string Again = EncodeSession(*Session);
    FUZZ_CHECK(DecodeSession(Again) == Session);
    std::string_view Text(Again);
    FUZZ_CHECK(!DecodeSession(Text.substr(0, Text.size() - 1)));
    FUZZ_CHECK(!DecodeSession(Text.substr(0, Text.size() / 2)));
  }

  std::size_t Half = Size / 2;
  TSavedSession Written{{{std::string(Input.substr(0, Half)), std::string(Input.substr(Half)),
                          std::vector<std::uint8_t>(Data, Data + Size)},
                         {}},
                        1, Size % 2 == 0, static_cast<int>(Size % 3)};
  FUZZ_CHECK(DecodeSession(EncodeSession(Written)) == Written);
  return 0;
}
