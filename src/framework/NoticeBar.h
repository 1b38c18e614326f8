#pragma once
// A thin bar above a page that tells of something the page tried and offers what the user
// can do about it (show held-back windows, allow or refuse a permission). Its text may
// come from the page: it is shown literally. A button's action runs after the bar closed.
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::framework {

class TNoticeBar : public Gtk::Box {
public:
  explicit TNoticeBar(const std::string& Text);

  void SetText(const std::string& Text);
  std::string Text() const { return FLabel.get_text(); }
  // A button that closes the bar, then runs Action.
  void AddButton(const std::string& Caption, std::function<void()> Action);
  // Closed by one of its buttons or the close button (×): the bar hides, OnClosed runs
  // once, and the owner removes the bar once the click is over (not from inside it).
  // Closing without a button counts as Dismissed.
  std::function<void()> OnClosed;
  std::function<void()> OnDismissed;
  // Clicks a button by its caption, as the user would (false: no such button).
  bool Press(const std::string& Caption);
  void Dismiss();
  bool Closed() const { return FClosed; }

private:
  void Finish(const std::function<void()>& Action);

  Gtk::Label FLabel;
  Gtk::Button FClose;
  std::vector<std::unique_ptr<Gtk::Button>> FButtons;
  bool FClosed = false;
};

}  // namespace vorlane::framework
