#include "navigation/HistoryListView.h"

#include "platform/HistoryPeriods.h"
#include "platform/Registry.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>
#include <giomm/menu.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/image.h>
#include <gtkmm/signallistitemfactory.h>
#include <pangomm/attrlist.h>

#include <algorithm>

namespace vorlane::navigation {

// A row stands for an index into the shown entries; rows are made on demand.
class THistoryRow : public Glib::Object {
public:
  static Glib::RefPtr<THistoryRow> create(guint Index) {
    return Glib::make_refptr_for_instance(new THistoryRow(Index));
  }
  const guint Index;

protected:
  explicit THistoryRow(guint I) : Glib::ObjectBase(typeid(THistoryRow)), Index(I) {}
};

// Gio::ListModel must come before Glib::Object among the bases, or GObject refuses the
// interface and the list stays empty.
class THistoryRowModel : public Gio::ListModel, public Glib::Object {
public:
  static Glib::RefPtr<THistoryRowModel> create() {
    return Glib::make_refptr_for_instance(new THistoryRowModel());
  }
  void SetCount(guint Count) {
    guint Old = FCount;
    FCount = Count;
    items_changed(0, Old, Count);
  }

protected:
  THistoryRowModel() : Glib::ObjectBase(typeid(THistoryRowModel)), Gio::ListModel(), Glib::Object() {}
  GType get_item_type_vfunc() override { return G_TYPE_OBJECT; }
  guint get_n_items_vfunc() override { return FCount; }
  gpointer get_item_vfunc(guint Position) override {
    if (Position >= FCount) return nullptr;
    return THistoryRow::create(Position)->gobj_copy();
  }

private:
  guint FCount = 0;
};

namespace {

constexpr int ListWidth = 200;
constexpr int ColumnWidth = ListWidth - 4;
constexpr guint32 TypeAheadPauseMs = 1000;

void SetUnderline(Gtk::Label& Label, bool On) {
  Pango::AttrList Attributes;
  if (On) {
    auto Underline = Pango::Attribute::create_attr_underline(Pango::Underline::SINGLE);
    Attributes.insert(Underline);
  }
  Label.set_attributes(Attributes);
}

}  // namespace

TCustomHistoryListView::TCustomHistoryListView(platform::THistoryStore& Store)
    : Gtk::Box(Gtk::Orientation::VERTICAL), FStore(Store), FBrowser(Store) {
  set_name("HistoryListView");
  set_size_request(ListWidth, 300);
  // The column caption is the History folder's registered name.
  platform::Registry Registry;
  FHeader.set_text(Registry.ReadString(platform::RootKey::ClassesRoot, platform::HistoryFolderClassKey, "")
                       .value_or(""));
  FHeader.set_xalign(0);
  FHeader.set_size_request(ColumnWidth, -1);
  FHeader.set_halign(Gtk::Align::START);
  FHeader.add_css_class("heading");
  FSearchBox.set_placeholder_text("搜索历史记录");
  FSearchBox.set_name("HistorySearch");
  FSearchBox.signal_search_changed().connect([this] { SearchFor(FSearchBox.get_text()); });
  append(FSearchBox);
  append(FHeader);

  auto Menu = Gio::Menu::create();
  Menu->append("删除", "history.remove");
  Menu->append("删除此网站的全部记录", "history.remove-site");
  FMenu.set_menu_model(Menu);
  FMenu.set_has_arrow(false);
  FMenu.set_parent(*this);
  auto Commands = Gio::SimpleActionGroup::create();
  Commands->add_action("remove", [this] {
    if (FMenuIndex) RemoveEntry(*FMenuIndex, false);
  });
  Commands->add_action("remove-site", [this] {
    if (FMenuIndex) RemoveEntry(*FMenuIndex, true);
  });
  insert_action_group("history", Commands);

  FModel = THistoryRowModel::create();
  FSelection = Gtk::SingleSelection::create(FModel);
  FSelection->set_autoselect(false);
  FSelection->set_can_unselect(true);

  auto Factory = Gtk::SignalListItemFactory::create();
  Factory->signal_setup().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto* Row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 4);
    auto* Icon = Gtk::make_managed<Gtk::Image>();
    auto* Label = Gtk::make_managed<Gtk::Label>();
    Label->set_xalign(0);
    Label->set_ellipsize(Pango::EllipsizeMode::END);
    Row->append(*Icon);
    Row->append(*Label);
    // Hot tracking: the row under the pointer is underlined.
    auto Hover = Gtk::EventControllerMotion::create();
    Hover->signal_enter().connect([Label](double, double) { SetUnderline(*Label, true); });
    Hover->signal_leave().connect([Label] { SetUnderline(*Label, false); });
    Row->add_controller(Hover);
    // The list item outlives its row; a reference to it from here would keep both alive.
    auto* ListItem = Item.get();
    auto RightClick = Gtk::GestureClick::create();
    RightClick->set_button(GDK_BUTTON_SECONDARY);
    RightClick->signal_pressed().connect([this, ListItem, Row](int, double X, double Y) {
      if (ListItem->get_position() != GTK_INVALID_LIST_POSITION) PopupMenu(ListItem->get_position(), *Row, X, Y);
    });
    Row->add_controller(RightClick);
    Item->set_child(*Row);
  });
  Factory->signal_bind().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto Row = std::dynamic_pointer_cast<THistoryRow>(Item->get_item());
    auto* Box = dynamic_cast<Gtk::Box*>(Item->get_child());
    if (!Row || !Box || Row->Index >= FBrowser.Entries().size()) return;
    auto* Icon = dynamic_cast<Gtk::Image*>(Box->get_first_child());
    auto* Label = dynamic_cast<Gtk::Label*>(Icon ? Icon->get_next_sibling() : nullptr);
    if (!Icon || !Label) return;
    const THistoryEntry& Entry = FBrowser.Entries()[Row->Index];
    Label->set_text(Entry.Item.DisplayName);
    Box->set_tooltip_text(platform::ItemInfoTip(Entry.Item));
    Icon->set_from_icon_name(FBrowser.IconOf(Row->Index));
  });
  FList.set_model(FSelection);
  FList.set_factory(Factory);
  FList.set_cursor(Gdk::Cursor::create("pointer"));
  FList.set_single_click_activate(false);
  FList.signal_activate().connect([this](guint Position) { OpenAt(Position); });
  FList.add_css_class("history-list");
  auto Keys = Gtk::EventControllerKey::create();
  Keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  Keys->signal_key_pressed().connect(
      [this](guint Key, guint, Gdk::ModifierType State) { return HandleKey(Key, State); }, false);
  FList.add_controller(Keys);

  FScroller.set_child(FList);
  FScroller.set_vexpand(true);
  FScroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  append(FScroller);

  BrowseFolder({});
  Store.SignalChanged().connect(sigc::mem_fun(*this, &TCustomHistoryListView::StoreChanged));
  signal_map().connect([this] {
    if (FStale) Refresh();
  });
  ArmDayTimer();
}

