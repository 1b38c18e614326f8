#pragma once
// The caption of a document that is no HTML page (an image, a PDF, a text file): such a
// document has no title of its own, and users know it by its file name.
#include <string>

namespace vorlane::shell {

// The last part of Url's path, without query or fragment, percent-decoded when that gives
// printable UTF-8. An address with no path name (a bare host, "data:" and other addresses
// without "//") is its own caption.
std::string DocumentFileName(const std::string& Url);

}  // namespace vorlane::shell
