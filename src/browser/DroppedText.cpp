#include "browser/DroppedText.h"

namespace vorlane::browser {

const std::vector<std::string>& DropFormats() {
  static const std::vector<std::string> Formats{"text/uri-list", "text/plain;charset=utf-8", "text/plain"};
  return Formats;
}

std::string DroppedText(std::string_view MimeType, std::string_view Data) {
  if (MimeType != "text/uri-list") return std::string(Data);
  // One address per line, CR LF ends, "#" starts a comment.
  while (!Data.empty()) {
    size_t End = Data.find_first_of("\r\n");
    std::string_view Line = Data.substr(0, End);
    Data = End == std::string_view::npos ? std::string_view() : Data.substr(End + 1);
    if (!Line.empty() && Line.front() != '#') return std::string(Line);
  }
  return {};
}

}  // namespace vorlane::browser
