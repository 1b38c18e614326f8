#include "navigation/CompletionSource.h"

#include <glib.h>

#include <unordered_set>

namespace vorlane::navigation {

namespace {

bool StartsNoCase(std::string_view Text, std::string_view Prefix) {
  return Text.size() >= Prefix.size() && g_ascii_strncasecmp(Text.data(), Prefix.data(), Prefix.size()) == 0;
}

}  // namespace

bool CompletesPrefix(const std::string& Candidate, const std::string& Prefix) {
  if (Prefix.empty()) return false;
  std::string_view View = Candidate;
  if (StartsNoCase(View, Prefix)) return true;
  auto Scheme = View.find("://");
  if (Scheme == std::string_view::npos) return false;
  View.remove_prefix(Scheme + 3);
  if (StartsNoCase(View, Prefix)) return true;
  return StartsNoCase(View, "www.") && StartsNoCase(View.substr(4), Prefix);
}

std::vector<std::string> TStringListSource::Suggest(const std::string& Prefix, std::size_t Limit) const {
  std::vector<std::string> Out;
  for (const auto& Entry : FList) {
    if (Out.size() >= Limit) break;
    if (CompletesPrefix(Entry, Prefix)) Out.push_back(Entry);
  }
  return Out;
}

std::vector<std::string> CollectSuggestions(const std::vector<const ICompletionSource*>& Sources,
                                            const std::string& Prefix, std::size_t Limit) {
  std::vector<std::string> Out;
  std::unordered_set<std::string> Seen;
  for (const ICompletionSource* Source : Sources) {
    if (!Source || Out.size() >= Limit) continue;
    for (auto& Entry : Source->Suggest(Prefix, Limit)) {
      if (Out.size() >= Limit) break;
      if (Seen.insert(Entry).second) Out.push_back(std::move(Entry));
    }
  }
  return Out;
}

}  // namespace vorlane::navigation
