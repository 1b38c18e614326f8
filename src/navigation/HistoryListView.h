#pragma once
// The history list: a virtual one-column list of one folder at or below the History
// folder. Double-click or Enter enters a folder or opens a page; Backspace goes up.
// Rows are made only for what is on screen, and an entry's icon is looked up when its
// row is first shown.
#include "browser/BrowserControl.h"
#include "navigation/HistoryBrowser.h"

#include <giomm/listmodel.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/listview.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/singleselection.h>

#include <functional>
#include <memory>
#include <string>

namespace vorlane::navigation {

class THistoryRowModel;

class TCustomHistoryListView : public Gtk::Box {
public:
  explicit TCustomHistoryListView(platform::THistoryStore& Store);
  ~TCustomHistoryListView() override;

  // (Sender, Url): the user opened a page.
  std::function<void(TCustomHistoryListView&, const std::string&)> OnURLSelected;
  // Navigated when no OnURLSelected is set; not owned, and forgotten when it goes.
  void SetWebbrowser(browser::TBrowserControl* Control);
  // The beep at the History folder; the default is the display's.
  std::function<void()> OnBeep;

  bool BrowseFolder(const platform::THistoryPath& Path);
  // Shows the current folder again, with the visits made since.
  void Refresh();
  void GoUp();
  // Double-click and Enter: the selected entry.
  void DblClick();
  // A key pressed in the list: Backspace, Enter and type-ahead; true when handled.
  bool HandleKey(guint Key, Gdk::ModifierType State);
  // Selects the next entry whose name begins with Text (type-ahead).
  bool TypeAhead(const std::string& Text);

  int Depth() const { return FBrowser.Depth(); }
  const THistoryBrowser& Browser() const { return FBrowser; }
  std::optional<size_t> Selected() const;
  void Select(size_t Index);
  std::string ColumnCaption() const { return FHeader.get_text(); }
  Gtk::ListView& List() { return FList; }

private:
  void Reload();
  void OpenAt(size_t Index);

  THistoryBrowser FBrowser;
  browser::TBrowserControl* FWebbrowser = nullptr;
  std::weak_ptr<const void> FWebbrowserAlive;
  Glib::RefPtr<THistoryRowModel> FModel;
  Glib::RefPtr<Gtk::SingleSelection> FSelection;
  Gtk::Label FHeader;
  Gtk::ScrolledWindow FScroller;
  Gtk::ListView FList;
  std::string FTyped;
  guint32 FLastTypedAt = 0;
};

class THistoryListView : public TCustomHistoryListView {
public:
  using TCustomHistoryListView::TCustomHistoryListView;
};

}  // namespace vorlane::navigation
