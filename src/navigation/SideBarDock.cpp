#include "navigation/SideBarDock.h"

#include <gdkmm/contentprovider.h>
#include <gtkmm/dragsource.h>
#include <gtkmm/droptarget.h>
#include <gtkmm/gestureclick.h>

#include "navigation/U_SideBar.h"

namespace vorlane::navigation {

namespace {
constexpr const char* SideBarDragText = "vorlane-sidebar";
}

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
  Source->signal_prepare().connect(
      [](double, double) {
        Glib::Value<Glib::ustring> V;
        V.init(V.value_type());
        V.set(SideBarDragText);
        return Gdk::ContentProvider::create(V);
      },
      false);
  Source->signal_drag_begin().connect([this](const Glib::RefPtr<Gdk::Drag>& Drag) {
    FDrag = Drag;
    FDroppedOnDock = false;
  });
  Source->signal_drag_end().connect([this](const Glib::RefPtr<Gdk::Drag>&, bool) {
    FDrag.reset();
    DockLeave();
    if (!FDroppedOnDock && FDocked) UnDock();  // dropped elsewhere: it floats
  });
  FSideBar.Header().add_controller(Source);

  auto Click = Gtk::GestureClick::create();
  Click->signal_pressed().connect([this](int Presses, double, double) {
    if (Presses != 2) return;
    if (FDocked) UnDock();
    else DockDrop();
  });
  FSideBar.Header().add_controller(Click);

  // Only our own sidebar docks, and only in the left third of the client area.
  auto Target = Gtk::DropTarget::create(Glib::Value<Glib::ustring>::value_type(), Gdk::DragAction::MOVE);
  auto Ours = [this, T = Target.get()] {
    auto Drop = T->get_current_drop();
    return FDrag && Drop && Drop->get_drag() == FDrag;
  };
  Target->signal_motion().connect(
      [this, Ours](double X, double) {
        if (!Ours() || X > DockPreviewWidth(FClient.get_width())) {
          DockLeave();
          return Gdk::DragAction{};
        }
        if (!FDocked) DockOver();
        return Gdk::DragAction::MOVE;
      },
      false);
  Target->signal_leave().connect([this] { DockLeave(); });
  Target->signal_drop().connect(
      [this, Ours](const Glib::ValueBase&, double X, double) {
        if (!Ours() || X > DockPreviewWidth(FClient.get_width())) return false;
        FDroppedOnDock = true;
        DockLeave();
        DockDrop();
        return true;
      },
      false);
  FClient.add_controller(Target);
}

void TSideBarDock::ApplyPanelWidth() {
  // The width is the window's first real one; after that the user's splitter position stays.
  if (FWidthApplied) return;
  if (FClient.get_width() > 0) {
    FClient.set_position(DockPanelWidth(FClient.get_width()));
    FWidthApplied = true;
    return;
  }
  if (FWidthTick) return;
  FWidthTick = FClient.add_tick_callback([this](const Glib::RefPtr<Gdk::FrameClock>&) {
    if (FClient.get_width() <= 0) return true;
    FWidthTick = 0;
    ApplyPanelWidth();
    return false;
  });
}

void TSideBarDock::ShowDockPanel(bool Show) {
  FPanel.set_visible(Show);
  if (Show) ApplyPanelWidth();
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
