#pragma once
// What the engine makes of an address as a user typed it, before loading it.
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::browser {

// A bare host name ("example.com", "127.0.0.1:8080/x", "localhost:8080") gets "http://";
// a local path ("/tmp/a.html", "~/a.html") becomes a file: address without a look at the
// disk, its bytes escaped (a name need not be UTF-8); text with a scheme of its own is
// kept, spaces in it percent-encoded. Surrounding blanks are dropped and bytes that are
// not UTF-8 are replaced anywhere but in a local path. Anything else (empty text, inner
// spaces, a lone word) is returned as it stands, for the engine to refuse.
std::string FixupUrl(std::string_view Text);

// Typed text, trimmed, when it names a local path ("/…", "~", "~/…"): the only text
// whether it is an address depends on the disk. Nothing for other text.
std::optional<std::string> LocalPathText(std::string_view Text);

// Whether typed text names something to load rather than words to search for: empty text,
// a local path that exists, an address with a scheme (also with spaces after "scheme://"),
// or a host as FixupUrl knows one (with a dot, a port, "localhost" or an IPv6 literal).
// Other text with inner blanks is words. PathExists tells whether the local path the
// text names exists: the caller looks it up, off the UI thread.
bool LooksLikeAddress(std::string_view Text, bool PathExists = false);

}  // namespace vorlane::browser
