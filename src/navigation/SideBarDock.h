#pragma once
// TSideBarDock: where the sidebar lives. Docked, it sits in the main window's left dock
// panel (the start child of the client area's Gtk::Paned); floating, in its own window
// "FrmSideBar", transient for the main window. GTK has no docking framework, so this is
// ours: the sidebar's header strip is a drag source; the client area accepts it in its
// left third and previews the dock there (the empty panel, a third of the width); a drop
// where nothing could take it floats the sidebar, a cancelled or refused one changes
// nothing; a double-click on the strip toggles.
#include <gdkmm/drag.h>
#include <gtkmm/box.h>
#include <gtkmm/paned.h>
#include <gtkmm/window.h>

#include <functional>

namespace vorlane::navigation {

class TFrmSideBar;

// The dock panel is a quarter of the client width; the preview while dragging a third.
inline int DockPanelWidth(int ClientWidth) { return ClientWidth / 4; }
inline int DockPreviewWidth(int ClientWidth) { return ClientWidth / 3; }

class TSideBarDock {
public:
  TSideBarDock(Gtk::Window& Main, Gtk::Paned& Client, Gtk::Box& Panel, TFrmSideBar& SideBar);
  ~TSideBarDock();

  // The user closed the floating window (the docked sidebar's close button goes to the
  // sidebar's own OnClose).
  std::function<void()> OnFloatClosed;

  bool Docked() const { return FDocked; }
  // Shows or hides the sidebar where it lives: the dock panel or the floating window.
  void SetSideBarVisible(bool Visible);
  bool SideBarVisible() const;

  // Puts the sidebar into the dock panel and leaves the panel hidden: at start-up nothing
  // shows the sidebar, so nothing in it is built yet (it builds when first mapped).
  void StartDocked();
  void ShowDockPanel(bool Show);
  // pnlLeftDockBarDockDrop: docks the sidebar (if it floats) and shows the panel.
  void DockDrop();
  // pnlLeftDockBarDockOver: previews the dock; returns the preview's width.
  int DockOver();
  void DockLeave();
  // pnlLeftDockBarUnDock: the sidebar leaves the panel and floats.
  void UnDock();

  Gtk::Window& FloatWindow() { return FFloat; }
  Gtk::Paned& ClientArea() { return FClient; }
  bool Previewing() const { return FPreviewing; }
  // A drag of the header strip is under way.
  bool Dragging() const { return static_cast<bool>(FDrag); }
  // The client area refused the drag where the pointer last was.
  bool RefusedHere() const { return FRefusedHere; }

private:
  void ApplyPanelWidth();
  void InstallDragAndDrop();

  Gtk::Window& FMain;
  Gtk::Paned& FClient;
  Gtk::Box& FPanel;
  TFrmSideBar& FSideBar;
  Gtk::Window FFloat;
  bool FDocked = false;
  bool FWidthApplied = false;
  bool FPreviewing = false;
  bool FRefusedHere = false;  // the client area refused the drag where it last was
  bool FFloatOnEnd = false;   // the drag ended where nothing could take it
  int FKeptPosition = 0;
  Glib::RefPtr<Gdk::Drag> FDrag;
  guint FWidthTick = 0;
};

}  // namespace vorlane::navigation
