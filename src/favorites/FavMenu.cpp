#include "favorites/FavMenu.h"

#include <giomm/menuitem.h>
#include <giomm/simpleaction.h>

#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "framework/LiteralLabel.h"
#include "platform/Dialogs.h"

namespace vorlane::favorites {

namespace {
constexpr const char* FolderActionPrefix = "folder";
constexpr const char* TopAction = "top";

// Where Root stands in Bar, or -1.
int IndexOf(const Glib::RefPtr<Gio::Menu>& Bar, const Glib::RefPtr<Gio::Menu>& Root) {
  if (!Bar || !Root) return -1;
  for (int I = 0; I < Bar->get_n_items(); ++I) {
    auto Link = Bar->get_item_link(I, Gio::MenuModel::Link::SUBMENU);
    if (Link && static_cast<void*>(Link->gobj()) == static_cast<void*>(Root->gobj())) return I;
  }
  return -1;
}

struct ObjectUnref {
  void operator()(gpointer Object) const { g_object_unref(Object); }
};

// GTK's menu tracker turns a folder's submenu action on when the submenu opens.
void FolderStateAsked(GSimpleAction* Action, GVariant* State, gpointer Menu) {
  if (g_variant_get_boolean(State))
    static_cast<TFavoritesMenu*>(Menu)->FolderOpened(g_action_get_name(G_ACTION(Action)));
}

// "&A" marks a mnemonic in our captions, "_A" in GTK's; "&&" is a plain "&".
std::string MnemonicLabel(const std::string& Caption) {
  std::string Out;
  for (std::size_t I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == '_') Out += "__";
    else if (Caption[I] != '&') Out += Caption[I];
    else if (I + 1 < Caption.size() && Caption[I + 1] == '&') Out += Caption[I++];
    else Out += '_';
  }
  return Out;
}
}  // namespace

TFavoritesMenu::TFavoritesMenu(platform::IDialogs& Dialogs, std::string FavoritesFolder)
    : Model(std::move(FavoritesFolder)), FDialogs(&Dialogs), FActions(Gio::SimpleActionGroup::create()) {
  FActions->add_action("add", [this] { AddFavoriteClick(); });
  FActions->add_action("organize", [this] { OrganizeClick(); });
  FActions->add_action("import", [this] { ImportClick(); });
  FActions->add_action("export", [this] { ExportClick(); });
  FActions->add_action_with_parameter("open", Glib::VARIANT_TYPE_BYTESTRING, [this](const Glib::VariantBase& V) {
    OpenFavorite(Glib::VariantBase::cast_dynamic<Glib::Variant<std::string>>(V).get());
  });
  Model.OnItemImageIndex = [this](TMenuType Type, int& Index) {
    if (OnItemImageIndex) OnItemImageIndex(Type, Index);
  };
}

TFavoritesMenu::~TFavoritesMenu() {
  // The host may hold the action group longer than this menu lives.
  for (const auto& [Name, Level] : FLevels)
    if (GAction* Action = g_action_map_lookup_action(G_ACTION_MAP(FActions->gobj()), Name.c_str()))
      g_signal_handlers_disconnect_by_data(Action, this);
  if (const int I = IndexOf(MainMenu, FRoot); I >= 0) MainMenu->remove(I);
}

void TFavoritesMenu::AddLevelAction(const std::string& Name) {
  const std::unique_ptr<GSimpleAction, ObjectUnref> Action(
      g_simple_action_new_stateful(Name.c_str(), nullptr, g_variant_new_boolean(FALSE)));
  g_signal_connect(Action.get(), "change-state", G_CALLBACK(FolderStateAsked), this);
  g_action_map_add_action(G_ACTION_MAP(FActions->gobj()), G_ACTION(Action.get()));
}

void TFavoritesMenu::DropLevel(const std::string& Name) {
  if (GAction* Action = g_action_map_lookup_action(G_ACTION_MAP(FActions->gobj()), Name.c_str()))
    g_signal_handlers_disconnect_by_data(Action, this);
  FActions->remove_action(Name);
  if (auto It = FLevels.find(Name); It != FLevels.end()) {
    FLevelOfFolder.erase(It->second.Path);
    FLevels.erase(It);
  }
}

