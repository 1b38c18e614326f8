#include "support/TempHome.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vorlane::test {

TempHome::TempHome() {
  std::string Pattern = (std::filesystem::temp_directory_path() / "vorlane-test-XXXXXX").string();
  if (!mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = Pattern;
  for (auto [Var, Sub] : {std::pair{"XDG_CONFIG_HOME", ".config"}, {"XDG_DATA_HOME", ".local/share"},
                          {"XDG_CACHE_HOME", ".cache"}, {"XDG_STATE_HOME", ".local/state"}}) {
    std::filesystem::create_directories(FPath / Sub);
    setenv(Var, (FPath / Sub).c_str(), 1);
  }
  std::filesystem::create_directories(FPath / "run");
  std::filesystem::permissions(FPath / "run", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  setenv("XDG_RUNTIME_DIR", (FPath / "run").c_str(), 1);
  setenv("HOME", FPath.c_str(), 1);
}

TempHome::~TempHome() {
  std::error_code Ec;
  std::filesystem::remove_all(FPath, Ec);
}

}  // namespace vorlane::test
