#include "favorites/DIRMonitor.h"

#include "favorites/UniqueFd.h"

#include <glib.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace vorlane::favorites {
namespace {

// Creation, deletion and renaming of files and folders, and writes (size and time). Not
// attributes. The folder's own removal or move ends the watching.
constexpr std::uint32_t ChangeMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY;
constexpr std::uint32_t WatchMask = ChangeMask | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

struct ContextUnref {
  void operator()(GMainContext* C) const { g_main_context_unref(C); }
};
struct SourceUnref {
  void operator()(GSource* S) const { g_source_unref(S); }
};

// The inotify watches of one tree: descriptor <-> folder.
class WatchSet {
public:
  explicit WatchSet(UniqueFd Fd) : FFd(std::move(Fd)) {}
  int Fd() const { return FFd.Get(); }

  // Watches Root and every folder below it. Links below Root are not followed; the
  // watched folder itself is (the Favorites folder may be a link into a synced folder),
  // and its own failure is the constructor's to report.
  // Returns the descriptor of Root, -1 when Root cannot be watched.
  int AddTree(const std::filesystem::path& Root, const std::atomic<bool>& Stop, bool IsWatchedFolder = false) {
    int RootWd = Add(Root, IsWatchedFolder);
    if (RootWd >= 0) AddBelow(Root, Stop);
    return RootWd;
  }

  // Watches every folder below Root (Root itself already watched). Ends early, returning
  // false, once Stop is set: a tree can be large, or on a slow disk.
  bool AddBelow(const std::filesystem::path& Root, const std::atomic<bool>& Stop) {
    std::vector<std::filesystem::path> Stack{Root};
    while (!Stack.empty()) {
      if (Stop) return false;
      std::filesystem::path Dir = std::move(Stack.back());
      Stack.pop_back();
      UniqueDir D(::opendir(Dir.c_str()));
      if (!D) continue;
      while (const dirent* E = ::readdir(D.get())) {
        if (!std::strcmp(E->d_name, ".") || !std::strcmp(E->d_name, "..")) continue;
        bool IsDir = E->d_type == DT_DIR;
        if (E->d_type == DT_UNKNOWN) {
          struct stat St {};
          IsDir = ::fstatat(::dirfd(D.get()), E->d_name, &St, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(St.st_mode);
        }
        if (!IsDir) continue;
        if (Stop) return false;
        auto Sub = Dir / E->d_name;
        if (Add(Sub) >= 0) Stack.push_back(std::move(Sub));
      }
    }
    return true;
  }

  int AddRoot(const std::filesystem::path& Root) { return Add(Root, true); }

  // Forgets the watches of Folder and everything below it (it left the tree).
  void RemoveTree(const std::filesystem::path& Folder) {
    const std::string Prefix = Folder.string() + "/";
    for (auto It = FPaths.begin(); It != FPaths.end();) {
      const std::string P = It->second.string();
      if (P == Folder.string() || P.compare(0, Prefix.size(), Prefix) == 0) {
        ::inotify_rm_watch(FFd.Get(), It->first);
        It = FPaths.erase(It);
      } else {
        ++It;
      }
    }
  }

  void Forget(int Wd) { FPaths.erase(Wd); }
  const std::filesystem::path* PathOf(int Wd) const {
    auto It = FPaths.find(Wd);
    return It == FPaths.end() ? nullptr : &It->second;
  }

private:
  int Add(const std::filesystem::path& Dir, bool IsWatchedFolder = false) {
    int Wd = ::inotify_add_watch(FFd.Get(), Dir.c_str(), WatchMask | (IsWatchedFolder ? 0 : IN_DONT_FOLLOW));
    if (Wd >= 0) {
      FPaths[Wd] = Dir;  // a folder moved within the tree keeps its descriptor
    } else if (!IsWatchedFolder && errno != ENOENT && errno != ENOTDIR && !FReported) {
      // Gone again or not a folder is normal; anything else (the inotify watch limit)
      // means changes there go unseen, which the user should be able to find out.
      int Cause = errno;
      FReported = true;
      std::fprintf(stderr, "vorlane: cannot watch %s for changes (%s); further such folders are not reported\n",
                   Dir.c_str(), std::strerror(Cause));
      errno = Cause;
    }
    return Wd;
  }

  UniqueFd FFd;
  bool FReported = false;
  std::map<int, std::filesystem::path> FPaths;
};

}  // namespace

struct TDIRMonitor::TShared {
  // Main-context side only.
  TCallback Callback;
  TDIRMonitor* Owner = nullptr;

