#include "favorites/FavoritesTree.h"

#include <glibmm/main.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/listitem.h>
#include <gtkmm/signallistitemfactory.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "framework/LiteralLabel.h"

namespace fs = std::filesystem;

namespace vorlane::favorites {

namespace {
bool IsFolder(TNodeType T) { return T == TNodeType::ntEmptyFolder || T == TNodeType::ntFolder; }
bool IsCommand(TNodeType T) { return T >= TNodeType::ntOrganizeFavorites; }
}  // namespace

TFavoriteNode::TFavoriteNode(std::string Caption, std::string FileName, TNodeType Type, TFavoriteNode* Parent)
    : Glib::ObjectBase(typeid(TFavoriteNode)), Caption(std::move(Caption)), FileName(std::move(FileName)),
      Type(Type), Parent(Parent) {}

Glib::RefPtr<Gio::ListStore<TFavoriteNode>> TFavoriteNode::Children() {
  // Made when first asked for (a row shown, a folder listed): a level of a thousand folders
  // would otherwise make a thousand stores that are never looked at.
  if (!FChildren) FChildren = Gio::ListStore<TFavoriteNode>::create();
  return FChildren;
}

Glib::RefPtr<TFavoriteNode> TFavoriteNode::create(std::string Caption, std::string FileName, TNodeType Type,
                                                  TFavoriteNode* Parent) {
  return Glib::make_refptr_for_instance(new TFavoriteNode(std::move(Caption), std::move(FileName), Type, Parent));
}

TFavoritesTree::TFavoritesTree(platform::IDialogs& Dialogs, std::string FavoritesFolder, std::uint8_t Options)
    : FDialogs(Dialogs), FFavorites(std::move(FavoritesFolder)), FOptions(Options),
      FTop(Gio::ListStore<TFavoriteNode>::create()) {
  // No folder stays no folder: "/" would list, and watch, the whole file system.
  if (!FFavorites.empty() && FFavorites.back() != '/') FFavorites += '/';
  FTreeModel = Gtk::TreeListModel::create(
      FTop,
      [](const Glib::RefPtr<Glib::ObjectBase>& Item) -> Glib::RefPtr<Gio::ListModel> {
        auto Node = std::dynamic_pointer_cast<TFavoriteNode>(Item);
        if (!Node || !(IsFolder(Node->Type) || Node->Type == TNodeType::ntRoot)) return {};
        return Node->Children();  // an unlisted folder: empty, but it shows an expander
      },
      false, false);
  FSelection = Gtk::SingleSelection::create(FTreeModel);
  FView.set_model(FSelection);
  SetupFactory();
  // One gesture and one key controller for the whole view, rather than one per row.
  FArrowClick = Gtk::GestureClick::create();
  FArrowClick->set_button(GDK_BUTTON_PRIMARY);
  FArrowClick->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  FArrowClick->signal_pressed().connect(sigc::mem_fun(*this, &TFavoritesTree::OnViewPressed));
  FView.add_controller(FArrowClick);
  FExpandKeys = Gtk::EventControllerKey::create();
  FExpandKeys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  FExpandKeys->signal_key_pressed().connect(
      [this](guint KeyVal, guint, Gdk::ModifierType State) { return OnViewKey(KeyVal, State); }, false);
  FView.add_controller(FExpandKeys);
  FView.signal_activate().connect([this](guint Position) { ActivateRow(Position); });
  set_child(FView);
  set_policy(Gtk::PolicyType::AUTOMATIC, Gtk::PolicyType::AUTOMATIC);
  set_vexpand(true);
}

TFavoritesTree::~TFavoritesTree() {
  FMonitor.reset();  // no change may reach a tree that is going
  FRefreshIdle.disconnect();
  // A shown tree unbinds its rows when the view goes, after our members: drop the factory
  // (its handlers reach FExpandWatch) while they are still here.
  FView.set_factory({});
  for (auto& [Item, Connection] : FExpandWatch) Connection.disconnect();
}

void TFavoritesTree::SetupFactory() {
  auto Factory = Gtk::SignalListItemFactory::create();
  Factory->signal_setup().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    Item->set_child(*Gtk::make_managed<TFavoriteRow>(FLook));
  });
  Factory->signal_bind().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto Row = std::dynamic_pointer_cast<Gtk::TreeListRow>(Item->get_item());
    auto* Widget = dynamic_cast<TFavoriteRow*>(Item->get_child());
    auto Node = Row ? std::dynamic_pointer_cast<TFavoriteNode>(Row->get_item()) : nullptr;
    if (!Widget || !Node) return;
    auto Image = ImageOf(Node->Type);  // before Bind: it also loads what all rows share
    Widget->Bind(Row, framework::LiteralLabel(Node->Caption), Image);
    // Expanding an unlisted folder lists it, the same way a double-click does.
    FExpandWatch[Item.get()] = Row->property_expanded().signal_changed().connect([this, Widget, Row] {
      Widget->ExpandedChanged();
      auto N = std::dynamic_pointer_cast<TFavoriteNode>(Row->get_item());
      if (Row->get_expanded() && N && N->Type == TNodeType::ntEmptyFolder) FillNode(N.get());
    });
  });
  Factory->signal_unbind().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    if (auto It = FExpandWatch.find(Item.get()); It != FExpandWatch.end()) {
      It->second.disconnect();
      FExpandWatch.erase(It);
    }
    if (auto* Widget = dynamic_cast<TFavoriteRow*>(Item->get_child())) Widget->Unbind();
  });
  FView.set_factory(Factory);
}

