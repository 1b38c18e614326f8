#pragma once
// The about box: product name, version and program icon in a small fixed dialog, modal
// over the main window.
#include <gtkmm/button.h>
#include <gtkmm/fixed.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>
#include <vector>

namespace vorlane::shell {

// A label's box on its panel.
struct TLabelBox {
  int X = 0, Y = 0, Width = 0, Height = 0;
};

// Places labels given in order at their wished left and top edges so that no two
// overlap: a label that would cover an earlier one is pushed along the row past it; when
// it would then cross RightEdge it goes below the label in its way instead, at its wished
// left edge. Gap is the space kept between neighbours.
void PlaceLabels(std::vector<TLabelBox>& Boxes, int RightEdge, int Gap);

class TAboutBox : public Gtk::Window {
public:
  static constexpr int ClientWidth = 298, ClientHeight = 213;

  explicit TAboutBox(Gtk::Window& Owner);
  ~TAboutBox() override;

  // The box was closed (OK, Enter, Escape or the window's close button).
  std::function<void()> OnClosed;
  void OKButtonClick();

  // Components, named as on the form.
  Gtk::Fixed Panel1;
  Gtk::Image ProgramIcon;
  Gtk::Label ProductName, Version, Label1, Label2, Label3, Label4, Label5;
  Gtk::Button OKButton;
  // The labels on the panel, in placing order.
  std::vector<Gtk::Label*> Labels() { return {&ProductName, &Version, &Label1, &Label2, &Label3, &Label4, &Label5}; }

private:
  void PlaceLabelsWithTheirFont();
  static void WrapToWidth(Gtk::Label& Label, int Width);

  Gtk::Fixed FClient;
  bool FClosed = false;
};

}  // namespace vorlane::shell
