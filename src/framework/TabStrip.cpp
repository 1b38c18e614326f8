#include "framework/TabStrip.h"

#include "framework/LoadStateImages.h"
#include "framework/TabLayout.h"
#include "framework/ToolTip.h"

#include <gtkmm/snapshot.h>
#include <gtkmm/window.h>
#include <glibmm/main.h>
#include <pangomm/layout.h>

namespace vorlane::framework {

TabStrip::TabStrip() {
  set_name("PageControl");
  add_css_class("tabstrip");
  // The owner sets the text; Chinese captions must not break after every character.
  ShowToolTipOnOneLine(*this);
  FClick = Gtk::GestureClick::create();
  FClick->set_button(0);  // any button
  FClick->signal_pressed().connect([this](int N, double X, double Y) {
    int Button = static_cast<int>(FClick->get_current_button());
    OnPressed(Button == 0 ? GDK_BUTTON_PRIMARY : Button, N, X, Y);
  });
  add_controller(FClick);
  FMotion = Gtk::EventControllerMotion::create();
  FMotion->signal_motion().connect([this](double X, double Y) { OnMotion(X, Y); });
  FMotion->signal_leave().connect([this] {
    FHot = -1;
    queue_draw();
  });
  add_controller(FMotion);
  InstallDrag();
}

TabStrip::~TabStrip() { FRowsIdle.disconnect(); }

int TabStrip::Insert(int Index, const std::string& Caption, const void* Tag) {
  Index = std::clamp(Index, 0, Count());
  FTabs.insert(FTabs.begin() + Index, Tab{Caption, -1, Tag});
  FDragFrom = FDragAt = -1;  // a drag under way loses its tab's place
  if (FSelected >= Index) ++FSelected;
  FLastRows = RowCount();  // the owner sees count changes itself
  queue_draw();
  return Index;
}

void TabStrip::Remove(int Index) {
  if (Index < 0 || Index >= Count()) return;
  FTabs.erase(FTabs.begin() + Index);
  FDragFrom = FDragAt = -1;
  if (FSelected == Index)
    FSelected = -1;
  else if (FSelected > Index)
    --FSelected;
  if (FHot >= Count()) FHot = -1;
  FLastRows = RowCount();
  queue_draw();
}

int TabStrip::IndexOfTag(const void* Tag) const {
  for (int I = 0; I < Count(); ++I)
    if (FTabs[I].Tag == Tag) return I;
  return -1;
}

void TabStrip::SetCaption(int Index, const std::string& Caption) {
  FTabs.at(Index).Caption = Caption;
  queue_draw();
}

void TabStrip::SetImage(int Index, int Image) {
  FTabs.at(Index).Image = Image;
  queue_draw();
}

void TabStrip::Select(int Index) {
  FSelected = Index >= 0 && Index < Count() ? Index : -1;
  queue_draw();
}

int TabStrip::LayoutWidth() const {
  if (FAllocatedWidth > 0) return FAllocatedWidth;
  // Before the first layout: the window's width is the best guess of ours.
  if (auto* Root = dynamic_cast<const Gtk::Window*>(get_root())) {
    int W = Root->get_width(), H = 0;
    if (W <= 0) Root->get_default_size(W, H);
    if (W > 0) return W;
  }
  return TabLayout::TabWidth;
}

int TabStrip::RowCount() const { return TabLayout::RowCount(Count(), LayoutWidth()); }

int TabStrip::IndexAt(double X, double Y) const {
  return TabLayout::IndexAt(X, Y, Count(), LayoutWidth());
}

void TabStrip::ClickTab(int Index, int PressCount, int Button) {
  auto R = TabLayout::RectOf(Index, LayoutWidth());
  OnPressed(Button, PressCount, R.X + R.Width / 2.0, R.Y + R.Height / 2.0);
}

void TabStrip::OnPressed(int Button, int PressCount, double X, double Y) {
  FMouseDown.emit(Button, PressCount, X, Y);
  // Only the left button selects; the others are the owner's to give a meaning.
  if (PressCount != 1 || Button != GDK_BUTTON_PRIMARY) return;
  int Index = IndexAt(X, Y);
  if (Index < 0 || Index == FSelected) return;
  FSelected = Index;
  queue_draw();
  FChange.emit();
}

void TabStrip::OnMotion(double X, double Y) {
  int Hot = IndexAt(X, Y);
  if (Hot != FHot) {
    FHot = Hot;
    queue_draw();
  }
  FMouseMove.emit(X, Y);
}

Gtk::SizeRequestMode TabStrip::get_request_mode_vfunc() const {
  return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void TabStrip::measure_vfunc(Gtk::Orientation Orientation, int ForSize, int& Minimum, int& Natural,
                             int& MinimumBaseline, int& NaturalBaseline) const {
  MinimumBaseline = NaturalBaseline = -1;
  if (Orientation == Gtk::Orientation::HORIZONTAL) {
    Minimum = TabLayout::TabWidth;
    Natural = TabLayout::TabWidth;
  } else {
    // The owner sets the strip's height for its row count; by itself it asks for one row.
    Minimum = Natural = TabLayout::HeightFor(1);
  }
}

void TabStrip::size_allocate_vfunc(int Width, int Height, int Baseline) {
  FAllocatedWidth = Width;
  int Rows = RowCount();
  if (Rows != FLastRows) {
    FLastRows = Rows;
    // Resizing from inside an allocation is not allowed: tell the owner afterwards.
    FRowsIdle.disconnect();
    FRowsIdle = Glib::signal_idle().connect([this] {
      FRowsChanged.emit();
      return false;
    });
  }
}

void TabStrip::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& Snapshot) {
  int Width = get_width(), Height = get_height();
  if (Width <= 0 || Height <= 0) return;
  auto Cr = Snapshot->append_cairo(Gdk::Rectangle(0, 0, Width, Height));
  for (int I = 0; I < Count(); ++I) {
    auto R = TabLayout::RectOf(I, Width);
    if (R.Y >= Height) break;
    bool Selected = I == FSelected, Hot = I == FHot;
    // Flat buttons: a pressed look for the selected tab, a light frame for the hot one.
    if (Selected || Hot) {
      Cr->rectangle(R.X + 1.5, R.Y + 0.5, R.Width - 3, R.Height - 1);
      if (Selected)
        Cr->set_source_rgb(0.82, 0.86, 0.93);
      else
        Cr->set_source_rgb(0.93, 0.95, 0.98);
      Cr->fill_preserve();
      Cr->set_source_rgb(Selected ? 0.35 : 0.6, Selected ? 0.45 : 0.65, Selected ? 0.6 : 0.75);
      Cr->set_line_width(1);
      Cr->stroke();
    }
    DrawLoadStateImage(Cr, R.X + 4, R.Y + 2, FTabs[I].Image);
    auto Layout = create_pango_layout(FTabs[I].Caption);
    Layout->set_width((R.Width - 26) * Pango::SCALE);
    Layout->set_ellipsize(Pango::EllipsizeMode::END);
    Layout->set_single_paragraph_mode(true);
    int TextW = 0, TextH = 0;
    Layout->get_pixel_size(TextW, TextH);
    Cr->set_source_rgb(0, 0, 0);
    Cr->move_to(R.X + 22, R.Y + (R.Height - TextH) / 2.0);
    Layout->show_in_cairo_context(Cr);
  }
}

}  // namespace vorlane::framework
