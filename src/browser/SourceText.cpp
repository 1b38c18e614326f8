#include "browser/SourceText.h"

#include "platform/TextCodec.h"

namespace vorlane::browser {

namespace {

constexpr const char* SymbolForNull = "\xe2\x90\x80";  // U+2400 "␀"

// GTK refuses text that holds NUL, and would show nothing at all.
std::string ShowNulls(const std::string& Text) {
  std::string Shown;
  Shown.reserve(Text.size());
  for (char C : Text) {
    if (C == '\0') Shown += SymbolForNull;
    else Shown += C;
  }
  return Shown;
}

}  // namespace

std::string DecodeSourceText(const std::string& Bytes, const std::string& Charset) {
  if (!Charset.empty()) {
    if (auto Text = platform::ConvertCodePage(Bytes, Charset.c_str(), "UTF-8")) return ShowNulls(*Text);
  }
  // UTF-8 and GB18030 never use a zero byte inside a character: the text between NULs is
  // decoded on its own, so one NUL does not make a UTF-8 page read as GB18030.
  std::string Text;
  for (size_t Start = 0;;) {
    size_t Nul = Bytes.find('\0', Start);
    Text += platform::DecodeLegacyText(std::string_view(Bytes).substr(Start, Nul - Start));
    if (Nul == std::string::npos) break;
    Text += SymbolForNull;
    Start = Nul + 1;
  }
  return Text;
}

}  // namespace vorlane::browser
