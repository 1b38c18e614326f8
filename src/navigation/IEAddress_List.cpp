// The address box's popover (typed list or suggestions) and its icons.
#include "navigation/IEAddress.h"

#include <giomm/themedicon.h>

#include <algorithm>
#include <cmath>

#include <glib.h>
#include <glibmm/main.h>
#include <gdkmm/pixbuf.h>
#include <gdkmm/texture.h>
#include <gtkmm/box.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/listitem.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/signallistitemfactory.h>
#include <gtkmm/stringobject.h>

namespace vorlane::navigation {

namespace {

constexpr std::size_t MaxSuggestions = 20;
constexpr int MaxRowsShown = 12;
constexpr const char* RowItemKey = "vorlane-list-item";

Glib::RefPtr<Gdk::Paintable> BlankIcon() {
  static Glib::RefPtr<Gdk::Paintable> Blank = [] {
    auto Pixels = Gdk::Pixbuf::create(Gdk::Colorspace::RGB, true, 8, platform::SystemIcons::IconSize,
                                      platform::SystemIcons::IconSize);
    Pixels->fill(0);
    return Glib::RefPtr<Gdk::Paintable>(Gdk::Texture::create_for_pixbuf(Pixels));
  }();
  return Blank;
}

}  // namespace

void TIEAddress::BuildList() {
  FModel = Gtk::StringList::create({});
  FSelection = Gtk::SingleSelection::create(FModel);
  FSelection->set_autoselect(false);
  FSelection->set_can_unselect(true);

  // Row: icon 4 px in, text at 22 px, 16 px high.
  auto Factory = Gtk::SignalListItemFactory::create();
  Factory->signal_setup().connect([](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto* Row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 0);
    // The pointer finds its row's position through this (see RowAt).
    g_object_set_data(G_OBJECT(Row->gobj()), RowItemKey, Item->gobj());
    Row->set_size_request(-1, RowHeight);
    auto* Icon = Gtk::make_managed<Gtk::Image>();
    Icon->set_pixel_size(platform::SystemIcons::IconSize);
    Icon->set_size_request(platform::SystemIcons::IconSize, platform::SystemIcons::IconSize);
    Icon->set_margin_start(RowIconLeft);
    auto* Label = Gtk::make_managed<Gtk::Label>();
    Label->set_margin_start(RowTextLeft - RowIconLeft - platform::SystemIcons::IconSize);
    Label->set_xalign(0);
    Label->set_ellipsize(Pango::EllipsizeMode::END);
    Row->append(*Icon);
    Row->append(*Label);
    Item->set_child(*Row);
  });
  Factory->signal_bind().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto Text = std::dynamic_pointer_cast<Gtk::StringObject>(Item->get_item());
    auto* Row = Item->get_child();
    if (!Text || !Row) return;
    auto* Icon = dynamic_cast<Gtk::Image*>(Row->get_first_child());
    auto* Label = dynamic_cast<Gtk::Label*>(Icon ? Icon->get_next_sibling() : nullptr);
    if (!Icon || !Label) return;
    std::string Value = Text->get_string();
    Label->set_text(Value);
    // Rows use what is already known of a path: drawing never asks the disk.
    int Index = FShowIcons ? IconIndexOf(Value) : platform::SystemIcons::NoIcon;
    if (auto GIcon = FIcons.Icon(Index)) Icon->set(GIcon);
    else Icon->clear();
  });

  FList.set_model(FSelection);
  FList.set_factory(Factory);
  FList.set_focusable(false);
  // Not the list's own single-click mode: that highlights whatever row lies under a
  // resting pointer when the list opens, and Enter would take it. Only a real motion
  // highlights (PointerMoved); a click chooses.
  FList.set_single_click_activate(false);
  FList.signal_activate().connect([this](guint Position) { ChooseRow(Position); });
  auto Motion = Gtk::EventControllerMotion::create();
  Motion->signal_enter().connect([this](double X, double Y) { PointerMoved(X, Y); });
  Motion->signal_motion().connect([this](double X, double Y) { PointerMoved(X, Y); });
  FList.add_controller(Motion);
  auto Click = Gtk::GestureClick::create();
  Click->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  Click->signal_pressed().connect(
      [Gesture = Click.get()](int, double, double) { Gesture->set_state(Gtk::EventSequenceState::CLAIMED); });
  Click->signal_released().connect([this](int, double X, double Y) {
    if (int Row = RowAt(X, Y); Row >= 0) ChooseRow(static_cast<unsigned>(Row));
  });
  FList.add_controller(Click);
  FSelection->signal_selection_changed().connect([this](guint, guint) {
    int Index = Highlighted();
    if (Index >= 0) FHighlightIconIndex = IconIndexOf(FModel->get_string(Index));
  });

  auto* Scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
  Scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  Scroller->set_propagate_natural_height(true);
  Scroller->set_max_content_height(MaxRowsShown * (RowHeight + 8));
  Scroller->set_child(FList);
  FPopup.set_child(*Scroller);
  FPopup.set_parent(*this);
  FPopup.set_autohide(false);
  FPopup.set_has_arrow(false);
  FPopup.set_position(Gtk::PositionType::BOTTOM);
  FPopup.add_css_class("address-list");

  FProbe.OnKnown = [this](const std::string& Text, PathKind) {
    if (Text == get_text().raw()) UpdateBoxIcon();
    // A row whose path is now known is bound again, with its icon.
    for (guint I = 0; I < FModel->get_n_items(); ++I)
      if (FModel->get_string(I).raw() == Text) {
        bool WasSelected = FSelection->is_selected(I);
        FModel->splice(I, 1, {Glib::ustring(Text)});
        if (WasSelected) FSelection->set_selected(I);
      }
  };
}

