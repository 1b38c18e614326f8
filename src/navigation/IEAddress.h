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

  // Stores Url as the current address and shows it, unless the user is editing the box
  // (it has the focus and was edited since the last set or commit): then what they typed
  // stays. With Always, the box shows Url whatever was typed (another page came forward).
  void SetCurrentUrl(const std::string& Url, bool Always = false);
  // The user changed the text since the last set or commit.
  bool UserEdited() const { return FUserEdited; }
  const std::string& CurrentUrl() const { return FCurrentUrl; }
  std::string Text() const { return get_text(); }

  // Commits the visible text as the current address and raises OnUrlSelected.
  void Commit();

  // (Url): the user committed an address.
  sigc::signal<void(const std::string&)>& OnUrlSelected() { return FUrlSelected; }

private:
  bool HasFocusWithin() const;

  std::string FCurrentUrl;
  bool FUserEdited = false;
  bool FSettingText = false;
  sigc::signal<void(const std::string&)> FUrlSelected;
};

}  // namespace vorlane::navigation
