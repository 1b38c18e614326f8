#pragma once
// The "下载" window: the downloads of this run, newest first, each with its name, progress,
// size, speed and time left, source and state, and what can be done with it. It draws the
// download list and passes the buttons back to it; it holds no state of its own.
#include "browser/DownloadList.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/listbox.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>

#include <string>

namespace vorlane::shell {

class TDownloadsWindow : public Gtk::Window {
public:
  TDownloadsWindow(Gtk::Window& Parent, browser::TDownloadList& List);

  // One row's texts as shown: name, progress line, state (for tests and screen readers).
  struct TRowText {
    std::string Name, Detail, State;
    std::vector<std::string> Buttons;
  };
  std::vector<TRowText> Rows() const;
  // Clicks a row's button by its caption, as the user would; false when there is none.
  bool Press(int Row, const std::string& Caption);
  // The user closed the window during this run (it then stays closed when downloads start).
  bool ClosedByUser() const { return FClosedByUser; }

  void Refresh();

private:
  Gtk::Widget* MakeRow(const browser::TDownloadItem& Item);
  void Open(const std::string& Path, bool Folder);

  browser::TDownloadList& FList;
  Gtk::Box FRoot{Gtk::Orientation::VERTICAL, 6};
  Gtk::ScrolledWindow FScroll;
  Gtk::ListBox FRows;
  Gtk::Button FClear{"清除已完成"};
  std::vector<TRowText> FTexts;
  bool FClosedByUser = false;
};

}  // namespace vorlane::shell
