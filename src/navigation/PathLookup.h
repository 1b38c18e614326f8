#pragma once
// The disk as the address box sees it, always asynchronously and only for path-like text
// ("/…", "~/…", "file:…"): whether a path exists and is a folder, and the names in the
// folder being typed into. Each new request cancels the one before; a path on a dead
// mount stalls a worker of GIO's pool, never the UI thread.
#include "navigation/AddressRules.h"

#include <giomm/cancellable.h>
#include <giomm/fileinfo.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorlane::navigation {

class TPathProbe {
public:
  TPathProbe();
  ~TPathProbe();
  TPathProbe(const TPathProbe&) = delete;
  TPathProbe& operator=(const TPathProbe&) = delete;

  // (Text, Kind): a look-up finished.
  std::function<void(const std::string&, PathKind)> OnKnown;

  // Starts a look-up for path-like Text, cancelling any earlier one. Other text is never
  // looked up. Returns what is already known.
  PathKind Probe(const std::string& Text);
  // Starts look-ups for the path-like texts among Texts (rows of a list), cancelling the
  // rows asked before; does not touch the look-up of Probe.
  void ProbeRows(const std::vector<std::string>& Texts);
  // What an earlier look-up found for Text; Unknown when none did.
  PathKind KindOf(const std::string& Text) const;
  void Cancel();
  void CancelRows();

private:
  struct State;
  void Start(const std::string& Text, const Glib::RefPtr<Gio::Cancellable>& Cancellable);

  std::shared_ptr<State> FState;
  Glib::RefPtr<Gio::Cancellable> FPending, FRows;
};

class TPathLister {
public:
  TPathLister();
  ~TPathLister();
  TPathLister(const TPathLister&) = delete;
  TPathLister& operator=(const TPathLister&) = delete;

  using Done = std::function<void(std::vector<std::string>)>;
  // Lists the folder that path-like Text points into and hands Done up to Limit entries
  // that complete Text, spelled as Text spells its folder (folders end in "/"). The
  // last folder listed is kept, so typing on within it answers at once. Returns false,
  // and never calls Done, for text that is not a path.
  bool Request(const std::string& Text, std::size_t Limit, Done OnDone);
  void Cancel();

  struct State;  // shared with the listing in flight

private:
  std::shared_ptr<State> FState;
  Glib::RefPtr<Gio::Cancellable> FPending;
};

}  // namespace vorlane::navigation
