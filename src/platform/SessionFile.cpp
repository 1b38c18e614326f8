// Reading and writing the session file; the text form is in SessionCodec.cpp.
#include "platform/SessionFile.h"

#include "platform/DamagedFile.h"
#include "platform/DurableFile.h"

#include <gio/gio.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlane::platform {
namespace {

class TReadDescriptor {
public:
  explicit TReadDescriptor(const std::filesystem::path& File)
      // Non-blocking, so that a pipe put in the file's place cannot hang the start.
      : FFd(::open(File.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {}
  ~TReadDescriptor() {
    if (FFd >= 0) ::close(FFd);
  }
  TReadDescriptor(const TReadDescriptor&) = delete;
  TReadDescriptor& operator=(const TReadDescriptor&) = delete;
  int Get() const { return FFd; }

private:
  int FFd;
};

enum class TReadResult { Missing, Read, Unusable };

// The whole file when it is a regular file of at most MaxSessionFileSize bytes.
TReadResult ReadSessionText(const std::filesystem::path& File, std::string& Text) {
  TReadDescriptor Fd(File);
  if (Fd.Get() < 0) return errno == ENOENT || errno == ENOTDIR ? TReadResult::Missing : TReadResult::Unusable;
  struct stat Info;
  if (::fstat(Fd.Get(), &Info) != 0 || !S_ISREG(Info.st_mode)) return TReadResult::Unusable;
  if (static_cast<std::uintmax_t>(Info.st_size) > MaxSessionFileSize) return TReadResult::Unusable;
  // One byte more than fstat said, to notice a file that grew meanwhile.
  Text.resize(static_cast<std::size_t>(Info.st_size) + 1);
  std::size_t Have = 0;
  for (;;) {
    if (Have == Text.size()) {
      if (Text.size() > MaxSessionFileSize) return TReadResult::Unusable;
      Text.resize(std::min<std::size_t>(Text.size() * 2, MaxSessionFileSize + 1));
    }
    ssize_t Got = ::read(Fd.Get(), Text.data() + Have, Text.size() - Have);
    if (Got < 0 && errno == EINTR) continue;
    if (Got < 0) return TReadResult::Unusable;
    if (Got == 0) break;
    Have += static_cast<std::size_t>(Got);
  }
  Text.resize(Have);
  return TReadResult::Read;
}

struct TSaveJob {
  std::filesystem::path File;
  TSavedSession Session;
  std::function<void(std::optional<std::string>)> Done;
  std::optional<std::string> Failure;
};

void SaveOnWorker(GTask* Task, gpointer, gpointer Data, GCancellable*) {
  auto* Job = static_cast<TSaveJob*>(Data);
  Job->Failure = SaveSessionFile(Job->File, Job->Session);
  g_task_return_boolean(Task, TRUE);
}

void Saved(GObject*, GAsyncResult* Result, gpointer) {
  auto* Job = static_cast<TSaveJob*>(g_task_get_task_data(G_TASK(Result)));
  if (Job->Done) Job->Done(std::move(Job->Failure));
}

}  // namespace

TSessionLoad LoadSessionFile(const std::filesystem::path& File) {
  TSessionLoad Load;
  // A kill in the middle of a save leaves its temporary file; a minute is far longer than
  // any save of another running instance takes.
  RemoveStaleTemporaries(File, std::chrono::seconds(60));
  try {
    std::string Text;
    TReadResult Result = ReadSessionText(File, Text);
    if (Result == TReadResult::Missing) return Load;
    if (Result == TReadResult::Read) Load.Session = DecodeSession(Text);
    if (!Load.Session) Load.SetAside = SetDamagedFileAside(File);
  } catch (const std::exception&) {
    // Out of memory for a file within the size limit: start without it, and leave it be.
  }
  return Load;
}

std::optional<std::string> SaveSessionFile(const std::filesystem::path& File, const TSavedSession& Session) {
  return ReplaceFileDurably(File, EncodeSession(Session));
}

void SaveSessionFileAsync(const std::filesystem::path& File, const TSavedSession& Session,
                          std::function<void(std::optional<std::string>)> Done) {
  // The task reports back on the thread-default main context of this call.
  GTask* Task = g_task_new(nullptr, nullptr, Saved, nullptr);
  g_task_set_task_data(Task, new TSaveJob{File, Session, std::move(Done), std::nullopt},
                       [](gpointer Data) { delete static_cast<TSaveJob*>(Data); });
  g_task_run_in_thread(Task, SaveOnWorker);
  g_object_unref(Task);
}

}  // namespace vorlane::platform
