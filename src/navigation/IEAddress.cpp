// The address box: text, commits, keys and the typed list's storage.
#include "navigation/IEAddress.h"

#include "browser/BrowserControl.h"
#include "navigation/TypedUrls.h"
#include "platform/Registry.h"

#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/window.h>

#include <algorithm>
#include <utility>

namespace vorlane::navigation {

TIEAddress::TIEAddress(platform::Registry* Registry) : FRegistry(Registry) {
  set_name("cobAddress");
  set_hexpand(true);
  set_size_request(145, 22);
  if (!FRegistry) {
    FOwnRegistry = std::make_unique<platform::Registry>();
    FRegistry = FOwnRegistry.get();
  }
  BuildList();
  BindSignals();
  SetHasDropDown(true);
  LoadTypedUrls();
}

TIEAddress::~TIEAddress() {
  UnbindWindow();
  FAppend.disconnect();
  FProbe.Cancel();
  FLister.Cancel();
  FPopup.unparent();
}

void TIEAddress::BindSignals() {
  signal_changed().connect([this] { TextChanged(); });
  // Enter is ours (see HandleKey); activate only comes from elsewhere (a11y, tests).
  signal_activate().connect([this] { Commit(); });

  // Capture phase: ahead of the text's own bindings, but see HandleKey for the input method.
  auto Keys = Gtk::EventControllerKey::create();
  Keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  Keys->signal_key_pressed().connect(
      [this](guint KeyVal, guint, Gdk::ModifierType State) { return HandleKey(KeyVal, State); }, false);
  add_controller(Keys);

  // The input method's composition lives in the entry's text delegate.
  if (GtkEditable* Text = gtk_editable_get_delegate(GTK_EDITABLE(gobj())))
    g_signal_connect(Text, "preedit-changed", G_CALLBACK(+[](GtkWidget*, const char* Preedit, gpointer Self) {
                       static_cast<TIEAddress*>(Self)->FPreedit = Preedit ? Preedit : "";
                     }), this);

  auto Clicks = Gtk::GestureClick::create();
  Clicks->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  Clicks->signal_pressed().connect([this](int Count, double, double) {
    if (Count == 2) DoubleClicked();
  });
  add_controller(Clicks);

  signal_icon_release().connect([this](Gtk::Entry::IconPosition Position) {
    if (Position != Gtk::Entry::IconPosition::SECONDARY) return;
    if (FListOpen) {
      CloseList();
      return;
    }
    // The arrow works while the page has the focus too; the box takes it, so that Esc
    // and the focus leaving close the list as they do after Down.
    if (!HasFocusWithin()) grab_focus();
    OpenList(false);
  });
  signal_realize().connect([this] { UpdateRegion(); });
  signal_map().connect([this] { BindWindow(); });
  signal_unmap().connect([this] { UnbindWindow(); });
}

// The list goes when the window loses activation or the focus leaves the box (the
// window's focus widget changes also while the window is inactive, when no focus
// events are sent).
void TIEAddress::BindWindow() {
  UnbindWindow();
  auto* Window = dynamic_cast<Gtk::Window*>(get_root());
  if (!Window) return;
  FActiveWatch = Window->property_is_active().signal_changed().connect([this, Window] {
    if (!Window->is_active()) CloseList();
  });
  FFocusWatch = Window->property_focus_widget().signal_changed().connect([this] {
    if (!HasFocusWithin()) CloseList();
  });
  // A click anywhere else closes the list too, also on what takes no focus (a tool bar,
  // the status bar). The window sees every click first and lets it go on.
  FOutsideClicks = Gtk::GestureClick::create();
  FOutsideClicks->set_button(0);
  FOutsideClicks->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  FOutsideClicks->signal_pressed().connect(
      [this, Window](int, double X, double Y) { ClickedInWindow(*Window, X, Y); });
  Window->add_controller(FOutsideClicks);
}

void TIEAddress::UnbindWindow() {
  FActiveWatch.disconnect();
  FFocusWatch.disconnect();
  if (!FOutsideClicks) return;
  if (auto* Owner = FOutsideClicks->get_widget()) Owner->remove_controller(FOutsideClicks);
  FOutsideClicks.reset();
}

void TIEAddress::ClickedInWindow(Gtk::Window& Window, double X, double Y) {
  if (!FListOpen && !FSuggesting) return;
  // A click on the list arrives on the list's own surface; one on the box leaves it to
  // the box (the arrow toggles, text clicks place the caret).
  GdkEvent* Event = gtk_event_controller_get_current_event(GTK_EVENT_CONTROLLER(FOutsideClicks->gobj()));
  GdkSurface* ListSurface = FPopup.get_realized() ? gtk_native_get_surface(GTK_NATIVE(FPopup.gobj())) : nullptr;
  if (Event && ListSurface && gdk_event_get_surface(Event) == ListSurface) return;
  Gtk::Widget* Target = Window.pick(X, Y);
  if (Target && (Target == this || Target->is_ancestor(*this))) return;
  CloseList();
}

void TIEAddress::SetHasBorder(bool Value) {
  FHasBorder = Value;
  UpdateRegion();
}

void TIEAddress::SetHasDropDown(bool Value) {
  FHasDropDown = Value;
  UpdateRegion();
}

void TIEAddress::SetShowIcons(bool Value) {
  FShowIcons = Value;
  UpdateBoxIcon();
  // Rebinding the rows redraws their icons.
  std::vector<Glib::ustring> Rows;
  for (guint I = 0; I < FModel->get_n_items(); ++I) Rows.push_back(FModel->get_string(I));
  int Selected = Highlighted();
  FModel->splice(0, Rows.size(), Rows);
  if (Selected >= 0) FSelection->set_selected(Selected);
}

// Only both flags off change the box: no frame and no arrow.
void TIEAddress::UpdateRegion() {
  bool Bare = get_parent() && !FHasBorder && !FHasDropDown;
  set_has_frame(!Bare);
  if (Bare) {
    unset_icon(Gtk::Entry::IconPosition::SECONDARY);
  } else {
    set_icon_from_icon_name("pan-down-symbolic", Gtk::Entry::IconPosition::SECONDARY);
    set_icon_activatable(true, Gtk::Entry::IconPosition::SECONDARY);
    set_icon_tooltip_text("显示地址列表", Gtk::Entry::IconPosition::SECONDARY);
  }
}

void TIEAddress::SetTextQuietly(const std::string& Text) {
  ++FQuiet;
  Gtk::Entry::set_text(Text);
  --FQuiet;
  UpdateBoxIcon();
}

bool TIEAddress::HasFocusWithin() const {
  auto* Root = const_cast<TIEAddress*>(this)->get_root();
  const Gtk::Widget* Focus = Root ? Root->get_focus() : nullptr;
  return Focus && (Focus == this || Focus->is_ancestor(*const_cast<TIEAddress*>(this)));
}

void TIEAddress::SetCurrentUrl(const std::string& Url, bool Always) {
  FCurrentUrl = Url;
  if (Always) CloseList();
  else if ((FUserEdited || FListOpen) && HasFocusWithin()) return;
  FUserEdited = false;
  FShowingRow = false;
  std::string Shown = DisplayAddress(Url);
  int Start = 0, End = 0;
  bool AllSelected = HasFocusWithin() && (get_text().empty() || (get_selection_bounds(Start, End) && Start == 0 &&
                                                                 End == static_cast<int>(get_text().length())));
  if (Shown != get_text().raw()) SetTextQuietly(Shown);
  else UpdateBoxIcon();
  if (AllSelected) SelectAll();
  FProbe.Probe(Url);
}

bool TIEAddress::ShowsCurrentUrl() const { return get_text().raw() == DisplayAddress(FCurrentUrl); }

void TIEAddress::TextChanged() {
  if (FQuiet) return;
  FUserEdited = true;
  FShowingRow = false;
  if (FListOpen) CloseList();
  FProbe.Probe(get_text());
  UpdateBoxIcon();
  UpdateSuggestions();
}

void TIEAddress::Commit() {
  CloseList();
  FLister.Cancel();
  std::string Shown = get_text();
  // The page's own address, untouched, stays as it was loaded (encoded).
  if (!ShowsCurrentUrl()) FCurrentUrl = WithDefaultProtocol(Shown, DefaultProtocol, FProbe.KindOf(Shown));
  FItems.insert(FItems.begin(), FCurrentUrl);
  FUserEdited = false;
  FShowingRow = false;
  if (RegistryUpdate) SaveTypedUrls();
  FUrlSelected.emit(Shown);
}

void TIEAddress::CommitFromList() {
  int Index = Highlighted();
  MoveToTop(FItems, Index);
  SetTextQuietly(FItems.front());
  FCurrentUrl = FItems.front();
  int Icon = FHighlightIconIndex;
  CloseList();
  FLister.Cancel();
  SelectAll();
  FUserEdited = false;
  FShowingRow = false;
  if (RegistryUpdate) SaveTypedUrls();
  FUrlSelected.emit(get_text());
  ApplyIcon(Icon);
}

void TIEAddress::DoubleClicked() {
  FCurrentUrl = get_text();
  if (!FCurrentUrl.empty() && FCurrentUrl.find('.') != std::string::npos && Webbrowser)
    Webbrowser->Navigate2(FCurrentUrl);
}

bool TIEAddress::HandleKey(unsigned KeyVal, Gdk::ModifierType State) {
  // While the input method composes, Enter confirms and arrows pick candidates: all its.
  if (Composing()) return false;
  auto Held = [State](Gdk::ModifierType M) { return (State & M) == M; };
  bool Alt = Held(Gdk::ModifierType::ALT_MASK), Ctrl = Held(Gdk::ModifierType::CONTROL_MASK);
  bool Shift = Held(Gdk::ModifierType::SHIFT_MASK);
  if ((KeyVal == GDK_KEY_Delete || KeyVal == GDK_KEY_KP_Delete) && Shift && !Ctrl && !Alt)
    return RemoveHighlightedTyped();
  AddressKey Key = AddressKey::Other;
  switch (KeyVal) {
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: case GDK_KEY_ISO_Enter: Key = AddressKey::Enter; break;
    case GDK_KEY_Escape: Key = AddressKey::Escape; break;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: Key = AddressKey::Up; break;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: Key = AddressKey::Down; break;
    default: return false;
  }
  if (Ctrl) {
    if (Key != AddressKey::Enter || Alt) return false;
    // Ctrl+Enter: a word typed becomes "www.WORD.com".
    std::string Completed = WithWwwCom(get_text());
    if (Completed != get_text().raw()) {
      SetTextQuietly(Completed);
      FUserEdited = true;
    }
    Commit();
    return true;
  }

  if (FSuggesting) {
    // The suggestions take the arrows; Enter commits what the box now shows.
    int Count = static_cast<int>(FModel->get_n_items()), Index = Highlighted();
    switch (Key) {
      case AddressKey::Down:
        if (Alt) {
          if (!FItems.empty()) OpenList(true);
          return true;
        }
        Highlight(std::min(Index + 1, Count - 1));
        return true;
      case AddressKey::Up: Highlight(Index - 1); return true;
      case AddressKey::Escape:
        RestoreTyped();
        CloseList();
        set_position(-1);
        return true;
      case AddressKey::Enter: Commit(); return true;
      default: return false;
    }
  }
  switch (DecideKey(FListOpen, Key, Alt, Highlighted(), static_cast<int>(FItems.size()))) {
    case KeyAction::PassOn:
      // Esc with no list: the page's address comes back over what was typed; when it
      // shows already, Esc is the window's (stop loading).
      if (Key == AddressKey::Escape && !ShowsCurrentUrl()) {
        FUserEdited = false;
        FShowingRow = false;
        SetTextQuietly(DisplayAddress(FCurrentUrl));
        SelectAll();
        return true;
      }
      return false;
    case KeyAction::Consume: return true;
    case KeyAction::CommitTyped:
    case KeyAction::CloseAndCommitTyped: Commit(); return true;
    case KeyAction::CommitFromList: CommitFromList(); return true;
    case KeyAction::CloseList:
      if (Key == AddressKey::Escape) RestoreTyped();
      CloseList();
      SelectAll();
      return true;
    case KeyAction::HighlightNext: Highlight(Highlighted() + 1); return true;
    case KeyAction::HighlightPrevious: Highlight(Highlighted() - 1); return true;
    case KeyAction::OpenList: OpenList(true); return true;
  }
  return false;
}

void TIEAddress::RestoreTyped() {
  if (!std::exchange(FShowingRow, false)) return;
  SetTextQuietly(FTypedText);
  set_position(-1);
}

bool TIEAddress::RemoveHighlightedTyped() {
  int Index = Highlighted();
  if ((!FListOpen && !FSuggesting) || Index < 0) return false;
  std::string Row = FModel->get_string(Index);
  auto Kept = std::remove(FItems.begin(), FItems.end(), Row);
  if (Kept == FItems.end()) return false;  // a visited address, not a typed one
  std::size_t Before = FItems.size();
  FItems.erase(Kept, FItems.end());
  if (RegistryUpdate) {
    SaveTypedUrls();
    // Saving leaves the values past the list alone: the removed entry's old place goes.
    for (std::size_t N = FItems.size() + 1; N <= std::min<std::size_t>(Before, MaxTypedUrls); ++N)
      FRegistry->DeleteValue(platform::RootKey::CurrentUser, TypedUrlsKey, "Url" + std::to_string(N));
  }
  FModel->remove(static_cast<guint>(Index));
  RestoreTyped();
  int Left = static_cast<int>(FModel->get_n_items());
  if (Left == 0) CloseList();
  else Highlight(std::min(Index, Left - 1));
  return true;
}

void TIEAddress::LoadTypedUrls() {
  SetItems(navigation::LoadTypedUrls(*FRegistry));
  SetTextQuietly(FItems.empty() ? std::string() : FItems.front());
}

void TIEAddress::SaveTypedUrls() { navigation::SaveTypedUrls(*FRegistry, FItems); }

void TIEAddress::SetItems(std::vector<std::string> Items) {
  CloseList();
  FItems = std::move(Items);
}

}  // namespace vorlane::navigation
