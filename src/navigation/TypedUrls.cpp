#include "navigation/TypedUrls.h"

#include "platform/Registry.h"

#include <algorithm>

namespace vorlane::navigation {

using platform::RootKey;

std::vector<std::string> LoadTypedUrls(const platform::Registry& Registry) {
  std::vector<std::string> Entries;
  if (!Registry.KeyExists(RootKey::CurrentUser, TypedUrlsKey)) return Entries;
  for (int N = 1; N <= MaxTypedUrls; ++N) {
    auto Value = Registry.ReadString(RootKey::CurrentUser, TypedUrlsKey, "Url" + std::to_string(N));
    if (Value && !Value->empty()) Entries.push_back(std::move(*Value));
  }
  return Entries;
}

bool SaveTypedUrls(platform::Registry& Registry, const std::vector<std::string>& Entries) {
  int Count = std::min(static_cast<int>(Entries.size()), MaxTypedUrls);
  bool Saved = true;
  for (int I = 0; I < Count; ++I)
    Saved = Registry.WriteString(RootKey::CurrentUser, TypedUrlsKey, "Url" + std::to_string(I + 1), Entries[I]) && Saved;
  return Saved;
}

}  // namespace vorlane::navigation
