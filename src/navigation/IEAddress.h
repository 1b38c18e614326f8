#pragma once
// The address box: an entry that shows the active page's address and commits what the
// user typed on Enter. CurrentUrl is the address last stored or committed; the visible
// text may differ while the user types.
#include <gtkmm/entry.h>
#include <sigc++/signal.h>

#include <string>

namespace vorlane::navigation {

class TIEAddress : public Gtk::Entry {
public:
  TIEAddress();

  // Stores Url as the current address and shows it.
  void SetCurrentUrl(const std::string& Url);
  const std::string& CurrentUrl() const { return FCurrentUrl; }
  std::string Text() const { return get_text(); }

  // Commits the visible text as the current address and raises OnUrlSelected.
  void Commit();

  // (Url): the user committed an address.
  sigc::signal<void(const std::string&)>& OnUrlSelected() { return FUrlSelected; }

private:
  std::string FCurrentUrl;
  sigc::signal<void(const std::string&)> FUrlSelected;
};

}  // namespace vorlane::navigation
