#pragma once
// What a drop on a page offers, as the address to open: a list of addresses (format A,
// "text/uri-list") is preferred over plain text (format B).
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::browser {

// The drop formats in the order they are preferred.
const std::vector<std::string>& DropFormats();

// The address in Data of MimeType: the first address of a URI list (comment lines
// skipped), or the whole of a plain text. Empty when there is none.
std::string DroppedText(std::string_view MimeType, std::string_view Data);

}  // namespace vorlane::browser