void TIEAddress::size_allocate_vfunc(int Width, int Height, int Baseline) {
  Gtk::Entry::size_allocate_vfunc(Width, Height, Baseline);
  FPopup.present();
}

int TIEAddress::Highlighted() const {
  guint Selected = FSelection->get_selected();
  return Selected == GTK_INVALID_LIST_POSITION ? -1 : static_cast<int>(Selected);
}

std::vector<std::string> TIEAddress::ShownRows() const {
  std::vector<std::string> Rows;
  if (!FListOpen && !FSuggesting) return Rows;
  for (guint I = 0; I < FModel->get_n_items(); ++I) Rows.push_back(FModel->get_string(I));
  return Rows;
}

void TIEAddress::ShowRows(const std::vector<std::string>& Rows, bool Suggestions, bool KeepHighlight) {
  int Was = KeepHighlight ? Highlighted() : -1;
  std::string Kept = Was >= 0 ? std::string(FModel->get_string(Was)) : std::string();
  std::vector<Glib::ustring> Strings(Rows.begin(), Rows.end());
  FModel->splice(0, FModel->get_n_items(), Strings);
  FSelection->set_selected(GTK_INVALID_LIST_POSITION);
  if (Rows.empty()) {
    CloseList();
    return;
  }
  if (Was >= 0)
    if (auto It = std::find(Rows.begin(), Rows.end(), Kept); It != Rows.end())
      FSelection->set_selected(static_cast<guint>(It - Rows.begin()));
  FPopup.set_size_request(std::max(get_width(), 145), -1);
  FListOpen = !Suggestions;
  FSuggesting = Suggestions;
  FProbe.ProbeRows(Rows);
  if (!FPopup.get_visible()) {
    FPointerRest = PointerInWindow();
    FPopup.popup();
  }
}

int TIEAddress::RowAt(double X, double Y) {
  // The point may be on the row's own widget or in the padding of the list's row around it.
  for (Gtk::Widget* W = FList.pick(X, Y); W && W != &FList; W = W->get_parent())
    for (Gtk::Widget* Candidate : {W, W->get_first_child()})
      if (auto* Item = Candidate ? static_cast<GtkListItem*>(g_object_get_data(G_OBJECT(Candidate->gobj()), RowItemKey))
                                 : nullptr) {
        guint Position = gtk_list_item_get_position(Item);
        return Position == GTK_INVALID_LIST_POSITION ? -1 : static_cast<int>(Position);
      }
  return -1;
}

