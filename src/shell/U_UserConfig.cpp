#include "shell/U_UserConfig.h"

namespace vorlane::shell {

TUserConfig& UserConfig() {
  static TUserConfig Config;
  return Config;
}

}  // namespace vorlane::shell
