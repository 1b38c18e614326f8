#include "framework/StatusGauge.h"

#include <algorithm>

namespace vorlane::framework {

StatusGauge::StatusGauge() {
  set_show_text(true);
  SetPosition(0);
}

void StatusGauge::SetPosition(int Position) {
  FPosition = std::clamp(Position, 0, Max);
  set_fraction(static_cast<double>(FPosition) / Max);
  set_text(std::to_string(FPosition * 100 / Max) + "%");
}

}  // namespace vorlane::framework