  std::mutex Mutex;
  std::condition_variable Wake;
  bool Stopped = false;       // guarded by Mutex
  bool CallbackDone = false;  // guarded by Mutex
  std::atomic<bool> Terminated{false};
  std::atomic<bool> Ended{false};

  std::unique_ptr<GMainContext, ContextUnref> Context;
  UniqueFd StopFd;
  std::unique_ptr<WatchSet> Watches;
  int RootWd = -1;
  std::filesystem::path Path;
  bool WalkPending = false;  // the folders below the root are still to be watched
};

namespace {

using Shared = std::shared_ptr<TDIRMonitor::TShared>;

// Runs on the main context: the callback, unless the monitor was stopped meanwhile.
gboolean RunCallback(gpointer Data) {
  TDIRMonitor::TShared& S = **static_cast<Shared*>(Data);
  if (S.Callback && S.Owner) {
    TDIRMonitor::TCallback Callback = S.Callback;  // Stop inside the callback clears the field
    // An exception must not cross the main loop's C frames (that ends the program); the
    // owner's failure is logged and the watching goes on.
    try {
      Callback(*S.Owner);
    } catch (const std::exception& Failure) {
      std::fprintf(stderr, "vorlane: the folder-change handler failed: %s\n", Failure.what());
    } catch (...) {
      std::fprintf(stderr, "vorlane: the folder-change handler failed\n");
    }
  }
  {
    std::lock_guard Lock(S.Mutex);
    S.CallbackDone = true;
  }
  S.Wake.notify_all();
  return G_SOURCE_REMOVE;
}

void ReleaseShared(gpointer Data) {
  std::unique_ptr<Shared> Owned(static_cast<Shared*>(Data));
}

// Asks the main context to run the callback and waits until it has run or the monitor
// is stopped. False when stopped.
bool CallBack(const Shared& S) {
  {
    std::lock_guard Lock(S->Mutex);
    if (S->Stopped) return false;
    S->CallbackDone = false;
  }
  std::unique_ptr<GSource, SourceUnref> Source(g_idle_source_new());
  g_source_set_priority(Source.get(), G_PRIORITY_DEFAULT);
  auto Holder = std::make_unique<Shared>(S);
  g_source_set_callback(Source.get(), RunCallback, Holder.release(), ReleaseShared);
  g_source_attach(Source.get(), S->Context.get());
  std::unique_lock Lock(S->Mutex);
  S->Wake.wait(Lock, [&] { return S->CallbackDone || S->Stopped; });
  return !S->Stopped;
}

// Reads every queued event. Returns whether any of them is a change; RootGone is set
// when the watched folder itself was removed or moved.
bool DrainEvents(TDIRMonitor::TShared& S, bool& RootGone) {
  alignas(inotify_event) char Buffer[16 * 1024];
  bool Changed = false;
  for (;;) {
    ssize_t N = ::read(S.Watches->Fd(), Buffer, sizeof Buffer);
    if (N < 0) {
      if (errno == EINTR) continue;
      break;  // EAGAIN: nothing more queued
    }
    if (N == 0) break;
    for (ssize_t Off = 0; Off < N;) {
      const auto* E = reinterpret_cast<const inotify_event*>(Buffer + Off);
      Off += static_cast<ssize_t>(sizeof(inotify_event) + E->len);
      if (E->mask & IN_Q_OVERFLOW) {
        // Events were lost: count it as a change and pick up any folders we missed.
        Changed = true;
        if (auto* Root = S.Watches->PathOf(S.RootWd)) S.Watches->AddTree(*Root, S.Terminated, true);
        continue;
      }
      if (E->wd == S.RootWd && (E->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))) {
        RootGone = true;
        Changed = true;
        continue;
      }
      if (E->mask & IN_IGNORED) {
        S.Watches->Forget(E->wd);
        continue;
      }
      if (!(E->mask & ChangeMask)) continue;
      Changed = true;
      const std::filesystem::path* Dir = S.Watches->PathOf(E->wd);
      if (!Dir || !(E->mask & IN_ISDIR) || E->len == 0) continue;
      std::filesystem::path Child = *Dir / E->name;
      if (E->mask & IN_MOVED_FROM) S.Watches->RemoveTree(Child);
      if (E->mask & (IN_CREATE | IN_MOVED_TO)) S.Watches->AddTree(Child, S.Terminated);
    }
  }
  return Changed;
}

void ThreadBody(Shared S) {
  if (S->WalkPending) {
    // A change below the root made before its folder got a watch went unseen: one
    // callback once all are in place lets the owner re-read what it shows.
    if (!S->Watches->AddBelow(S->Path, S->Terminated) || !CallBack(S)) {
      S->Ended = true;
      return;
    }
  }
  pollfd Fds[2] = {{S->StopFd.Get(), POLLIN, 0}, {S->Watches->Fd(), POLLIN, 0}};
  for (;;) {
    int R = ::poll(Fds, 2, -1);
    if (R < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if ((Fds[0].revents & POLLIN) || S->Terminated) break;
    if (Fds[1].revents & (POLLERR | POLLHUP | POLLNVAL)) break;
    bool RootGone = false;
    bool Changed = DrainEvents(*S, RootGone);
    if (Changed && !CallBack(S)) break;
    if (RootGone || S->Terminated) break;
  }
  S->Ended = true;
}

}  // namespace

TDIRMonitor::TDIRMonitor(const std::filesystem::path& Path, TCallback Callback, bool WatchSubtree,
                         TSubfolderWatches Subfolders)
    : FPath(Path), FWatchSubtree(WatchSubtree) {
  struct stat St {};
  if (::stat(Path.c_str(), &St) != 0 || !S_ISDIR(St.st_mode)) throw std::runtime_error("Path does not exist");
  if (!Callback) throw std::runtime_error("No callback has been set");

  FShared = std::make_shared<TShared>();
  FShared->Callback = std::move(Callback);
  FShared->Owner = this;
  FShared->Context.reset(g_main_context_ref_thread_default());
  FShared->StopFd = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  UniqueFd Inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!FShared->StopFd.Valid() || !Inotify.Valid())
    throw std::runtime_error(std::string("Cannot watch the folder: ") + std::strerror(errno));
  FShared->Watches = std::make_unique<WatchSet>(std::move(Inotify));
  // The root's own watch is always in place before the constructor returns.
  FShared->Path = Path;
  FShared->WalkPending = Subfolders == TSubfolderWatches::AddedInBackground;
  FShared->RootWd = FShared->WalkPending ? FShared->Watches->AddRoot(Path)
                                         : FShared->Watches->AddTree(Path, FShared->Terminated, true);
  if (FShared->RootWd < 0)
    throw std::runtime_error(std::string("Cannot watch the folder: ") + std::strerror(errno));
  FThread = std::thread(ThreadBody, FShared);
}

TDIRMonitor::~TDIRMonitor() { Stop(); }

void TDIRMonitor::Stop() {
  if (!FShared) return;
  FShared->Callback = nullptr;
  FShared->Owner = nullptr;
  FShared->Terminated = true;
  {
    std::lock_guard Lock(FShared->Mutex);
    FShared->Stopped = true;
  }
  FShared->Wake.notify_all();
  std::uint64_t One = 1;
  [[maybe_unused]] ssize_t Ignored = ::write(FShared->StopFd.Get(), &One, sizeof One);
  if (FThread.joinable()) FThread.join();
}

void TDIRMonitor::Terminate() {
  if (FShared) FShared->Terminated = true;
}

bool TDIRMonitor::Watching() const { return FShared && !FShared->Ended; }

}  // namespace vorlane::favorites
