#include "platform/ProfileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vorlane::platform {

TProfileLock::TProfileLock(const std::filesystem::path& File) {
  std::error_code Ignored;
  std::filesystem::create_directories(File.parent_path(), Ignored);
  FFd = ::open(File.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (FFd < 0) return;
  FSole = ::flock(FFd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

TProfileLock::~TProfileLock() {
  if (FFd >= 0) ::close(FFd);
}

}  // namespace vorlane::platform
