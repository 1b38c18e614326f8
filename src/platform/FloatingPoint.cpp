#include "platform/FloatingPoint.h"

#include <fenv.h>

namespace vorlane::platform {

namespace {

// Read once, before main, and never written again.
const fenv_t& StartupEnvironment() {
  static const fenv_t Saved = [] {
    fenv_t E;
    fegetenv(&E);
    return E;
  }();
  return Saved;
}
const int GStartupTraps = [] {
  StartupEnvironment();
  return fegetexcept();
}();

}  // namespace

void MaskFloatingPointExceptions() {
  StartupEnvironment();
  fedisableexcept(FE_ALL_EXCEPT);
}

void RestoreStartupFloatingPoint() { fesetenv(&StartupEnvironment()); }

int StartupFloatingPointTraps() { return GStartupTraps; }

}  // namespace vorlane::platform
