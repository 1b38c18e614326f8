#include "framework/StatusGauge.h"

#include <algorithm>

namespace vorlane::framework {

StatusGauge::StatusGauge() {
  add_css_class("status-gauge");
  FBar.set_valign(Gtk::Align::FILL);
  set_child(FBar);
  FText.set_halign(Gtk::Align::CENTER);
  FText.set_valign(Gtk::Align::CENTER);
  add_overlay(FText);
  SetPosition(0);
}

void StatusGauge::SetPosition(int Position) {
  FPosition = std::clamp(Position, 0, Max);
  FBar.set_fraction(static_cast<double>(FPosition) / Max);
  FText.set_text(std::to_string(FPosition * 100 / Max) + "%");
  // A negative position is the end of a load: an empty gauge without a percentage.
  FText.set_visible(Position >= 0);
}

}  // namespace vorlane::framework
