#pragma once
// Whether another run of the browser still uses the profile. Runs started beside a running
// one share its files, so what an earlier run left unfinished (a download recorded as
// running) is only ours to end when no live run holds the profile. The lock goes with its
// holder however it ends, a kill included.
#include <filesystem>

namespace vorlane::platform {

class TProfileLock {
public:
  // Takes the lock on File (created when missing) if no other run holds it.
  explicit TProfileLock(const std::filesystem::path& File);
  ~TProfileLock();
  TProfileLock(const TProfileLock&) = delete;
  TProfileLock& operator=(const TProfileLock&) = delete;

  // No other live run holds the profile (also when the lock file cannot be made: a run
  // that cannot tell acts as the only one, as it did before there was a lock).
  bool Sole() const { return FSole; }

private:
  int FFd = -1;
  bool FSole = true;
};

}  // namespace vorlane::platform
