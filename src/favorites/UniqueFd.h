#pragma once
// Owning wrappers for the C handles the favorites core uses: file descriptors and
// directory streams. Closing happens exactly once, when the owner goes away.
#include <dirent.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace vorlane::favorites {

class UniqueFd {
public:
  UniqueFd() = default;
  explicit UniqueFd(int Fd) : FFd(Fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}
  UniqueFd& operator=(UniqueFd&& Other) noexcept {
    if (this != &Other) {
      Reset();
      FFd = std::exchange(Other.FFd, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return FFd; }
  bool Valid() const { return FFd >= 0; }
  void Reset() {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
  }

private:
  int FFd = -1;
};

struct DirCloser {
  void operator()(DIR* D) const { ::closedir(D); }
};
using UniqueDir = std::unique_ptr<DIR, DirCloser>;

}  // namespace vorlane::favorites
