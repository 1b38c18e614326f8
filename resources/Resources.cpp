#include "Resources.h"

#include <gio/gio.h>
#include <mutex>

extern "C" void vorlane_gresource_register_resource(void);  // generated

namespace vorlane::resources {

void EnsureRegistered() {
  // Registration is process-wide by nature: once, for the life of the process.
  static std::once_flag Once;
  std::call_once(Once, [] { vorlane_gresource_register_resource(); });
}

}  // namespace vorlane::resources
