#include "favorites/FavoriteFolderChooser.h"

#include <gtkmm/label.h>
#include <gtkmm/signallistitemfactory.h>
#include <gtkmm/treeexpander.h>

#include "favorites/FolderListing.h"
#include "framework/LiteralLabel.h"

namespace vorlane::favorites {

TFolderNode::TFolderNode(std::string Name, std::string Path)
    : Glib::ObjectBase(typeid(TFolderNode)), Name(std::move(Name)), Path(std::move(Path)),
      Children(Gio::ListStore<TFolderNode>::create()) {}

Glib::RefPtr<TFolderNode> TFolderNode::create(std::string Name, std::string Path) {
  return Glib::make_refptr_for_instance(new TFolderNode(std::move(Name), std::move(Path)));
}

TFavoriteFolderChooser::TFavoriteFolderChooser(const std::string& Root) : FTop(Gio::ListStore<TFolderNode>::create()) {
  std::string Path = Root;
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  auto Top = TFolderNode::create("收藏夹", Path);
  FTop->append(Top);
  FModel = Gtk::TreeListModel::create(
      FTop,
      [](const Glib::RefPtr<Glib::ObjectBase>& Item) -> Glib::RefPtr<Gio::ListModel> {
        auto Node = std::dynamic_pointer_cast<TFolderNode>(Item);
        return Node ? Node->Children : nullptr;  // every folder may hold folders
      },
      false, false);
  FSelection = Gtk::SingleSelection::create(FModel);
  FView.set_model(FSelection);

  auto Factory = Gtk::SignalListItemFactory::create();
  Factory->signal_setup().connect([](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto* Expander = Gtk::make_managed<Gtk::TreeExpander>();
    auto* Label = Gtk::make_managed<Gtk::Label>();
    Label->set_halign(Gtk::Align::START);
    Label->set_use_markup(false);
    Label->set_use_underline(false);
    Expander->set_child(*Label);
    Item->set_child(*Expander);
  });
  Factory->signal_bind().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    auto Row = std::dynamic_pointer_cast<Gtk::TreeListRow>(Item->get_item());
    auto* Expander = dynamic_cast<Gtk::TreeExpander*>(Item->get_child());
    auto Node = Row ? std::dynamic_pointer_cast<TFolderNode>(Row->get_item()) : nullptr;
    if (!Expander || !Node) return;
    Expander->set_list_row(Row);
    if (auto* Label = dynamic_cast<Gtk::Label*>(Expander->get_child()))
      Label->set_text(framework::LiteralLabel(Node->Name));  // a name from disk
    FExpandWatch[Item.get()] = Row->property_expanded().signal_changed().connect([this, Row] {
      if (!Row->get_expanded()) return;
      if (auto N = std::dynamic_pointer_cast<TFolderNode>(Row->get_item())) List(N);
    });
  });
  Factory->signal_unbind().connect([this](const Glib::RefPtr<Gtk::ListItem>& Item) {
    if (auto It = FExpandWatch.find(Item.get()); It != FExpandWatch.end()) {
      It->second.disconnect();
      FExpandWatch.erase(It);
    }
  });
  FView.set_factory(Factory);
  set_child(FView);
  set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
  set_min_content_height(200);
  set_vexpand(true);

  List(Top);
  if (auto Row = FModel->get_row(0)) Row->set_expanded(true);
  FSelection->set_selected(0);
}

TFavoriteFolderChooser::~TFavoriteFolderChooser() {
  FView.set_factory({});  // its handlers reach FExpandWatch
  for (auto& [Item, Connection] : FExpandWatch) Connection.disconnect();
}

void TFavoriteFolderChooser::List(const Glib::RefPtr<TFolderNode>& Node) {
  if (Node->Asked) return;
  Node->Asked = true;
  ++FListing;
  std::weak_ptr<int> Alive = FAlive;
  ListSubfoldersInBackground(Node->Path, [this, Alive, Node](std::vector<std::string> Names) {
    if (Alive.expired()) return;  // the dialog closed while the disk was read
    --FListing;
    std::vector<Glib::RefPtr<TFolderNode>> Nodes;
    Nodes.reserve(Names.size());
    for (std::string& Name : Names) Nodes.push_back(TFolderNode::create(Name, Node->Path + "/" + Name));
    Node->Children->splice(0, 0, Nodes);
  });
}

TFolderNode* TFavoriteFolderChooser::NodeAt(unsigned Position) const {
  auto Row = FModel->get_row(Position);
  return Row ? dynamic_cast<TFolderNode*>(Row->get_item().get()) : nullptr;
}

std::string TFavoriteFolderChooser::PathAt(unsigned Position) const {
  const TFolderNode* Node = NodeAt(Position);
  return Node ? Node->Path : std::string();
}

std::string TFavoriteFolderChooser::Selected() const {
  const TFolderNode* Node = NodeAt(FSelection->get_selected());
  return Node ? Node->Path : FTop->get_item(0)->Path;
}

void TFavoriteFolderChooser::Expand(unsigned Position) {
  auto Row = FModel->get_row(Position);
  if (!Row) return;
  Row->set_expanded(true);
  if (auto Node = std::dynamic_pointer_cast<TFolderNode>(Row->get_item())) List(Node);
}

}  // namespace vorlane::favorites
