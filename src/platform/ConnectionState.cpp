#include "platform/ConnectionState.h"

namespace vorlane::platform {

namespace {
// Process-wide by nature: one switch for every page, as the old platform had.
bool GConnected = true;
}  // namespace

bool ConnectionState::Connected() { return GConnected; }

void ConnectionState::SetConnected(bool Connected) {
  if (Connected == GConnected) return;
  GConnected = Connected;
  Changed().emit(Connected);
}

sigc::signal<void(bool)>& ConnectionState::Changed() {
  static sigc::signal<void(bool)> Signal;
  return Signal;
}

}  // namespace vorlane::platform
