#include "navigation/SideBarDock.h"

#include <gdkmm/contentprovider.h>
#include <gtkmm/dragsource.h>
#include <gtkmm/droptargetasync.h>
#include <gtkmm/gestureclick.h>

#include "navigation/U_SideBar.h"

namespace vorlane::navigation {

namespace {
// The drag carries a type of its own: pages and text fields accept text and addresses, so
// a sidebar dragged over a page must not look like something a page takes.
constexpr const char* SideBarDragType = "application/x-vorlane-sidebar";
}  // namespace

TSideBarDock::TSideBarDock(Gtk::Window& Main, Gtk::Paned& Client, Gtk::Box& Panel, TFrmSideBar& SideBar)
    : FMain(Main), FClient(Client), FPanel(Panel), FSideBar(SideBar) {
  FFloat.set_title("FrmSideBar");
  FFloat.set_transient_for(FMain);
  FFloat.set_default_size(219, 480);
  FFloat.set_hide_on_close(true);
  FFloat.signal_close_request().connect(
      [this] {
        if (OnFloatClosed) OnFloatClosed();
        return false;  // hidden, never destroyed
      },
      false);
  FPanel.add_css_class("dock-panel");
  InstallDragAndDrop();
}

TSideBarDock::~TSideBarDock() {
  if (FWidthTick) FClient.remove_tick_callback(FWidthTick);
  if (FSideBar.get_parent() == &FPanel) FPanel.remove(FSideBar);
  else if (FSideBar.get_parent() == &FFloat) FFloat.unset_child();
}

void TSideBarDock::InstallDragAndDrop() {
  auto Source = Gtk::DragSource::create();
  Source->set_actions(Gdk::DragAction::MOVE);
  Source->set_content(Gdk::ContentProvider::create(SideBarDragType, Glib::Bytes::create(nullptr, 0)));
  Source->signal_drag_begin().connect([this](const Glib::RefPtr<Gdk::Drag>& Drag) {
    FDrag = Drag;
    FRefusedHere = FFloatOnEnd = false;
  });
  // Only a drop where nothing could take it floats the sidebar: Esc, a drop the dock
  // refused (the client area said no where the pointer was, its own panel included) and a
  // failed drag leave it where it is. The cancel comes before the end.
  Source->signal_drag_cancel().connect(
      [this](const Glib::RefPtr<Gdk::Drag>&, Gdk::DragCancelReason Reason) {
        FFloatOnEnd = Reason == Gdk::DragCancelReason::NO_TARGET && !FRefusedHere;
        return false;
      },
      false);
  Source->signal_drag_end().connect([this](const Glib::RefPtr<Gdk::Drag>&, bool) {
    FDrag.reset();
    DockLeave();
    if (FFloatOnEnd && FDocked) UnDock();
    FFloatOnEnd = false;
  });
  FSideBar.Header().add_controller(Source);

  auto Click = Gtk::GestureClick::create();
  Click->signal_pressed().connect([this](int Presses, double, double) {
    if (Presses != 2) return;
    if (FDocked) UnDock();
    else DockDrop();
  });
  FSideBar.Header().add_controller(Click);

  // Only our own sidebar docks, and only in the left third of the client area. Nothing is
  // read from the drop: the drag itself says which sidebar it is.
  auto Target = Gtk::DropTargetAsync::create(Gdk::ContentFormats::create(SideBarDragType), Gdk::DragAction::MOVE);
  auto InDockZone = [this](const Glib::RefPtr<Gdk::Drop>& Drop, double X) {
    return FDrag && Drop && Drop->get_drag() == FDrag && X <= DockPreviewWidth(FClient.get_width());
  };
  auto Over = [this, InDockZone](const Glib::RefPtr<Gdk::Drop>& Drop, double X, double) {
    FRefusedHere = !InDockZone(Drop, X);
    if (FRefusedHere) {
      DockLeave();
      return Gdk::DragAction{};
    }
    if (!FDocked) DockOver();
    return Gdk::DragAction::MOVE;
  };
  Target->signal_drag_enter().connect(Over, false);
  Target->signal_drag_motion().connect(Over, false);
  Target->signal_drag_leave().connect([this](const Glib::RefPtr<Gdk::Drop>&) {
    FRefusedHere = false;
    DockLeave();
  });
  Target->signal_drop().connect(
      [this, InDockZone](const Glib::RefPtr<Gdk::Drop>& Drop, double X, double) {
        if (!InDockZone(Drop, X)) return false;
        Drop->finish(Gdk::DragAction::MOVE);
        DockLeave();
        DockDrop();
        return true;
      },
      false);
  // Ahead of the widgets inside, so that a page under the pointer (WebKit takes drops of
  // any kind) cannot take the drop from the dock.
  Target->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  FClient.add_controller(Target);
}

void TSideBarDock::ApplyPanelWidth() {
  // The width comes from the client's real width when the panel is first shown (not when
  // the hidden panel is docked into at start-up, before the window has its size); after
  // that the user's splitter position stays.
  if (FWidthApplied || !FPanel.get_visible()) return;
  if (FClient.get_width() > 0) {
    FClient.set_position(DockPanelWidth(FClient.get_width()));
    FWidthApplied = true;
    return;
  }
  if (FWidthTick) return;
  FWidthTick = FClient.add_tick_callback([this](const Glib::RefPtr<Gdk::FrameClock>&) {
    if (FPanel.get_visible() && FClient.get_width() <= 0) return true;
    FWidthTick = 0;
    ApplyPanelWidth();  // or, hidden again meanwhile, at its next showing
    return false;
  });
}

void TSideBarDock::ShowDockPanel(bool Show) {
  FPanel.set_visible(Show);
  if (Show) ApplyPanelWidth();
}

void TSideBarDock::StartDocked() {
  if (FDocked) return;
  FPanel.set_visible(false);
  FPanel.append(FSideBar);
  FDocked = true;
}

void TSideBarDock::DockDrop() {
  if (!FDocked) {
    if (FSideBar.get_parent() == &FFloat) FFloat.unset_child();
    FFloat.set_visible(false);
    FPanel.append(FSideBar);
    FDocked = true;
  }
  FSideBar.set_visible(true);
  ShowDockPanel(true);
}

int TSideBarDock::DockOver() {
  const int Width = DockPreviewWidth(FClient.get_width());
  if (!FPreviewing) {
    FPreviewing = true;
    FKeptPosition = FClient.get_position();
    FPanel.add_css_class("dock-preview");
    FPanel.set_visible(true);
  }
  FClient.set_position(Width);
  return Width;
}

void TSideBarDock::DockLeave() {
  if (!FPreviewing) return;
  FPreviewing = false;
  FPanel.remove_css_class("dock-preview");
  if (!FDocked) FPanel.set_visible(false);
  FClient.set_position(FKeptPosition);
}

void TSideBarDock::UnDock() {
  if (!FDocked) return;
  FPanel.remove(FSideBar);
  FDocked = false;
  ShowDockPanel(false);  // the panel holds nothing now
  FFloat.set_child(FSideBar);
  FFloat.present();
}

void TSideBarDock::SetSideBarVisible(bool Visible) {
  if (FDocked) return ShowDockPanel(Visible);
  if (Visible) FFloat.present();
  else FFloat.set_visible(false);
}

bool TSideBarDock::SideBarVisible() const {
  return FDocked ? FPanel.get_visible() : FFloat.get_visible();
}

}  // namespace vorlane::navigation
