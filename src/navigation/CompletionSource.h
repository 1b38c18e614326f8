#pragma once
// Where the address box's suggestions come from. A source answers synchronously and
// quickly (an in-memory list, an indexed query); file paths, which need the disk, are
// listed apart and asynchronously (PathLookup).
#include "platform/HistoryStore.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vorlane::navigation {

class ICompletionSource {
public:
  virtual ~ICompletionSource() = default;
  // At most Limit addresses that complete Prefix, best first.
  virtual std::vector<std::string> Suggest(const std::string& Prefix, std::size_t Limit) const = 0;
};

// True when Candidate completes Prefix: it starts with Prefix (ASCII case ignored), also
// after its "scheme://" and a "www.".
bool CompletesPrefix(const std::string& Candidate, const std::string& Prefix);

// A list of addresses held elsewhere (the typed list); it must outlive the source.
class TStringListSource : public ICompletionSource {
public:
  explicit TStringListSource(const std::vector<std::string>& List) : FList(List) {}
  std::vector<std::string> Suggest(const std::string& Prefix, std::size_t Limit) const override;

private:
  const std::vector<std::string>& FList;
};

// The browsing history until a store is attached: nothing.
class TEmptyHistorySource : public ICompletionSource {
public:
  std::vector<std::string> Suggest(const std::string&, std::size_t) const override { return {}; }
};

// The browsing history's addresses (the store must outlive the source).
class THistoryStoreSource : public ICompletionSource {
public:
  explicit THistoryStoreSource(platform::THistoryStore& Store) : FStore(Store) {}
  std::vector<std::string> Suggest(const std::string& Prefix, std::size_t Limit) const override {
    return FStore.SuggestAddresses(Prefix, Limit);
  }

private:
  platform::THistoryStore& FStore;
};

// Suggestions from Sources in order, duplicates dropped, at most Limit in all.
std::vector<std::string> CollectSuggestions(const std::vector<const ICompletionSource*>& Sources,
                                            const std::string& Prefix, std::size_t Limit);

}  // namespace vorlane::navigation