std::optional<std::pair<double, double>> TIEAddress::PointerInWindow() {
  auto* Native = get_native();
  GdkSurface* Surface = Native ? gtk_native_get_surface(Native->gobj()) : nullptr;
  GdkSeat* Seat = gdk_display_get_default_seat(gtk_widget_get_display(GTK_WIDGET(gobj())));
  GdkDevice* Pointer = Seat ? gdk_seat_get_pointer(Seat) : nullptr;
  double X = NAN, Y = NAN;
  if (Surface && Pointer) gdk_surface_get_device_position(Surface, Pointer, &X, &Y, nullptr);
  if (std::isnan(X) || std::isnan(Y)) return std::nullopt;
  return std::make_pair(X, Y);
}

void TIEAddress::PointerMoved(double X, double Y) {
  // The list opening under a still pointer, or changing under it, reports the pointer
  // too: where it was when the list opened, or at the last report, is no motion.
  auto Now = PointerInWindow();
  bool Resting = Now && FPointerRest && std::abs(Now->first - FPointerRest->first) < 1 &&
                 std::abs(Now->second - FPointerRest->second) < 1;
  FPointerRest = Now;
  if (Resting) return;
  if (int Row = RowAt(X, Y); Row >= 0 && Row != Highlighted()) FSelection->set_selected(static_cast<guint>(Row));
}

void TIEAddress::OpenList(bool ByKeyboard) {
  if (FItems.empty()) return;
  std::vector<std::string> Rows(FItems.begin(), FItems.begin() + std::min<std::size_t>(FItems.size(), 25));
  FSuggesting = false;
  ShowRows(Rows, false);
  // The entry that matches the text is highlighted, as the old drop-down did.
  std::string Text = get_text();
  for (std::size_t I = 0; I < Rows.size(); ++I)
    if (Rows[I] == Text) {
      FSelection->set_selected(static_cast<guint>(I));
      break;
    }
  if (ByKeyboard) {
    FReadOnlyByKey = true;
    set_editable(false);
    select_region(get_position(), get_position());
  }
}

// Every way the popover closes comes through here, so the box is never left read-only.
// A folder listing in flight goes on: the next keystroke in that folder uses it.
void TIEAddress::CloseList() {
  FLister.Drop();
  FPointerRest.reset();
  FProbe.CancelRows();
  if (FPopup.get_visible()) FPopup.popdown();
  FListOpen = false;
  FSuggesting = false;
  if (FReadOnlyByKey || !get_editable()) set_editable(true);
  FReadOnlyByKey = false;
}

void TIEAddress::Highlight(int Index) {
  int Count = static_cast<int>(FModel->get_n_items());
  if (Index < 0 || Index >= Count) {
    FSelection->set_selected(GTK_INVALID_LIST_POSITION);
    RestoreTyped();
    return;
  }
  if (!FShowingRow) {
    FTypedText = get_text();
    FShowingRow = true;
  }
  FSelection->set_selected(static_cast<guint>(Index));
  FList.activate_action("list.scroll-to-item", Glib::Variant<guint32>::create(static_cast<guint32>(Index)));
  SetTextQuietly(FModel->get_string(Index));
  set_position(-1);
  ApplyIcon(FHighlightIconIndex);
}

void TIEAddress::ChooseRow(unsigned Position) {
  if ((!FListOpen && !FSuggesting) || Position >= FModel->get_n_items()) return;
  FShowingRow = false;
  std::string Text = FModel->get_string(Position);
  bool Suggestion = FSuggesting;
  SetTextQuietly(Text);
  if (Suggestion) {
    Commit();
    SelectAll();
    return;
  }
  int Icon = IconIndexOf(Text);
  FHighlightIconIndex = Icon;
  FCurrentUrl = Text;
  CloseList();
  FLister.Cancel();
  SelectAll();
  FUserEdited = false;
  FUrlSelected.emit(Text);
  ApplyIcon(Icon);
}

