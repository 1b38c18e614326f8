#pragma once
// The process's connected state (the old platform's "work offline" switch). While
// disconnected, every engine of the process, present and future, keeps off the network;
// engines listen to Changed and read Connected when they start.
#include <sigc++/signal.h>

namespace vorlane::platform {

class ConnectionState {
public:
  static bool Connected();
  // Sets the state; listeners hear of real changes only.
  static void SetConnected(bool Connected);
  static sigc::signal<void(bool)>& Changed();
};

}  // namespace vorlane::platform
