#pragma once
// The list of addresses the user typed, kept where the old platform's browser kept it:
// values Url1..Url25 of HKCU "Software\Microsoft\Internet Explorer\TypedURLs", Url1 the
// most recent.
#include <string>
#include <vector>

namespace vorlane::platform { class Registry; }

namespace vorlane::navigation {

inline constexpr const char* TypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline constexpr int MaxTypedUrls = 25;

// Url1..Url25 in order; missing and empty values are skipped, later numbers still read.
std::vector<std::string> LoadTypedUrls(const platform::Registry& Registry);
// Writes the first 25 entries to Url1..UrlN; values beyond N stay as they are.
// Returns false when the registry could not be written.
bool SaveTypedUrls(platform::Registry& Registry, const std::vector<std::string>& Entries);

}  // namespace vorlane::navigation
