#include "favorites/OrganizeFavoritesDialog.h"

#include <glibmm/main.h>
#include <gtkmm/frame.h>
#include <gtkmm/grid.h>
#include <gtkmm/shortcutcontroller.h>

#include <filesystem>

#include "favorites/IEUtils.h"
#include "framework/LiteralLabel.h"

namespace vorlane::favorites {

namespace {
constexpr const char* Caption = "整理收藏夹";

bool IsUsableFolder(const std::string& Path) {
  std::error_code Ec;
  return !Path.empty() && std::filesystem::is_directory(Path, Ec);
}

Glib::RefPtr<Gtk::SingleSelection> SelectionOf(TFavoritesTree& Tree) {
  return std::dynamic_pointer_cast<Gtk::SingleSelection>(Tree.View().get_model());
}

TFavoriteNode* SelectedNode(TFavoritesTree& Tree) {
  auto Selection = SelectionOf(Tree);
  const guint Position = Selection ? Selection->get_selected() : GTK_INVALID_LIST_POSITION;
  return Position == GTK_INVALID_LIST_POSITION ? nullptr : Tree.NodeAt(Position);
}

void AddKey(Gtk::Widget& W, guint Key, std::function<void()> Run) {
  auto Controller = Gtk::ShortcutController::create();
  Controller->set_scope(Gtk::ShortcutScope::LOCAL);
  Controller->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(Key),
                                                 Gtk::CallbackAction::create([Run](Gtk::Widget&, const Glib::VariantBase&) {
                                                   Run();
                                                   return true;
                                                 })));
  W.add_controller(Controller);
}
}  // namespace

TOrganizeFavoritesDialog::TOrganizeFavoritesDialog(Gtk::Window& Parent, platform::IDialogs* Dialogs,
                                                   const std::string& Favorites)
    : FOrg(Favorites), FOwnDialogs(*this), FDialogs(Dialogs ? *Dialogs : FOwnDialogs),
      FUsable(!Favorites.empty() && IsUsableFolder(FOrg.Root())),
      FTree(FDialogs, FOrg.Root(), foShowRoot | foShowItems) {
  set_title(Caption);
  set_transient_for(Parent);
  set_default_size(620, 420);

  FCreate.set_label("创建文件夹(_C)");
  FRename.set_label("重命名(_R)");
  FMove.set_label("移动到文件夹(_M)...");
  FDelete.set_label("删除(_D)");
  FClose.set_label("关闭");
  for (Gtk::Button* B : {&FCreate, &FRename, &FDelete}) B->set_use_underline(true);
  FMove.set_use_underline(true);
  FMove.set_always_show_arrow(false);

  auto* Buttons = Gtk::make_managed<Gtk::Grid>();
  Buttons->set_row_spacing(6);
  Buttons->set_column_spacing(6);
  Buttons->set_column_homogeneous(true);
  Buttons->attach(FCreate, 0, 0);
  Buttons->attach(FRename, 1, 0);
  Buttons->attach(FMove, 0, 1);
  Buttons->attach(FDelete, 1, 1);
  FSide.append(*Buttons);

  // The selected item's name and address, shown as they are (they come from files).
  auto* Details = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
  Details->set_margin(8);
  for (Gtk::Label* L : {&FName, &FAddress}) {
    L->set_halign(Gtk::Align::START);
    L->set_xalign(0);
    L->set_wrap(true);
    L->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    L->set_max_width_chars(32);
    L->set_selectable(true);
    L->set_use_markup(false);
    L->set_use_underline(false);
  }
  Details->append(FName);
  Details->append(FAddress);
  auto* Frame = Gtk::make_managed<Gtk::Frame>();
  Frame->set_child(*Details);
  Frame->set_vexpand(true);
  FSide.append(*Frame);

  FTree.set_hexpand(true);
  FTree.set_size_request(300, -1);
  FMain.append(FTree);
  FMain.append(FSide);
  FMain.set_vexpand(true);
  FClose.set_halign(Gtk::Align::END);
  FLayout.set_margin(12);
  FLayout.append(FMain);
  FLayout.append(FClose);
  set_child(FLayout);

  BuildMovePopover();
  FCreate.signal_clicked().connect([this] { CreateFolderClick(); });
  FRename.signal_clicked().connect([this] { RenameClick(); });
  FDelete.signal_clicked().connect([this] { DeleteClick(); });
  FClose.signal_clicked().connect([this] { Close(); });
  signal_close_request().connect([this] { Close(); return true; }, false);
  AddKey(*this, GDK_KEY_Escape, [this] { Close(); });
  AddKey(FTree, GDK_KEY_F2, [this] { RenameClick(); });
  AddKey(FTree, GDK_KEY_Delete, [this] { DeleteClick(); });

  // Another program's changes show as they happen; the folders stay as they were expanded.
  FTree.OnFavoritesChanged = [this] { FTree.ScheduleRefresh(); };
  if (auto Selection = SelectionOf(FTree)) Selection->property_selected().signal_changed().connect([this] { UpdateDetails(); });
  if (FUsable) {
    FTree.ReloadFavorites();
    Select("");
  }
  UpdateDetails();
}

