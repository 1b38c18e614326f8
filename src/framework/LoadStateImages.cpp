#include "framework/LoadStateImages.h"

namespace vorlane::framework {

void DrawLoadStateImage(const Cairo::RefPtr<Cairo::Context>& Cr, double X, double Y, int Index) {
  if (Index < 0 || Index >= LoadStateImageCount) return;
  Cr->save();
  Cr->translate(X, Y);
  if (Index == 4) {
    Cr->set_source_rgb(0.12, 0.35, 0.85);
    Cr->set_line_width(2.5);
    Cr->move_to(2.5, 8.5);
    Cr->line_to(6.5, 12.5);
    Cr->line_to(13.5, 3.5);
    Cr->stroke();
  } else {
    Cr->set_source_rgb(1, 1, 1);
    Cr->rectangle(1.5, 5.5, 13, 6);
    Cr->fill_preserve();
    Cr->set_source_rgb(0.45, 0.45, 0.45);
    Cr->set_line_width(1);
    Cr->stroke();
    if (Index > 0) {
      Cr->set_source_rgb(0.15, 0.65, 0.2);
      Cr->rectangle(2, 6, 12.0 * Index / 4.0, 5);
      Cr->fill();
    }
  }
  Cr->restore();
}

}  // namespace vorlane::framework