void TFavoritesMenu::DropAllLevels() {
  while (!FLevels.empty()) DropLevel(FLevels.begin()->first);
  FLevelOfFolder.clear();
}

void TFavoritesMenu::RebuildMenu() {
  const int OldIndex = IndexOf(MainMenu, FRoot);
  std::vector<TMenuEntry> Fixed = Model.FixedEntries(IsIE5OrLater());
  if (MainMenu && OldIndex >= 0 && Fixed == FFixed && OldIndex == Model.InsertIndex(MainMenu->get_n_items() - 1)) {
    // The same menu in the same place: every level is listed again when it next opens.
    for (auto& [Name, Level] : FLevels) {
      Level.Current = false;
      g_simple_action_set_state(
          G_SIMPLE_ACTION(g_action_map_lookup_action(G_ACTION_MAP(FActions->gobj()), Name.c_str())),
          g_variant_new_boolean(FALSE));
    }
    return;
  }
  DropAllLevels();
  FFixed = Fixed;
  auto Root = Gio::Menu::create();
  // Separators of a GMenu are section boundaries: each run of entries is one section.
  auto Section = Gio::Menu::create();
  for (const TMenuEntry& E : Fixed) {
    if (!E.Separator) {
      Append(Section, E);
      continue;
    }
    Root->append_section(Section);
    Section = Gio::Menu::create();
  }
  AddLevelAction(TopAction);
  TLevel& Top = FLevels[TopAction];
  Top.Path = Model.FavoritesFolder();
  Top.Menu = Section;
  if (!MainMenu) FolderOpened(TopAction);  // no bar to say when it opens
  Root->append_section(Section);

  if (MainMenu) {
    if (OldIndex >= 0) MainMenu->remove(OldIndex);
    const int Index = Model.InsertIndex(MainMenu->get_n_items());
    // Our own caption: its mnemonic is meant.
    auto Item = Gio::MenuItem::create(MnemonicLabel(Model.Caption), Root);
    Item->set_attribute_value("submenu-action", Glib::Variant<Glib::ustring>::create(std::string("fav.") + TopAction));
    MainMenu->insert_item(Index, Item);
  }
  FRoot = Root;
}

void TFavoritesMenu::Append(const Glib::RefPtr<Gio::Menu>& Menu, const TMenuEntry& E) {
  const std::unique_ptr<GMenuItem, ObjectUnref> Item(MakeItem(E));
  if (Item) g_menu_append_item(Menu->gobj(), Item.get());
}

GMenuItem* TFavoritesMenu::MakeItem(const TMenuEntry& E) {
  // Plain GIO calls: a level holds thousands of entries, and C++ wrappers for each item,
  // action and handler would cost more than listing the folder did.
  const std::string Label = E.Hint.empty() ? E.Caption : framework::LiteralMenuLabel(E.Caption);
  GMenuItem* Item = g_menu_item_new(Label.c_str(), nullptr);
  switch (E.Type) {
    case TMenuType::mtFolder:
    case TMenuType::mtEmptyFolder: {
      auto Sub = Gio::Menu::create();
      g_menu_item_set_submenu(Item, G_MENU_MODEL(Sub->gobj()));
      if (E.Type == TMenuType::mtFolder) {
        const std::string Name = FolderActionPrefix + std::to_string(FNextFolder++);
        AddLevelAction(Name);
        FLevels[Name] = TLevel{E.Hint, Sub, {}, false};
        FLevelOfFolder[E.Hint] = Name;
        g_menu_item_set_attribute(Item, "submenu-action", "s", ("fav." + Name).c_str());
      }
      break;
    }
    case TMenuType::mtItem:
      // A bytestring target: file names need not be UTF-8.
      g_menu_item_set_action_and_target_value(Item, "fav.open", g_variant_new_bytestring(E.Hint.c_str()));
      break;
    case TMenuType::mtAddFavorite: g_menu_item_set_detailed_action(Item, "fav.add"); break;
    case TMenuType::mtOrganizeFavorites: g_menu_item_set_detailed_action(Item, "fav.organize"); break;
    case TMenuType::mtImportFavorites: g_menu_item_set_detailed_action(Item, "fav.import"); break;
    case TMenuType::mtExportFavorites: g_menu_item_set_detailed_action(Item, "fav.export"); break;
    case TMenuType::mtRoot: g_object_unref(Item); return nullptr;
  }
  if (E.ImageIndex >= 0 && E.ImageIndex < static_cast<int>(FImages.size()) && FImages[E.ImageIndex])
    g_menu_item_set_icon(Item, FImages[E.ImageIndex]->gobj());
  return Item;
}

