#include "favorites/FavMenu.h"

#include <giomm/simpleaction.h>

#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "framework/LiteralLabel.h"
#include "platform/Dialogs.h"

namespace vorlane::favorites {

namespace {
constexpr const char* FolderActionPrefix = "folder";

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
  for (const std::string& Name : FFolderActions)
    if (GAction* Action = g_action_map_lookup_action(G_ACTION_MAP(FActions->gobj()), Name.c_str()))
      g_signal_handlers_disconnect_by_data(Action, this);
  if (const int I = IndexOf(MainMenu, FRoot); I >= 0) MainMenu->remove(I);
}

void TFavoritesMenu::RebuildMenu() {
  const int OldIndex = IndexOf(MainMenu, FRoot);
  for (const std::string& Name : FFolderActions) FActions->remove_action(Name);
  FFolderActions.clear();
  FFolders.clear();

  auto Root = Gio::Menu::create();
  // Separators of a GMenu are section boundaries: each run of entries is one section.
  auto Section = Gio::Menu::create();
  for (const TMenuEntry& E : Model.FixedEntries(IsIE5OrLater())) {
    if (!E.Separator) {
      Append(Section, E);
      continue;
    }
    Root->append_section(Section);
    Section = Gio::Menu::create();
  }
  Fill(Section, Model.ListFolder(Model.FavoritesFolder()));
  Root->append_section(Section);

  if (MainMenu) {
    if (OldIndex >= 0) MainMenu->remove(OldIndex);
    const int Index = Model.InsertIndex(MainMenu->get_n_items());
    MainMenu->insert_submenu(Index, MnemonicLabel(Model.Caption), Root);  // our own caption: its mnemonic is meant
  }
  FRoot = Root;
}

void TFavoritesMenu::Fill(const Glib::RefPtr<Gio::Menu>& Menu, const std::vector<TMenuEntry>& Entries) {
  for (const TMenuEntry& E : Entries) Append(Menu, E);
}

void TFavoritesMenu::Append(const Glib::RefPtr<Gio::Menu>& Menu, const TMenuEntry& E) {
  // Plain GIO calls: a level holds thousands of entries, and C++ wrappers for each item,
  // action and handler would cost more than listing the folder did.
  const std::string Label = E.Hint.empty() ? E.Caption : framework::LiteralMenuLabel(E.Caption);
  const std::unique_ptr<GMenuItem, ObjectUnref> Item(g_menu_item_new(Label.c_str(), nullptr));
  switch (E.Type) {
    case TMenuType::mtFolder:
    case TMenuType::mtEmptyFolder: {
      auto Sub = Gio::Menu::create();
      g_menu_item_set_submenu(Item.get(), G_MENU_MODEL(Sub->gobj()));
      if (E.Type == TMenuType::mtFolder) {
        const std::string Name = FolderActionPrefix + std::to_string(FFolders.size());
        FFolders.push_back({E.Hint, Sub});
        FFolderActions.push_back(Name);
        const std::unique_ptr<GSimpleAction, ObjectUnref> Action(
            g_simple_action_new_stateful(Name.c_str(), nullptr, g_variant_new_boolean(FALSE)));
        g_signal_connect(Action.get(), "change-state", G_CALLBACK(FolderStateAsked), this);
        g_action_map_add_action(G_ACTION_MAP(FActions->gobj()), G_ACTION(Action.get()));
        g_menu_item_set_attribute(Item.get(), "submenu-action", "s", ("fav." + Name).c_str());
      }
      break;
    }
    case TMenuType::mtItem:
      // A bytestring target: file names need not be UTF-8.
      g_menu_item_set_action_and_target_value(Item.get(), "fav.open", g_variant_new_bytestring(E.Hint.c_str()));
      break;
    case TMenuType::mtAddFavorite: g_menu_item_set_detailed_action(Item.get(), "fav.add"); break;
    case TMenuType::mtOrganizeFavorites: g_menu_item_set_detailed_action(Item.get(), "fav.organize"); break;
    case TMenuType::mtImportFavorites: g_menu_item_set_detailed_action(Item.get(), "fav.import"); break;
    case TMenuType::mtExportFavorites: g_menu_item_set_detailed_action(Item.get(), "fav.export"); break;
    case TMenuType::mtRoot: return;
  }
  if (E.ImageIndex >= 0 && E.ImageIndex < static_cast<int>(FImages.size()) && FImages[E.ImageIndex])
    g_menu_item_set_icon(Item.get(), FImages[E.ImageIndex]->gobj());
  g_menu_append_item(Menu->gobj(), Item.get());
}

void TFavoritesMenu::FolderOpened(const std::string& ActionName) {
  auto Action = std::dynamic_pointer_cast<Gio::SimpleAction>(FActions->lookup_action(ActionName));
  if (!Action) return;
  bool Filled = false;
  Action->get_state(Filled);
  if (Filled) return;
  Action->set_state(Glib::Variant<bool>::create(true));  // listed once; it stays on
  const std::size_t Index = std::stoul(ActionName.substr(std::char_traits<char>::length(FolderActionPrefix)));
  if (Index >= FFolders.size()) return;
  const TPendingFolder Folder = FFolders[Index];  // filling adds folders: the vector may move
  Fill(Folder.Menu, Model.ListFolder(Folder.Path));
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
