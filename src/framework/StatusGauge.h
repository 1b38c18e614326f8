#pragma once
// The status bar's progress gauge: a horizontal bar with percentage text, range 0..10000;
// positions outside the range are clamped.
#include <gtkmm/progressbar.h>

namespace vorlane::framework {

class StatusGauge : public Gtk::ProgressBar {
public:
  static constexpr int Max = 10000;
  StatusGauge();
  void SetPosition(int Position);
  int Position() const { return FPosition; }

private:
  int FPosition = 0;
};

}  // namespace vorlane::framework
