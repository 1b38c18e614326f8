#pragma once
// The status bar's progress gauge: a horizontal bar with its percentage written over it,
// range 0..10000; positions outside the range are clamped, and a negative one also hides
// the percentage.
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/progressbar.h>

namespace vorlane::framework {

class StatusGauge : public Gtk::Overlay {
public:
  static constexpr int Max = 10000;
  StatusGauge();
  void SetPosition(int Position);
  int Position() const { return FPosition; }
  double Fraction() const { return FBar.get_fraction(); }
  // The percentage shown, or "" when hidden.
  std::string Text() const { return FText.get_visible() ? std::string(FText.get_text()) : std::string(); }

private:
  int FPosition = 0;
  Gtk::ProgressBar FBar;
  Gtk::Label FText;
};

}  // namespace vorlane::framework