Glib::RefPtr<Gdk::Paintable> TFavoritesTree::ImageOf(TNodeType Type) {
  auto Theme = Gtk::IconTheme::get_for_display(FView.get_display());
  const int Scale = FView.get_scale_factor();
  if (!FLook->Text) {  // the first row shown: the view has its display and font by now
    FLook->Text = FView.get_pango_context();
    FLook->Collapsed = Theme->lookup_icon("pan-end-symbolic", TFavoriteRow::ImageSize, Scale);
    FLook->Expanded = Theme->lookup_icon("pan-down-symbolic", TFavoriteRow::ImageSize, Scale);
  }
  auto [It, Added] = FImages.try_emplace(Type);
  if (Added)
    if (auto Icon = OnGetImage ? OnGetImage(Type) : nullptr)
      It->second = Theme->lookup_icon(Icon, TFavoriteRow::ImageSize, Scale);
  return It->second;
}

void TFavoritesTree::OnViewPressed(int, double X, double Y) {
  Gtk::Widget* Hit = FView.pick(X, Y);
  while (Hit && Hit != &FView && !dynamic_cast<TFavoriteRow*>(Hit)) Hit = Hit->get_parent();
  auto* Widget = dynamic_cast<TFavoriteRow*>(Hit);
  double RowX = 0, RowY = 0;
  if (!Widget || !FView.translate_coordinates(*Widget, X, Y, RowX, RowY) || !Widget->OnArrow(RowX)) return;
  FArrowClick->set_state(Gtk::EventSequenceState::CLAIMED);
  const auto& Row = Widget->Row();
  Row->set_expanded(!Row->get_expanded());
}

bool TFavoritesTree::OnViewKey(guint KeyVal, Gdk::ModifierType State) {
  if ((State & (Gdk::ModifierType::CONTROL_MASK | Gdk::ModifierType::ALT_MASK)) != Gdk::ModifierType{}) return false;
  bool Expand;
  switch (KeyVal) {
    case GDK_KEY_Right: case GDK_KEY_plus: case GDK_KEY_KP_Add: case GDK_KEY_asterisk: case GDK_KEY_KP_Multiply:
      Expand = true;
      break;
    case GDK_KEY_Left: case GDK_KEY_minus: case GDK_KEY_KP_Subtract: case GDK_KEY_slash: case GDK_KEY_KP_Divide:
      Expand = false;
      break;
    default: return false;
  }
  auto Row = FTreeModel->get_row(FSelection->get_selected());
  if (!Row || !Row->is_expandable()) return false;
  Row->set_expanded(Expand);
  return true;
}

Glib::RefPtr<Gio::ListStore<TFavoriteNode>> TFavoritesTree::StoreOf(TFavoriteNode* Node) const {
  return Node ? Node->Children() : FTop;
}