TCustomHistoryListView::~TCustomHistoryListView() {
  FRefreshSoon.disconnect();
  FDayTimer.disconnect();
  FMenu.unparent();
}

void TCustomHistoryListView::SearchFor(const std::string& Text) {
  FBrowser.Search(Text);
  Reload();
}

void TCustomHistoryListView::RemoveEntry(size_t Index, bool WholeSite) {
  if (!FBrowser.CanRemove(Index)) return;
  FBrowser.Remove(Index, WholeSite);
  Reload();
  if (!FBrowser.Entries().empty()) Select(std::min(Index, FBrowser.Entries().size() - 1));
}

void TCustomHistoryListView::PopupMenu(size_t Index, Gtk::Widget& Row, double X, double Y) {
  if (!FBrowser.CanRemove(Index)) return;
  Select(Index);
  FMenuIndex = Index;
  double Bx = 0, By = 0;
  if (!Row.translate_coordinates(*this, X, Y, Bx, By)) return;
  FMenu.set_pointing_to(Gdk::Rectangle(static_cast<int>(Bx), static_cast<int>(By), 1, 1));
  FMenu.popup();
}

void TCustomHistoryListView::StoreChanged() {
  FStale = true;
  // A page's visit and its title come in one burst: one refresh for them.
  if (get_mapped() && !FRefreshSoon.connected())
    FRefreshSoon = Glib::signal_idle().connect([this] {
      if (FStale) Refresh();
      return false;
    });
}

void TCustomHistoryListView::ArmDayTimer() {
  using namespace std::chrono;
  // At least a second, so a clock that stands still cannot spin it; at most a few
  // minutes, so a machine that slept through midnight catches up soon after it wakes.
  auto Delay = std::clamp<milliseconds>(platform::UntilNextDay(FStore.Now()), seconds(1), minutes(5));
  FDayTimer = Glib::signal_timeout().connect(
      [this] {
        if (FStore.Today() != FShownDay) StoreChanged();
        ArmDayTimer();
        return false;
      },
      static_cast<unsigned>(Delay.count()));
}

