#pragma once
// What the engine makes of an address as a user typed it, before loading it.
#include <string>
#include <string_view>

namespace vorlane::browser {

// A bare host name ("example.com", "127.0.0.1:8080/x", "localhost:8080") gets "http://";
// an existing local path ("/tmp/a.html", "~/a.html") becomes a file: address; text with
// a scheme of its own is kept. Surrounding blanks are dropped; bytes that are not UTF-8
// are escaped in a local file's address and replaced anywhere else. Anything else (empty text, inner spaces, a lone word) is returned
// as it stands, for the engine to refuse with its error page.
std::string FixupUrl(std::string_view Text);

// Whether typed text names something to load rather than words to search for: empty text,
// an existing local path, text with a scheme of its own, or a host as FixupUrl knows one
// (with a dot, a port, "localhost" or an IPv6 literal). Text with inner blanks that is no
// existing path is words. PathExists answers for absolute paths ("~" already expanded).
bool LooksLikeAddress(std::string_view Text, bool (*PathExists)(const std::string&) = nullptr);

}  // namespace vorlane::browser