void TFavoritesMenu::Insert(TLevel& Level, std::size_t Position, const TMenuEntry& E) {
  const std::unique_ptr<GMenuItem, ObjectUnref> Item(MakeItem(E));
  if (!Item) return;
  g_menu_insert_item(Level.Menu->gobj(), static_cast<int>(Position), Item.get());
  Level.Shown.insert(Level.Shown.begin() + static_cast<std::ptrdiff_t>(Position), E);
}

void TFavoritesMenu::Remove(TLevel& Level, std::size_t Position) {
  // The folder's level goes with it (levels below it stay until the next full rebuild).
  if (auto It = FLevelOfFolder.find(Level.Shown[Position].Hint); It != FLevelOfFolder.end()) {
    const std::string Name = It->second;
    DropLevel(Name);
  }
  g_menu_remove(Level.Menu->gobj(), static_cast<int>(Position));
  Level.Shown.erase(Level.Shown.begin() + static_cast<std::ptrdiff_t>(Position));
}

void TFavoritesMenu::Merge(TLevel& Level, const std::vector<TMenuEntry>& Want) {
  std::size_t I = 0, J = 0;
  while (I < Level.Shown.size() || J < Want.size()) {
    if (I < Level.Shown.size() && J < Want.size() && Level.Shown[I] == Want[J]) {
      ++I, ++J;
      continue;
    }
    bool Later = false;
    for (std::size_t K = J; I < Level.Shown.size() && K < Want.size() && !Later; ++K) Later = Level.Shown[I] == Want[K];
    if (I < Level.Shown.size() && !Later) {
      Remove(Level, I);
      continue;
    }
    Insert(Level, I++, Want[J++]);
  }
}

void TFavoritesMenu::FolderOpened(const std::string& ActionName) {
  auto It = FLevels.find(ActionName);
  if (It == FLevels.end() || It->second.Current) return;
  It->second.Current = true;  // until the next rebuild
  g_simple_action_set_state(
      G_SIMPLE_ACTION(g_action_map_lookup_action(G_ACTION_MAP(FActions->gobj()), ActionName.c_str())),
      g_variant_new_boolean(TRUE));
  // Merging may add levels: the map's nodes stay where they are.
  TLevel& Level = It->second;
  const std::string Path = Level.Path;
  Merge(Level, Model.ListFolder(Path));
}

bool TFavoritesMenu::Listed(const std::string& ActionName) const {
  auto It = FLevels.find(ActionName);
  return It != FLevels.end() && It->second.Current;
}

void TFavoritesMenu::OpenFavorite(const std::string& File) {
  const std::string Url = ReadShortcutUrl(File, Model.ResolveUrl);
  if (OnURLSelected) return OnURLSelected(Url);
  if (Url.empty()) return;  // nothing to open
  if (ILinkedBrowser* B = BrowserControl ? BrowserControl() : nullptr) B->Navigate(Url);
}

void TFavoritesMenu::AddFavoriteClick() {
  ILinkedBrowser* B = BrowserControl ? BrowserControl() : nullptr;
  if (!B) return FDialogs->ShowMessage(platform::MessageKind::Information, "", "No Webbrowser linked to the Favorites-menu.");
  const TPageSnapshot Page = B->Snapshot();
  if (Page.Url.empty()) return FDialogs->ShowMessage(platform::MessageKind::Information, "", "No URL selected.");
  if (OnAddFavorite) OnAddFavorite(Page, [this] { RebuildMenu(); });
}

void TFavoritesMenu::OrganizeClick() {
  if (OnOrganize) OnOrganize([this] { RebuildMenu(); });
  else RebuildMenu();
}

void TFavoritesMenu::ExportClick() {
  Transfer.Export([this] { RebuildMenu(); });
}

void TFavoritesMenu::ImportClick() {
  Transfer.Import([this] { RebuildMenu(); });
}

}  // namespace vorlane::favorites
