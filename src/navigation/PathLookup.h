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
#include <optional>
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
  // Calls Then with what Text names: at once when that is known or Text is no path
  // (Unknown), else when a look-up of its own answers. A later Resolve replaces an
  // earlier one that has not answered; Then is never called after the probe is gone.
  void Resolve(const std::string& Text, std::function<void(PathKind)> Then);
  void Cancel();
  void CancelRows();

private:
  struct State;
  void Start(const std::string& Text, const Glib::RefPtr<Gio::Cancellable>& Cancellable,
             std::function<void(PathKind)> Then = nullptr);

  std::shared_ptr<State> FState;
  Glib::RefPtr<Gio::Cancellable> FPending, FRows, FResolving;
};

class TPathLister {
public:
  TPathLister();
  ~TPathLister();
  TPathLister(const TPathLister&) = delete;
  TPathLister& operator=(const TPathLister&) = delete;

  using Done = std::function<void(std::vector<std::string>)>;
  // Hands Done up to Limit entries of the folder path-like Text points into that complete
  // Text, spelled as Text spells its folder (folders end in "/"). A folder is listed once
  // per run of requests within it, whatever its size: a request while it is being listed
  // only replaces the one waiting for the listing, and once listed every request is
  // answered at once. Returns false, and never calls Done, for text that is not a path.
  bool Request(const std::string& Text, std::size_t Limit, Done OnDone);
  // Forgets the request waiting for an answer; a listing in flight goes on.
  void Drop();
  // Ends the run: stops the listing and forgets the folder.
  void Cancel();
  // How many folder listings were started.
  std::size_t ListingsStarted() const { return FListings; }

  struct State;  // shared with the listing in flight

private:
  std::shared_ptr<State> FState;
  Glib::RefPtr<Gio::Cancellable> FPending;
  std::size_t FListings = 0;
};

}  // namespace vorlane::navigation