Glib::RefPtr<TFavoriteNode> TFavoritesTree::AddFavoriteNode(TFavoriteNode* Parent, std::string Caption,
                                                            std::string FileName, TNodeType Type) {
  auto Node = TFavoriteNode::create(std::move(Caption), std::move(FileName), Type, Parent);
  StoreOf(Parent)->append(Node);
  if (OnNodeAdded) OnNodeAdded(*Node);
  return Node;
}

void TFavoritesTree::WatchFavorites() {
  if (FMonitor || !WatchChanges || FFavorites.empty()) return;
  // A folder that cannot be watched still gives a tree; it only stays as it is.
  try {
    std::string Path = FFavorites.size() > 1 ? FFavorites.substr(0, FFavorites.size() - 1) : FFavorites;
    // The subfolders' watches are added off the UI thread; the one callback that ends
    // that walk merges anything changed meanwhile, like any other change.
    FMonitor = std::make_unique<TDIRMonitor>(
        Path, [this](TDIRMonitor&) {
          if (OnFavoritesChanged) OnFavoritesChanged();
        },
        true, TSubfolderWatches::AddedInBackground);
  } catch (const std::exception& E) {
    std::cerr << "vorlane: the Favorites folder is not watched: " << E.what() << "\n";
  }
}

bool TFavoritesTree::HasTopFor(std::uint8_t Options) const {
  if (FTop->get_n_items() == 0) return false;  // never loaded
  auto Store = FTop;
  const bool HasRoot = FTop->get_item(0)->Type == TNodeType::ntRoot;
  if (HasRoot != bool(Options & foShowRoot)) return false;
  if (HasRoot) Store = FTop->get_item(0)->Children();
  std::vector<TNodeType> Commands;
  if (Options & foShowOrganize) Commands.push_back(TNodeType::ntOrganizeFavorites);
  if (Options & foShowImport) Commands.push_back(TNodeType::ntImportFavorites);
  if (Options & foShowExport) Commands.push_back(TNodeType::ntExportFavorites);
  for (unsigned I = 0; I <= Commands.size() && I < Store->get_n_items(); ++I)
    if (I == Commands.size() ? IsCommand(Store->get_item(I)->Type) : Store->get_item(I)->Type != Commands[I])
      return false;
  return Store->get_n_items() >= Commands.size();
}

void TFavoritesTree::ReloadFavorites() {
  WatchFavorites();
  TFavoriteNode* Root = nullptr;
  if (HasTopFor(FOptions)) {
    // The same root and commands: merge the top level in place and close every folder.
    // The result is the rebuilt tree's, but rows that stay are not made again.
    if (FOptions & foShowRoot) {
      Root = FTop->get_item(0).get();
      if (auto Row = FTreeModel->get_row(0)) Row->set_expanded(true);
    }
    return RefreshNode(Root, TRefresh::UnlistFolders);
  }
  FTop->remove_all();
  Glib::RefPtr<TFavoriteNode> RootRef;
  if (FOptions & foShowRoot) Root = (RootRef = AddFavoriteNode(nullptr, "收藏夹", {}, TNodeType::ntRoot)).get();
  if (FOptions & foShowOrganize) AddFavoriteNode(Root, "整理收藏夹", {}, TNodeType::ntOrganizeFavorites);
  if (FOptions & foShowImport) AddFavoriteNode(Root, "导入收藏夹", {}, TNodeType::ntImportFavorites);
  if (FOptions & foShowExport) AddFavoriteNode(Root, "导出收藏夹", {}, TNodeType::ntExportFavorites);
  if (Root)
    if (auto Row = FTreeModel->get_row(0)) Row->set_expanded(true);
  FillNode(Root);
}

