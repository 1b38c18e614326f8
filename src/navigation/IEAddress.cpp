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
  FActiveWatch.disconnect();
  FFocusWatch.disconnect();
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
    if (FListOpen) CloseList();
    else OpenList(false);
  });
  signal_realize().connect([this] { UpdateRegion(); });
  signal_map().connect([this] { BindWindow(); });
  signal_unmap().connect([this] {
    FActiveWatch.disconnect();
    FFocusWatch.disconnect();
  });
}

// The list goes when the window loses activation or the focus leaves the box (the
// window's focus widget changes also while the window is inactive, when no focus
// events are sent).
void TIEAddress::BindWindow() {
  FActiveWatch.disconnect();
  FFocusWatch.disconnect();
  auto* Window = dynamic_cast<Gtk::Window*>(get_root());
  if (!Window) return;
  FActiveWatch = Window->property_is_active().signal_changed().connect([this, Window] {
    if (!Window->is_active()) CloseList();
  });
  FFocusWatch = Window->property_focus_widget().signal_changed().connect([this] {
    if (!HasFocusWithin()) CloseList();
  });
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
  SetTextQuietly(Url);
  FProbe.Probe(Url);
}

void TIEAddress::TextChanged() {
  if (FQuiet) return;
  FUserEdited = true;
  if (FListOpen) CloseList();
  FProbe.Probe(get_text());
  UpdateBoxIcon();
  UpdateSuggestions();
}

void TIEAddress::Commit() {
  CloseList();
  std::string Shown = get_text();
  FCurrentUrl = WithDefaultProtocol(Shown, DefaultProtocol, FProbe.KindOf(Shown));
  FItems.insert(FItems.begin(), FCurrentUrl);
  FUserEdited = false;
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
  SelectAll();
  FUserEdited = false;
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
  bool Alt = (State & Gdk::ModifierType::ALT_MASK) == Gdk::ModifierType::ALT_MASK;
  bool Ctrl = (State & Gdk::ModifierType::CONTROL_MASK) == Gdk::ModifierType::CONTROL_MASK;
  AddressKey Key = AddressKey::Other;
  switch (KeyVal) {
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: case GDK_KEY_ISO_Enter: Key = AddressKey::Enter; break;
    case GDK_KEY_Escape: Key = AddressKey::Escape; break;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: Key = AddressKey::Up; break;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: Key = AddressKey::Down; break;
    default: return false;
  }
  if (Ctrl) return false;

  if (FSuggesting) {
    // The suggestions take the arrows; Enter commits what the box now shows.
    int Count = static_cast<int>(FModel->get_n_items()), Index = Highlighted();
    switch (Key) {
      case AddressKey::Down: Highlight(std::min(Index + 1, Count - 1)); return true;
      case AddressKey::Up: Highlight(Index - 1); return true;
      case AddressKey::Escape:
        CloseList();
        SelectAll();
        return true;
      case AddressKey::Enter: Commit(); return true;
      default: return false;
    }
  }
  switch (DecideKey(FListOpen, Key, Alt, Highlighted(), static_cast<int>(FItems.size()))) {
    case KeyAction::PassOn: return false;
    case KeyAction::Consume: return true;
    case KeyAction::CommitTyped:
    case KeyAction::CloseAndCommitTyped: Commit(); return true;
    case KeyAction::CommitFromList: CommitFromList(); return true;
    case KeyAction::CloseList:
      CloseList();
      SelectAll();
      return true;
    case KeyAction::HighlightNext: Highlight(Highlighted() + 1); return true;
    case KeyAction::HighlightPrevious: Highlight(Highlighted() - 1); return true;
    case KeyAction::OpenList: OpenList(true); return true;
  }
  return false;
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
