#pragma once
// TDIRMonitor watches one directory tree on a thread of its own (inotify over every
// folder of the tree, new folders added as they appear) and calls its owner back on the
// GLib main context that was current where it was created, the watcher waiting until the
// callback has returned; so callers need no locks. Changes made while a callback runs are
// reported by a later one. When the watched folder is deleted or moved away the watching
// ends quietly. The watched folder may be a link; links below it are not followed. A
// callback that throws is logged on stderr and the watching goes on; folders that cannot
// be watched (the inotify watch limit) are reported there once.
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

namespace vorlane::favorites {

class TDIRMonitor {
public:
  using TCallback = std::function<void(TDIRMonitor& Sender)>;

  // Throws std::runtime_error "Path does not exist" or "No callback has been set". The
  // tree is being watched when the constructor returns.
  TDIRMonitor(const std::filesystem::path& Path, TCallback Callback, bool WatchSubtree = true);
  ~TDIRMonitor();
  TDIRMonitor(const TDIRMonitor&) = delete;
  TDIRMonitor& operator=(const TDIRMonitor&) = delete;

  // Ends the watching; no callback runs after it returns. Safe at any moment, also from
  // inside the callback and more than once. Call it on the thread that runs the context.
  void Stop();
  // Only asks the thread to end after its next wake-up.
  void Terminate();

  // False once the thread has ended (after Stop, or when the folder went away).
  bool Watching() const;

  const std::filesystem::path& Path() const { return FPath; }
  bool WatchSubtree() const { return FWatchSubtree; }

  struct TShared;

private:
  std::filesystem::path FPath;
  bool FWatchSubtree;
  std::shared_ptr<TShared> FShared;
  std::thread FThread;
};

}  // namespace vorlane::favorites
