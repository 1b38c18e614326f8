#pragma once
// The history list: a virtual one-column list of one folder at or below the History
// folder. Double-click or Enter enters a folder or opens a page; Backspace goes up.
// Rows are made only for what is on screen, and an entry's icon is looked up when its
// row is first shown. It follows the store: new visits show while it is on screen (else
// when it next shows), and at midnight the periods move on (今天 becomes a weekday).
#include "browser/BrowserControl.h"
#include "navigation/HistoryBrowser.h"

#include <giomm/listmodel.h>
#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/listview.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/searchentry.h>
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
  // Shows the current folder again, with the visits made since; the selected entry stays
  // selected while it is there.
  void Refresh();
  // Frees all entries: the list shows nothing until a folder is browsed.
  void ClearEntries();
  // The entry at Index (below the number of entries shown).
  const THistoryEntry& EntryAt(size_t Index) const { return FBrowser.EntryAt(Index); }
  void GoUp();
  // Double-click and Enter: the selected entry.
  void DblClick();
  // A key pressed in the list: Backspace, Enter and type-ahead; true when handled.
  bool HandleKey(guint Key, Gdk::ModifierType State);
  // Selects the next entry whose name begins with Text (type-ahead).
  bool TypeAhead(const std::string& Text);
  // The search box above the list: the pages whose title or address contains Text; an
  // empty Text shows the folder again.
  void SearchFor(const std::string& Text);
  Gtk::SearchEntry& SearchBox() { return FSearchBox; }
  // The right-click menu's two commands on the entry at Index: "删除" (the page, or the
  // site in the shown period) and "删除此网站的全部记录".
  void RemoveEntry(size_t Index, bool WholeSite);
  // Opens the right-click menu for the entry at Index, pointing at (X, Y) of Row.
  void PopupMenu(size_t Index, Gtk::Widget& Row, double X, double Y);
  Gtk::PopoverMenu& EntryMenu() { return FMenu; }

  int Depth() const { return FBrowser.Depth(); }
  const THistoryBrowser& Browser() const { return FBrowser; }
  std::optional<size_t> Selected() const;
  void Select(size_t Index);
  std::string ColumnCaption() const { return FHeader.get_text(); }
  Gtk::ListView& List() { return FList; }

private:
  void Reload();
  void OpenAt(size_t Index);
  // The store changed: refreshed soon while on screen, else when next shown.
  void StoreChanged();
  void ArmDayTimer();

  platform::THistoryStore& FStore;
  THistoryBrowser FBrowser;
  bool FStale = false;
  int64_t FShownDay = 0;
  sigc::connection FRefreshSoon, FDayTimer;
  browser::TBrowserControl* FWebbrowser = nullptr;
  std::weak_ptr<const void> FWebbrowserAlive;
  Glib::RefPtr<THistoryRowModel> FModel;
  Glib::RefPtr<Gtk::SingleSelection> FSelection;
  Gtk::SearchEntry FSearchBox;
  Gtk::PopoverMenu FMenu;
  std::optional<size_t> FMenuIndex;
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