void TIEAddress::UpdateSuggestions() {
  CompletionPlan Plan = PlanOf(CompletionFlagsWord());
  std::string Text = get_text();
  if (!Plan.Suggest || Text.empty()) {
    FLister.Drop();
    FLastTypedSize = Text.size();
    FSuggested.clear();
    if (FSuggesting) CloseList();
    return;
  }
  std::vector<const ICompletionSource*> Sources;
  if (Plan.Typed) Sources.push_back(&FTyped);
  if (Plan.History) Sources.push_back(FHistory);
  FSuggested = CollectSuggestions(Sources, Text, MaxSuggestions);
  bool Grew = Text.size() > FLastTypedSize;
  FLastTypedSize = Text.size();
  FAppend.disconnect();
  if (Plan.Append && Grew && !FSuggested.empty() && FSuggested.front().size() > Text.size() &&
      g_ascii_strncasecmp(FSuggested.front().c_str(), Text.c_str(), Text.size()) == 0) {
    // Inline completion once the keystroke is done: the rest of the best match, selected
    // so that typing on replaces it.
    FAppend = Glib::signal_idle().connect([this, Text, Rest = FSuggested.front().substr(Text.size())] {
      if (get_text().raw() != Text || Composing() || get_position() != static_cast<int>(get_text().length()))
        return false;
      int End = get_position(), Position = End;
      ++FQuiet;
      insert_text(Rest, -1, Position);
      --FQuiet;
      select_region(End, -1);
      return false;
    });
  }
  ShowRows(FSuggested, true);
  if (!Plan.Files || FSuggested.size() >= MaxSuggestions)
    FLister.Drop();
  else
    FLister.Request(Text, MaxSuggestions - FSuggested.size(),
                    [this](std::vector<std::string> Rows) { AppendFileSuggestions(std::move(Rows)); });
}

void TIEAddress::AppendFileSuggestions(std::vector<std::string> Rows) {
  if (Rows.empty()) return;
  std::vector<std::string> All = FSuggested;
  for (auto& Row : Rows)
    if (std::find(All.begin(), All.end(), Row) == All.end()) All.push_back(std::move(Row));
  // Late rows go below: the user's highlighted choice stays where it is.
  ShowRows(All, true, true);
}

int TIEAddress::IconIndexOf(const std::string& Text) const {
  return navigation::IconIndexOf(Text, FProbe.KindOf(Text), platform::SystemIcons::Shared());
}

void TIEAddress::UpdateBoxIcon() { ApplyIcon(IconIndexOf(get_text())); }

void TIEAddress::ApplyIcon(int Index) {
  FShownIconIndex = Index;
  FShowsUntrusted = FUntrusted && !FUserEdited && std::string(get_text()) == FCurrentUrl;
  set_icon_tooltip_text(FShowsUntrusted ? "此网页不安全：网站的证书不受信任" : "", Gtk::Entry::IconPosition::PRIMARY);
  auto Icon = FShowIcons ? FIcons.Icon(Index) : Glib::RefPtr<Gio::Icon>();
  if (FShowsUntrusted)
    Icon = Gio::ThemedIcon::create(std::vector<Glib::ustring>{"channel-insecure-symbolic", "security-low-symbolic",
                                                              "dialog-warning-symbolic"});
  // No icon is a blank one: the text never moves sideways as the icon comes and goes.
  if (Icon) set_icon_from_gicon(Icon, Gtk::Entry::IconPosition::PRIMARY);
  else set_icon_from_paintable(BlankIcon(), Gtk::Entry::IconPosition::PRIMARY);
}

void TIEAddress::SetUntrusted(bool Untrusted) {
  if (Untrusted == FUntrusted) return;
  FUntrusted = Untrusted;
  ApplyIcon(FShownIconIndex);
}

}  // namespace vorlane::navigation
