// Keys and mouse habits users bring from other browsers (Ctrl+R, Ctrl+Shift+T, Ctrl+U,
// Ctrl+D, Ctrl+1…9, F11, F12, links in new tabs), and full screen.
#include "shell/U_FrmMain.h"
#include "shell/U_FrmMain_Favorites.h"

#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/shortcuttrigger.h>

#include <iterator>

namespace vorlane::shell {

void TFrmMain::CreateHabits() {
  // Before the page: these keys are the browser's in every browser.
  auto Controller = Gtk::ShortcutController::create();
  Controller->set_scope(Gtk::ShortcutScope::MANAGED);
  Controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  for (const THabitKey& Key : HabitKeys())
    Controller->add_shortcut(Gtk::Shortcut::create(
        Gtk::ShortcutTrigger::parse_string(Key.Trigger),
        Gtk::CallbackAction::create([this, &Key](Gtk::Widget&, const Glib::VariantBase&) { return RunHabit(Key); })));
  add_controller(Controller);
  // A tab dragged to another place: the session keeps the order the user sees.
  PageControl.signal_moved().connect([this](int, int) { PagesChanged(); });
}

bool TFrmMain::RunHabit(const THabitKey& Key) {
  switch (Key.Habit) {
    case THabit::Command:
      return ActionList[Key.Command].Execute();
    case THabit::AddFavorite:
      // Without a page there is nothing to add, and nothing to say about it.
      if (!ActivePage()) return false;
      Favorites().FavoritesMenu.AddFavoriteClick();
      return true;
    case THabit::SelectTab: {
      int Index = TabOfDigit(Key.Digit, PageControl.Count());
      if (Index < 0) return false;
      PageControl.Select(Index);
      PageControlChange();
      return true;
    }
    case THabit::FullScreen:
      SetFullScreen(!FFullScreen);
      return true;
    case THabit::LeaveFullScreen:
      if (!FFullScreen) return false;
      SetFullScreen(false);
      return true;
    case THabit::Inspector:
      if (TFrmWeb* Page = ActivePage()) {
        Page->WebBrowser->Engine().ShowInspector();
        return true;
      }
      return false;
  }
  return false;
}

void TFrmMain::SetFullScreen(bool On) {
  if (On == FFullScreen) return;
  FFullScreen = On;
  // Only the tab strip and the page stay; the bars come back as they were.
  Gtk::Widget* Bars[] = {FMenuBar, &tblMainToolBar, &tblAddressBar, &StatusBar, &pnlLeftDockBar};
  if (On) {
    FBarsBeforeFullScreen.clear();
    for (Gtk::Widget* Bar : Bars) {
      FBarsBeforeFullScreen.push_back(Bar->get_visible());
      Bar->set_visible(false);
    }
    fullscreen();
  } else {
    for (size_t I = 0; I < std::size(Bars) && I < FBarsBeforeFullScreen.size(); ++I)
      Bars[I]->set_visible(FBarsBeforeFullScreen[I]);
    unfullscreen();
    // A page that asked for full screen itself (a video) leaves it too.
    for (auto& Page : FPages) Page->WebBrowser->Engine().LeaveFullScreen();
  }
}

void TFrmMain::OpenLinkInNewTab(const std::string& Url, bool Foreground) {
  // A new tab goes right of the selected one, which is the page the link was on.
  NewPage(Url, Foreground);
}

void TFrmMain::PageFullScreen(TFrmWeb* Page, bool On) {
  if (Page == ActivePage()) SetFullScreen(On);
}

}  // namespace vorlane::shell
