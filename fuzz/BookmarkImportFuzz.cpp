// The import parser on arbitrary bytes: it must not crash, and every entry must land
// below the base folder, under names that Linux and Windows take and that are not hidden.
#include "FuzzCheck.h"
#include "favorites/BookmarkCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace vorlane::favorites;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  std::string Text = DecodeBookmarkFile(Bytes);
  std::vector<std::string> Lines = SplitBookmarkLines(Text);
  std::vector<TUrlRec> Entries = ParseBookmarkLines(Lines);
  for (const TUrlRec& E : Entries) {
    FUZZ_CHECK(E.Level >= 0);
    FUZZ_CHECK(E.Name.empty() || IsWebAddress(E.Address));
    std::filesystem::path Relative = EntryRelativePath(E);
    FUZZ_CHECK(Relative.is_relative());
    FUZZ_CHECK(Relative.string().find('\0') == std::string::npos);
    FUZZ_CHECK(Relative.string().size() <= 2048 + 1 + 255);
    for (const auto& Part : Relative) {
      const std::string P = Part.string();
      FUZZ_CHECK(!P.empty());
      FUZZ_CHECK(P[0] != '.');
      FUZZ_CHECK(P.find_first_of("\"*:<>?\\|") == std::string::npos);
      FUZZ_CHECK(P.size() <= 255);
    }
  }
  return 0;
}