void TFavoritesTree::FillNode(TFavoriteNode* Node) {
  if (Node && Node->Type == TNodeType::ntFolder) return;  // each folder is listed once
  const TFavoritesListing L = FFavorites.empty() ? TFavoritesListing{} : ListFavoritesFolder(NodePath(Node));
  std::vector<Glib::RefPtr<TFavoriteNode>> Nodes;
  Nodes.reserve(L.Folders.size() + L.Shortcuts.size());
  for (const std::string& Name : L.Folders)
    Nodes.push_back(TFavoriteNode::create(Name, Name, TNodeType::ntEmptyFolder, Node));
  if (FOptions & foShowItems)
    for (const std::string& Name : L.Shortcuts)
      Nodes.push_back(TFavoriteNode::create(FavoriteTitle(Name), Name, TNodeType::ntItem, Node));
  // One change for the whole level: the tree model and the list view react once, not per row.
  auto Store = StoreOf(Node);
  Store->splice(Store->get_n_items(), 0, Nodes);
  if (OnNodeAdded)
    for (const auto& N : Nodes) OnNodeAdded(*N);
  if (Node && Node->Type == TNodeType::ntEmptyFolder) {
    Node->Type = TNodeType::ntFolder;
    if (auto Row = RowOf(Node)) Row->set_expanded(true);
  }
}

std::string TFavoritesTree::NodePath(const TFavoriteNode* Node) const {
  if (!Node || Node->Type == TNodeType::ntRoot) return FFavorites;
  if (Node->Type == TNodeType::ntItem) return NodePath(Node->Parent) + Node->FileName;
  if (IsFolder(Node->Type)) return NodePath(Node->Parent) + Node->FileName + "/";
  return {};
}

TFavoriteNode* TFavoritesTree::NodeAt(unsigned Position) const {
  auto Row = FTreeModel->get_row(Position);
  return Row ? dynamic_cast<TFavoriteNode*>(Row->get_item().get()) : nullptr;
}

Glib::RefPtr<Gtk::TreeListRow> TFavoritesTree::RowOf(const TFavoriteNode* Node) const {
  for (unsigned I = 0; I < FTreeModel->get_n_items(); ++I)
    if (NodeAt(I) == Node) return FTreeModel->get_row(I);
  return {};
}

std::optional<unsigned> TFavoritesTree::Reveal(const std::string& Item) {
  if (FTop->get_n_items() == 0) return std::nullopt;  // never loaded
  TFavoriteNode* Node = (FOptions & foShowRoot) ? FTop->get_item(0).get() : nullptr;
  for (std::size_t Start = 0; !Item.empty() && Start <= Item.size();) {
    const std::size_t End = std::min(Item.find('/', Start), Item.size());
    const std::string Name = Item.substr(Start, End - Start);
    Start = End + 1;
    if (Node) {  // its children become rows only while it is expanded
      if (Node->Type == TNodeType::ntEmptyFolder) FillNode(Node);
      auto Row = RowOf(Node);
      if (!Row) return std::nullopt;
      Row->set_expanded(true);
    }
    auto Store = StoreOf(Node);
    TFavoriteNode* Next = nullptr;
    for (unsigned I = 0; I < Store->get_n_items() && !Next; ++I)
      if (auto C = Store->get_item(I); !IsCommand(C->Type) && C->FileName == Name) Next = C.get();
    if (!Next) return std::nullopt;
    Node = Next;
  }
  auto Row = Node ? RowOf(Node) : nullptr;
  if (!Row) return std::nullopt;
  return Row->get_position();
}

void TFavoritesTree::RemoveNode(TFavoriteNode* Node) {
  auto Store = StoreOf(Node->Parent);
  for (unsigned I = 0; I < Store->get_n_items(); ++I)
    if (Store->get_item(I).get() == Node) return Store->remove(I);
}

void TFavoritesTree::ActivateRow(unsigned Position) {
  Glib::RefPtr<TFavoriteNode> Node;
  if (auto Row = FTreeModel->get_row(Position)) Node = std::dynamic_pointer_cast<TFavoriteNode>(Row->get_item());
  if (!Node) return;
  FSelection->set_selected(Position);
  std::error_code Ec;
  const std::string Path = NodePath(Node.get());
  const bool Missing = Node->Type == TNodeType::ntItem ? !fs::is_regular_file(Path, Ec)
                       : IsFolder(Node->Type)        ? !fs::is_directory(Path, Ec)
                                                     : false;
  if (Missing) {
    if (OnNodeMissing) OnNodeMissing(*Node);
    return RemoveNode(Node.get());
  }
  switch (Node->Type) {
    case TNodeType::ntItem: {
      const std::string Url = ReadShortcutUrl(Path, TResolveUrl::IntShCut);
      if (Url.empty()) return;  // nothing to open
      if (OnNavigate) OnNavigate(Url);
      if (ILinkedBrowser* B = BrowserControl ? BrowserControl() : nullptr) B->Navigate(Url);
      break;
    }
    case TNodeType::ntEmptyFolder: FillNode(Node.get()); break;
    case TNodeType::ntOrganizeFavorites:
      if (OnOrganize) OnOrganize([this] { ReloadFavorites(); });
      else ReloadFavorites();
      break;
    case TNodeType::ntImportFavorites: Transfer.Import([this] { ReloadFavorites(); }); break;
    case TNodeType::ntExportFavorites: Transfer.Export({}); break;
    default: break;
  }
}