TOrganizeFavoritesDialog::~TOrganizeFavoritesDialog() = default;

void TOrganizeFavoritesDialog::BuildMovePopover() {
  // Only the folders of the Favorites tree: nothing else can be a destination.
  FFolders = std::make_unique<TFavoritesTree>(FDialogs, FOrg.Root(), foShowRoot);
  FFolders->WatchChanges = false;  // listed afresh each time it shows; FTree watches for the dialog
  FFolders->set_size_request(260, 300);
  auto* Box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
  Box->append(*Gtk::make_managed<Gtk::Label>("移动到:", Gtk::Align::START));
  Box->append(*FFolders);
  auto* Ok = Gtk::make_managed<Gtk::Button>("移动");
  Ok->set_halign(Gtk::Align::END);
  Box->append(*Ok);
  FMovePopover.set_child(*Box);
  FMove.set_popover(FMovePopover);
  FMovePopover.signal_show().connect([this] {
    if (FUsable) FFolders->ReloadFavorites();
  });
  auto Choose = [this] {
    TFavoriteNode* Node = SelectedNode(*FFolders);
    if (!Node) return;
    FMovePopover.popdown();
    MoveTo(ItemOf(Node));
  };
  Ok->signal_clicked().connect(Choose);
}

std::string TOrganizeFavoritesDialog::ItemOf(const TFavoriteNode* Node) const {
  std::string Path = FTree.NodePath(Node);
  const std::string Prefix = FOrg.Root() + "/";
  if (Path.compare(0, Prefix.size(), Prefix) != 0) return {};
  Path.erase(0, Prefix.size());
  if (!Path.empty() && Path.back() == '/') Path.pop_back();
  return Path;
}

std::optional<std::string> TOrganizeFavoritesDialog::SelectedItem() const {
  const TFavoriteNode* Node = SelectedNode(const_cast<TFavoritesTree&>(FTree));
  if (!Node) return std::nullopt;
  return ItemOf(Node);
}

bool TOrganizeFavoritesDialog::Select(const std::string& Item) {
  // By path, not among the rows shown: the item may sit in a folder closed meanwhile.
  const auto Position = FTree.Reveal(Item);
  if (!Position) return false;
  SelectionOf(FTree)->set_selected(*Position);
  UpdateDetails();
  return true;
}

void TOrganizeFavoritesDialog::UpdateDetails() {
  const auto Item = SelectedItem();
  const bool Movable = FUsable && Item && !Item->empty();
  FRename.set_sensitive(Movable);
  FMove.set_sensitive(Movable);
  FDelete.set_sensitive(Movable);
  FCreate.set_sensitive(FUsable);
  if (!FUsable) {
    FName.set_text("无法打开收藏夹。");
    FAddress.set_text({});
    return;
  }
  if (!Item) {
    FName.set_text("选择一个文件夹或收藏，然后用上面的按钮整理。");
    FAddress.set_text({});
    return;
  }
  FName.set_text(framework::LiteralLabel(Item->empty() ? "收藏夹" : TOrganizeFavorites::DisplayName(*Item)));
  const std::string Address = FOrg.AddressOf(*Item);
  FAddress.set_text(Address.empty() ? std::string() : framework::LiteralLabel(Address));
}

void TOrganizeFavoritesDialog::ShowError(const std::string& Text) {
  FDialogs.ShowMessage(platform::MessageKind::Error, Caption, Text);
}

void TOrganizeFavoritesDialog::Apply(std::function<TOrganizeResult(bool Replace)> Operation,
                                     std::function<void(const std::string&)> After) {
  const TOrganizeResult R = Operation(false);
  if (R.Status == TOrganizeStatus::Conflict) {
    std::weak_ptr<int> Alive = FAlive;
    FDialogs.ShowMessage(platform::MessageKind::Confirmation, Caption, R.Message, platform::MessageButtons::YesNo,
                         [this, Alive, Operation, After](platform::MessageResult Answer) {
                           if (Alive.expired() || Answer != platform::MessageResult::Yes) return;
                           const TOrganizeResult Again = Operation(true);
                           if (!Again.Ok()) return ShowError(Again.Message);
                           Finished(Again.Item);
                           if (After) After(Again.Item);
                         });
    return;
  }
  if (!R.Ok()) return ShowError(R.Message);
  Finished(R.Item);
  if (After) After(R.Item);
}

