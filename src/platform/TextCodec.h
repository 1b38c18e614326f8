#pragma once
// Code-page rules of the product: strings are UTF-8 inside; rules that look at bytes
// "in the ANSI code page" look at GBK; old files that are not UTF-8 are GB18030.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::platform {

bool IsValidUtf8(std::string_view Text);

// Converts between UTF-8 and a named iconv code page. Characters that the target cannot
// hold make the conversion fail (nullopt), never silently drop.
std::optional<std::string> ConvertCodePage(std::string_view Text, const char* From, const char* To);

// One iconv conversion opened once and used for many texts (sort keys, listings).
class CodePageConverter {
public:
  CodePageConverter(const char* From, const char* To);
  // nullopt when the converter could not be opened or Text does not convert.
  std::optional<std::string> operator()(std::string_view Text) const;

private:
  struct Closer {
    void operator()(void* Cd) const;
  };
  std::unique_ptr<void, Closer> FCd;
};

// UTF-8 text as it stands, or the GB18030 reading of bytes that are not valid UTF-8.
std::string DecodeLegacyText(std::string_view Bytes);

// UTF-8 with every byte that is not part of a valid character replaced by U+FFFD.
std::string DecodeUtf8Lossy(std::string_view Bytes);

// Text that starts with a byte order mark, decoded as the mark says (UTF-8, UTF-16 LE or
// BE; invalid units become U+FFFD) without the mark; nullopt when there is no mark.
std::optional<std::string> DecodeByteOrderMark(std::string_view Bytes);

// The text of a file: as its byte order mark says, else as DecodeLegacyText.
std::string DecodeTextFile(std::string_view Bytes);

// The GBK bytes of the first character of UTF-8 text (empty for empty text; "?" when
// GBK has no such character, as the old platform converted it).
std::string FirstCharacterGbk(std::string_view Utf8);

// True when the first byte of Text in GBK is the lead byte of a double-byte character.
bool StartsWithGbkLeadByte(std::string_view Utf8);

// Text from a page or the disk as one line of plain text to show: bytes that are not UTF-8
// are converted as a file name is (invalid ones become U+FFFD), control characters and line
// separators become spaces.
std::string ShownText(std::string_view Text);

}  // namespace vorlane::platform
