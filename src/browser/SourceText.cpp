#include "browser/SourceText.h"

#include "platform/TextCodec.h"

namespace vorlane::browser {

std::string DecodeSourceText(const std::string& Bytes, const std::string& Charset) {
  if (!Charset.empty()) {
    if (auto Text = platform::ConvertCodePage(Bytes, Charset.c_str(), "UTF-8")) return *Text;
  }
  return platform::DecodeLegacyText(Bytes);
}

}  // namespace vorlane::browser
