#pragma once
// The text of a page's source: its bytes decoded by the charset its response named, else
// as UTF-8 when they are, else as GB18030 (the old platform's pages). NUL shows as "␀".
#include <string>

namespace vorlane::browser {

std::string DecodeSourceText(const std::string& Bytes, const std::string& Charset);

}  // namespace vorlane::browser
