#pragma once
// TDIRMonitor watches one directory tree on a thread of its own (inotify over every
// folder of the tree, new folders added as they appear) and calls its owner back on the
// GLib main context that was current where it was created, the watcher waiting until the
// callback has returned; so callers need no locks. Changes made while a callback runs are
// reported by a later one. When the watched folder is deleted or moved away the watching
// ends quietly. The watched folder may be a link; links below it are not followed. A
// callback that throws is logged on stderr and the watching goes on; folders that cannot
// be watched (the inotify watch limit) are reported there once.
//
// Watching a tree means one watch per folder, found by walking the whole tree. By default
// that walk runs in the constructor, so every change after it returns is reported. With
// TSubfolderWatches::AddedInBackground the constructor watches only the folder itself and
// the walk runs on the watcher's thread, so a caller on the UI thread never waits on the
// disk; a change in a subfolder made before that subfolder's watch exists is then not
// seen by itself, so once the walk has finished the watcher raises one callback (as for
// a change) whether or not anything changed, and the owner re-reads what it shows. No
// change is lost; at worst one is reported twice. Stop during the walk ends it between
// two folders, and no callback follows, walk-finished one included.
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

namespace vorlane::favorites {

enum class TSubfolderWatches { ReadyOnReturn, AddedInBackground };

class TDIRMonitor {
public:
  using TCallback = std::function<void(TDIRMonitor& Sender)>;

  // Throws std::runtime_error "Path does not exist" or "No callback has been set". The
  // folder itself is watched when the constructor returns, its subfolders too unless
  // they are added in the background (see above).
  TDIRMonitor(const std::filesystem::path& Path, TCallback Callback, bool WatchSubtree = true,
              TSubfolderWatches Subfolders = TSubfolderWatches::ReadyOnReturn);
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
