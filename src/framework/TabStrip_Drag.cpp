// Reordering tabs by dragging them along the strip, as in other browsers: the tab moves
// to the place under the pointer while the button is held; the rows stay as they are.
#include "framework/TabStrip.h"

#include "framework/TabLayout.h"

#include <gtkmm/settings.h>

#include <cmath>
#include <utility>

namespace vorlane::framework {

void TabStrip::Move(int From, int To) {
  if (From < 0 || From >= Count() || To < 0 || To >= Count() || From == To) return;
  Tab Moving = std::move(FTabs[From]);
  FTabs.erase(FTabs.begin() + From);
  FTabs.insert(FTabs.begin() + To, std::move(Moving));
  // The selection follows its tab.
  if (FSelected == From)
    FSelected = To;
  else if (FSelected >= 0 && From < FSelected && FSelected <= To)
    --FSelected;
  else if (FSelected >= 0 && To <= FSelected && FSelected < From)
    ++FSelected;
  FHot = -1;
  queue_draw();
}

void TabStrip::InstallDrag() {
  FDrag = Gtk::GestureDrag::create();
  FDrag->set_button(GDK_BUTTON_PRIMARY);
  FDrag->signal_drag_begin().connect([this](double X, double Y) { FDragFrom = FDragAt = IndexAt(X, Y); });
  FDrag->signal_drag_update().connect([this](double DX, double DY) { OnDragUpdate(DX, DY); });
  FDrag->signal_drag_end().connect([this](double, double) { OnDragEnd(); });
  add_controller(FDrag);
}

void TabStrip::OnDragUpdate(double OffsetX, double OffsetY) {
  if (FDragFrom < 0 || FDragAt >= Count()) return;
  // A click that wobbles a pixel or two is still a click.
  int Threshold = 8;
  if (auto Settings = get_settings()) Threshold = Settings->property_gtk_dnd_drag_threshold().get_value();
  if (FDragAt == FDragFrom && std::hypot(OffsetX, OffsetY) < Threshold) return;
  double StartX = 0, StartY = 0;
  if (!FDrag->get_start_point(StartX, StartY)) return;
  int To = TabLayout::DropIndexAt(StartX + OffsetX, StartY + OffsetY, Count(), LayoutWidth());
  if (To < 0 || To == FDragAt) return;
  Move(FDragAt, To);
  FDragAt = To;
}

void TabStrip::OnDragEnd() {
  const int From = std::exchange(FDragFrom, -1), To = std::exchange(FDragAt, -1);
  if (From >= 0 && To >= 0 && From != To) FMoved.emit(From, To);
}

}  // namespace vorlane::framework