void TOrganizeFavoritesDialog::Finished(const std::string& Item) {
  FTree.Refresh();
  // The item's folder may not be listed (a move into a closed folder): select the folder.
  if (!Select(Item)) Select(ParentOf(Item));
}

void TOrganizeFavoritesDialog::CreateFolderClick() {
  if (!FUsable) return;
  const auto Item = SelectedItem();
  std::string Folder;
  if (Item) {
    // Inside the selected folder, or beside the selected favorite.
    TFavoriteNode* Node = SelectedNode(FTree);
    Folder = Node->Type == TNodeType::ntItem ? ParentOf(*Item) : *Item;
    if (Node->Type == TNodeType::ntEmptyFolder) FTree.FillNode(Node);  // listed and opened, to show the new one
  }
  const TOrganizeResult R = FOrg.NewFolder(Folder);
  if (!R.Ok()) return ShowError(R.Message);
  Finished(R.Item);
  // Named at once, as a new folder usually is; cancelling keeps the default name.
  RenameClick();
}

void TOrganizeFavoritesDialog::RenameClick() {
  const auto Item = SelectedItem();
  if (!FUsable || !Item || Item->empty()) return;
  std::weak_ptr<int> Alive = FAlive;
  FDialogs.InputBox("重命名", "新名称:", ShownFileName(TOrganizeFavorites::DisplayName(*Item)),
                    [this, Alive, Item = *Item](std::optional<std::string> Name) {
                      if (Alive.expired() || !Name) return;
                      Apply([this, Item, Name = *Name](bool Replace) { return FOrg.Rename(Item, Name, Replace); });
                    });
}

void TOrganizeFavoritesDialog::MoveTo(const std::string& Folder) {
  const auto Item = SelectedItem();
  if (!FUsable || !Item || Item->empty()) return;
  Apply([this, Item = *Item, Folder](bool Replace) { return FOrg.Move(Item, Folder, Replace); });
}

void TOrganizeFavoritesDialog::DeleteClick() {
  const auto Item = SelectedItem();
  if (!FUsable || !Item || Item->empty()) return;
  std::weak_ptr<int> Alive = FAlive;
  const std::string Name = ShownFileName(TOrganizeFavorites::DisplayName(*Item));
  const bool Folder = SelectedNode(FTree)->Type != TNodeType::ntItem;
  FDialogs.ShowMessage(platform::MessageKind::Confirmation, Caption,
                       Folder ? "确实要删除文件夹「" + Name + "」及其中的全部内容吗？\n它们将被移到回收站。"
                              : "确实要删除「" + Name + "」吗？\n它将被移到回收站。",
                       platform::MessageButtons::YesNo, [this, Alive, Item = *Item](platform::MessageResult Answer) {
                         if (Alive.expired() || Answer != platform::MessageResult::Yes) return;
                         const TOrganizeResult R = FOrg.Trash(Item);
                         if (!R.Ok()) return ShowError(R.Message);
                         FTree.Refresh();
                         Select(ParentOf(Item));
                       });
}

void TOrganizeFavoritesDialog::AddDone(std::function<void()> Done) {
  if (Done) FDone.push_back(std::move(Done));
}

void TOrganizeFavoritesDialog::Close() {
  if (!get_visible()) return;
  FMovePopover.popdown();
  set_visible(false);
  FTree.StopWatching();  // a closed dialog has nothing to show changes in
  auto Done = std::move(FDone);
  FDone.clear();
  for (auto& D : Done) D();
  if (OnClosed) OnClosed();
}

TOrganizeFavoritesCommand::~TOrganizeFavoritesCommand() { FReap.disconnect(); }

void TOrganizeFavoritesCommand::Execute(Gtk::Window& Parent, platform::IDialogs* Dialogs, const std::string& Favorites,
                                        std::function<void()> Done) {
  if (FDialog && FDialog->get_visible()) {
    FDialog->AddDone(std::move(Done));
    return FDialog->present();
  }
  FReap.disconnect();
  FDialog = std::make_unique<TOrganizeFavoritesDialog>(Parent, Dialogs, Favorites);
  FDialog->AddDone(std::move(Done));
  // Freed once the close event is over: a window must not go inside its own handler.
  FDialog->OnClosed = [this] {
    FReap = Glib::signal_idle().connect([this] {
      FDialog.reset();
      return false;
    });
  };
  FDialog->present();
}

}  // namespace vorlane::favorites
