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
  const bool FromDisk = !E.Hint.empty();
  const Glib::ustring Label = FromDisk ? framework::LiteralMenuLabel(E.Caption) : E.Caption;
  Glib::RefPtr<Gio::MenuItem> Item;
  switch (E.Type) {
    case TMenuType::mtFolder:
    case TMenuType::mtEmptyFolder: {
      auto Sub = Gio::Menu::create();
      Item = Gio::MenuItem::create(Label, Sub);
      if (E.Type == TMenuType::mtFolder) {
        const std::string Name = FolderActionPrefix + std::to_string(FFolders.size());
        FFolders.push_back({E.Hint, Sub});
        FFolderActions.push_back(Name);
        auto Action = Gio::SimpleAction::create_bool(Name, false);
        Action->signal_change_state().connect([this, Name](const Glib::VariantBase& V) {
          if (Glib::VariantBase::cast_dynamic<Glib::Variant<bool>>(V).get()) FolderOpened(Name);
        });
        FActions->add_action(Action);
        Item->set_attribute_value("submenu-action", Glib::Variant<Glib::ustring>::create("fav." + Name));
      }
      break;
    }
    case TMenuType::mtItem:
      Item = Gio::MenuItem::create(Label, "");
      // A bytestring target: file names need not be UTF-8.
      Item->set_action_and_target("fav.open", Glib::Variant<std::string>::create(E.Hint));
      break;
    case TMenuType::mtAddFavorite: Item = Gio::MenuItem::create(Label, "fav.add"); break;
    case TMenuType::mtOrganizeFavorites: Item = Gio::MenuItem::create(Label, "fav.organize"); break;
    case TMenuType::mtImportFavorites: Item = Gio::MenuItem::create(Label, "fav.import"); break;
    case TMenuType::mtExportFavorites: Item = Gio::MenuItem::create(Label, "fav.export"); break;
    case TMenuType::mtRoot: return;
  }
  if (E.ImageIndex >= 0 && E.ImageIndex < static_cast<int>(FImages.size()) && FImages[E.ImageIndex])
    Item->set_icon(FImages[E.ImageIndex]);
  Menu->append_item(Item);
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