void TCustomHistoryListView::SetWebbrowser(browser::TBrowserControl* Control) {
  FWebbrowser = Control;
  FWebbrowserAlive = Control ? Control->Liveness() : std::weak_ptr<const void>();
}

bool TCustomHistoryListView::BrowseFolder(const platform::THistoryPath& Path) {
  if (!FBrowser.BrowseFolder(Path)) return false;
  Reload();
  return true;
}

void TCustomHistoryListView::Refresh() {
  std::optional<std::string> Kept;
  if (auto Index = Selected()) Kept = EntryAt(*Index).Item.Id;
  if (!FBrowser.Refresh()) return;
  Reload();
  if (!Kept) return;
  const auto& Entries = FBrowser.Entries();
  auto It = std::find_if(Entries.begin(), Entries.end(), [&](auto& E) { return E.Item.Id == *Kept; });
  if (It != Entries.end()) Select(static_cast<size_t>(It - Entries.begin()));
}

void TCustomHistoryListView::ClearEntries() {
  FBrowser.ClearEntries();
  FModel->SetCount(0);
  FSelection->set_selected(GTK_INVALID_LIST_POSITION);
}

void TCustomHistoryListView::Reload() {
  FStale = false;
  FShownDay = FStore.Today();
  FModel->SetCount(static_cast<guint>(FBrowser.Entries().size()));
  if (FBrowser.Entries().empty()) {
    FSelection->set_selected(GTK_INVALID_LIST_POSITION);
    return;
  }
  Select(0);
}

std::optional<size_t> TCustomHistoryListView::Selected() const {
  guint Position = FSelection->get_selected();
  if (Position == GTK_INVALID_LIST_POSITION || Position >= FBrowser.Entries().size()) return std::nullopt;
  return Position;
}

void TCustomHistoryListView::Select(size_t Index) {
  if (Index >= FBrowser.Entries().size()) return;
  FSelection->set_selected(static_cast<guint>(Index));
  // GTK 4.8 has no ListView::scroll_to; the list's own action does it.
  FList.activate_action("list.scroll-to-item", Glib::Variant<guint32>::create(static_cast<guint32>(Index)));
}

void TCustomHistoryListView::GoUp() {
  if (FBrowser.GoUp()) {
    Reload();
    return;
  }
  if (OnBeep)
    OnBeep();
  else
    get_display()->beep();
}

void TCustomHistoryListView::DblClick() {
  if (auto Index = Selected()) OpenAt(*Index);
}

void TCustomHistoryListView::OpenAt(size_t Index) {
  std::string Url;
  switch (FBrowser.Open(Index, Url)) {
    case THistoryBrowser::TOpenResult::EnteredFolder:
      Reload();
      return;
    case THistoryBrowser::TOpenResult::Page:
      if (OnURLSelected)
        OnURLSelected(*this, Url);
      else if (FWebbrowser && !FWebbrowserAlive.expired())
        FWebbrowser->Navigate2(Url, 0);
      return;
    case THistoryBrowser::TOpenResult::Nothing:
      return;
  }
}

bool TCustomHistoryListView::TypeAhead(const std::string& Text) {
  // A continued word may still match the selected entry; a fresh one starts below it.
  size_t Start = Selected().value_or(0);
  if (Text.size() <= 1 && Selected()) ++Start;
  auto Found = FBrowser.FindPrefix(Text, Start, true);
  if (!Found) return false;
  Select(*Found);
  return true;
}

bool TCustomHistoryListView::HandleKey(guint Key, Gdk::ModifierType State) {
  if (Key == GDK_KEY_BackSpace) {
    GoUp();
    return true;
  }
  if (Key == GDK_KEY_Return || Key == GDK_KEY_KP_Enter) {
    DblClick();
    return true;
  }
  if ((State & (Gdk::ModifierType::CONTROL_MASK | Gdk::ModifierType::ALT_MASK)) != Gdk::ModifierType{}) return false;
  gunichar C = gdk_keyval_to_unicode(Key);
  if (!C || g_unichar_iscntrl(C)) return false;
  guint32 Now = static_cast<guint32>(g_get_monotonic_time() / 1000);
  if (Now - FLastTypedAt > TypeAheadPauseMs) FTyped.clear();
  FLastTypedAt = Now;
  char Utf8[8];
  FTyped.append(Utf8, static_cast<size_t>(g_unichar_to_utf8(C, Utf8)));
  TypeAhead(FTyped);
  return true;
}

}  // namespace vorlane::navigation