void TFavoritesTree::ScheduleRefresh() {
  if (FRefreshIdle.connected()) return;
  FRefreshIdle = Glib::signal_idle().connect([this] {
    Refresh();
    return false;
  });
}

void TFavoritesTree::Refresh() {
  if (FTop->get_n_items() == 0) return;  // never loaded
  RefreshNode((FOptions & foShowRoot) ? FTop->get_item(0).get() : nullptr);
}

void TFavoritesTree::Unlist(TFavoriteNode* Node, const Glib::RefPtr<Gtk::TreeListRow>& Row) {
  if (Row) Row->set_expanded(false);
  Node->Children()->remove_all();
  Node->Type = TNodeType::ntEmptyFolder;
}

void TFavoritesTree::RefreshNode(TFavoriteNode* Node, TRefresh How) {
  // Merge the folder's listing into its children in place: kept nodes keep their rows,
  // so expansion and selection survive.
  struct TWant { std::string Name; bool Folder; };
  std::vector<TWant> Want;
  const TFavoritesListing L = FFavorites.empty() ? TFavoritesListing{} : ListFavoritesFolder(NodePath(Node));
  for (const std::string& N : L.Folders) Want.push_back({N, true});
  if (FOptions & foShowItems)
    for (const std::string& N : L.Shortcuts) Want.push_back({N, false});
  auto Store = StoreOf(Node);
  auto Matches = [](const TFavoriteNode& C, const TWant& W) {
    return C.FileName == W.Name && IsFolder(C.Type) == W.Folder;
  };
  // New nodes go in by runs, one change each: a thousand imported favorites must not
  // make the list view react a thousand times.
  std::vector<Glib::RefPtr<TFavoriteNode>> Added;
  unsigned I = 0;
  auto InsertAdded = [&] {
    if (Added.empty()) return;
    Store->splice(I, 0, Added);
    I += Added.size();
    if (OnNodeAdded)
      for (const auto& N : Added) OnNodeAdded(*N);
    Added.clear();
  };
  // Only a reload closes rows; the parent's row finds its children's without a search.
  Glib::RefPtr<Gtk::TreeListRow> ParentRow;
  if (How == TRefresh::UnlistFolders && Node) ParentRow = RowOf(Node);
  std::size_t J = 0;
  while (I < Store->get_n_items() || J < Want.size()) {
    auto C = I < Store->get_n_items() ? Store->get_item(I) : Glib::RefPtr<TFavoriteNode>();
    if (C && IsCommand(C->Type)) { ++I; continue; }
    if (C && J < Want.size() && Matches(*C, Want[J])) {
      InsertAdded();
      if (How == TRefresh::UnlistFolders && C->Type == TNodeType::ntFolder)
        Unlist(C.get(), ParentRow ? ParentRow->get_child_row(I) : Node ? nullptr : FTreeModel->get_child_row(I));
      else if (C->Type == TNodeType::ntFolder) RefreshNode(C.get(), How);
      ++I, ++J;
      continue;
    }
    bool Later = false;
    for (std::size_t K = J; C && K < Want.size() && !Later; ++K) Later = Matches(*C, Want[K]);
    if (C && !Later) { Store->remove(I); continue; }
    const TWant& W = Want[J++];
    Added.push_back(TFavoriteNode::create(W.Folder ? W.Name : FavoriteTitle(W.Name), W.Name,
                                          W.Folder ? TNodeType::ntEmptyFolder : TNodeType::ntItem, Node));
  }
  InsertAdded();
}

}  // namespace vorlane::favorites
