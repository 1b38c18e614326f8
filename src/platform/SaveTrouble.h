#pragma once
// Hears whether the data the browser keeps could be saved. A full disk (or a folder that
// cannot be written) makes every writer fail at once: the user is told once, not once per
// file or per write. The writers keep trying at their next change; once each one that
// failed has saved again, the trouble is over, and a later one is told anew. The
// application owns one and hands it to its writers; a writer given none reports nothing.
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace vorlane::platform {

// Favorites are saved at the user's request, and a failure is told to the user right then.
enum class TKeptData { Settings, History, Session };

// The data in the user's words: "历史记录和下载记录"…
std::string KeptDataName(TKeptData What);
// What the user is told when What could not be saved.
std::string SaveTroubleText(TKeptData What);

class TSaveTrouble {
public:
  // Failure: nullopt when What was saved, else why it was not.
  void Report(TKeptData What, const std::optional<std::string>& Failure);
  // Runs at the first failure of a trouble with the text to show and the system's reason
  // (for the log); on the reporting thread.
  void SetTell(std::function<void(const std::string& Text, const std::string& Why)> Tell);
  bool Troubled() const;

private:
  mutable std::mutex FLock;
  std::set<TKeptData> FFailing;
  std::function<void(const std::string&, const std::string&)> FTell;
};

}  // namespace vorlane::platform
