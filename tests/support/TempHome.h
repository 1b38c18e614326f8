#pragma once
// A temporary HOME with its own XDG folders, removed again at the end. The test mains
// make one per process, so no test ever touches the user's files.
#include <filesystem>

namespace vorlane::test {

class TempHome {
public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::filesystem::path& Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};

}  // namespace vorlane::test
