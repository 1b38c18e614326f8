#pragma once
// Reads the back and forward history of one browser control, entry by entry, and makes
// its engine travel to an entry by its distance from the current page. It keeps no copy
// of the history, and never a strong hold on the control: a control that is gone counts
// as unbound.
#include "browser/BrowserControl.h"

#include <functional>
#include <memory>
#include <string>

namespace vorlane::navigation {

// (Title, Url, Cancel): one entry; set Cancel to stop the listing.
using TOnEntryEvent = std::function<void(const std::string&, const std::string&, bool&)>;

class TIETravelLog {
public:
  // The control whose history is read; not owned.
  void SetWebbrowser(browser::TBrowserControl* Control);
  browser::TBrowserControl* Webbrowser() const;
  TOnEntryEvent OnEntry;
  // True while and after a backward listing, false while and after a forward one.
  bool Backward = false;

  // Binds to the history of Webbrowser. Without a control or a document it unbinds, so a
  // later listing shows nothing rather than another page's history.
  bool Connect();
  void EnumerateBack();
  void EnumerateForward();
  // 0 on success; 1 when there is no such entry (or nothing bound) and the page stays.
  // Offset 0 does nothing: going "to" the current entry would load it again, which can
  // send a form a second time.
  int TravelTo(int Offset);

  bool Bound() const { return !FBoundAlive.expired() && FBound; }
  browser::TBrowserControl* BoundControl() const { return Bound() ? FBound : nullptr; }

private:
  void Enumerate(bool Back);

  browser::TBrowserControl* FWebbrowser = nullptr;
  std::weak_ptr<const void> FWebbrowserAlive;
  browser::TBrowserControl* FBound = nullptr;
  std::weak_ptr<const void> FBoundAlive;
};

}  // namespace vorlane::navigation
