#pragma once
// The multi-row tab strip: fixed 120 × 20 tabs drawn as flat buttons with a load-state
// image and an ellipsized caption. It keeps captions, images, an opaque per-tab tag and
// the selection; what a selection means is the owner's business.
#include <gtkmm/widget.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/gesturedrag.h>
#include <gtkmm/eventcontrollermotion.h>
#include <sigc++/signal.h>

#include <string>
#include <vector>

namespace vorlane::framework {

class TabStrip : public Gtk::Widget {
public:
  TabStrip();
  ~TabStrip() override;

  // Inserts a tab; the selection stays on the tab that was selected. Returns Index.
  int Insert(int Index, const std::string& Caption, const void* Tag);
  // Deletes a tab. Deleting the selected tab leaves no tab selected.
  void Remove(int Index);
  int Count() const { return static_cast<int>(FTabs.size()); }
  int IndexOfTag(const void* Tag) const;  // first match, or -1
  const void* Tag(int Index) const { return FTabs.at(Index).Tag; }

  std::string Caption(int Index) const { return FTabs.at(Index).Caption; }
  void SetCaption(int Index, const std::string& Caption);
  int Image(int Index) const { return FTabs.at(Index).Image; }
  void SetImage(int Index, int Image);

  // Moves a tab to another place; the selection stays with the tab it was on.
  void Move(int From, int To);

  int Selected() const { return FSelected; }
  // Selects without raising signal_change (a program change, not the user's).
  void Select(int Index);

  // Rows at the current width (or at the width it will get, before the first layout).
  int RowCount() const;
  int IndexAt(double X, double Y) const;
  int LayoutWidth() const;

  // The user selected a tab with the mouse.
  sigc::signal<void()>& signal_change() { return FChange; }
  // A mouse button went down: (button, press count, x, y).
  sigc::signal<void(int, int, double, double)>& signal_mouse_down() { return FMouseDown; }
  sigc::signal<void(double, double)>& signal_mouse_move() { return FMouseMove; }
  // The user dragged a tab from one place to another (the tabs have moved already).
  sigc::signal<void(int, int)>& signal_moved() { return FMoved; }
  // The number of rows changed because the strip got another width.
  sigc::signal<void()>& signal_rows_changed() { return FRowsChanged; }

  // Simulates a user click on a tab (tests, keyboard); Button 1 is the left one.
  void ClickTab(int Index, int PressCount = 1, int Button = 1);

protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void measure_vfunc(Gtk::Orientation Orientation, int ForSize, int& Minimum, int& Natural,
                     int& MinimumBaseline, int& NaturalBaseline) const override;
  void size_allocate_vfunc(int Width, int Height, int Baseline) override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& Snapshot) override;

private:
  struct Tab {
    std::string Caption;
    int Image = -1;
    const void* Tag = nullptr;
  };

  void OnPressed(int Button, int PressCount, double X, double Y);
  void OnMotion(double X, double Y);
  // Dragging a tab along the strip (TabStrip_Drag.cpp).
  void InstallDrag();
  void OnDragUpdate(double OffsetX, double OffsetY);
  void OnDragEnd();

  std::vector<Tab> FTabs;
  int FSelected = -1;
  int FHot = -1;
  int FAllocatedWidth = 0;
  int FLastRows = 1;
  Glib::RefPtr<Gtk::GestureClick> FClick;
  Glib::RefPtr<Gtk::EventControllerMotion> FMotion;
  sigc::signal<void()> FChange;
  sigc::signal<void(int, int, double, double)> FMouseDown;
  sigc::signal<void(double, double)> FMouseMove;
  sigc::signal<void()> FRowsChanged;
  Glib::RefPtr<Gtk::GestureDrag> FDrag;
  int FDragFrom = -1;  // the dragged tab's place when the drag began; -1: no tab dragged
  int FDragAt = -1;    // its place now
  sigc::signal<void(int, int)> FMoved;
  sigc::connection FRowsIdle;
};

}  // namespace vorlane::framework
