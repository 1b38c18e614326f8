#include "favorites/AddFavoriteDialog.h"

#include <glibmm/main.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dropdown.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/stringlist.h>

#include <filesystem>

#include "favorites/IEUtils.h"
#include "framework/LiteralLabel.h"

namespace vorlane::favorites {

namespace {
// Every folder below Favorites, depth first, as (shown name, path).
void CollectFolders(const std::string& Path, const std::string& Shown, std::vector<std::pair<std::string, std::string>>& Out) {
  if (Out.size() >= 5000) return;  // a pathological tree must not freeze the dialog
  for (const std::string& Name : ListFavoritesFolder(Path).Folders) {
    Out.push_back({Shown + Name, Path + "/" + Name});
    CollectFolders(Path + "/" + Name, Shown + Name + " / ", Out);
  }
}
}  // namespace

void ShowAddFavoriteDialog(Gtk::Window& Parent, platform::IDialogs& Dialogs, const std::string& Favorites,
                           const TPageSnapshot& Page, std::function<void()> Added) {
  std::string Root = Favorites;
  while (Root.size() > 1 && Root.back() == '/') Root.pop_back();
  auto Folders = std::make_shared<std::vector<std::pair<std::string, std::string>>>();
  Folders->push_back({"收藏夹", Root});
  CollectFolders(Root, "", *Folders);

  auto* Win = new Gtk::Window;
  Win->set_title("添加收藏");
  Win->set_transient_for(Parent);
  Win->set_modal(true);
  Win->set_default_size(360, -1);
  auto* Box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
  Box->set_margin(12);
  Box->append(*Gtk::make_managed<Gtk::Label>("名称:", Gtk::Align::START));
  auto* Name = Gtk::make_managed<Gtk::Entry>();
  const std::string File = FavoriteFileName(Page.Title, Page.Url);
  Name->set_text(File.empty() ? std::string() : File.substr(0, File.size() - 4));
  Box->append(*Name);
  Box->append(*Gtk::make_managed<Gtk::Label>("创建到:", Gtk::Align::START));
  std::vector<Glib::ustring> Shown;
  for (auto& F : *Folders) Shown.push_back(framework::LiteralLabel(F.first));
  auto* Folder = Gtk::make_managed<Gtk::DropDown>(Gtk::StringList::create(Shown));
  Box->append(*Folder);
  auto* Buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  Buttons->set_halign(Gtk::Align::END);
  auto* Ok = Gtk::make_managed<Gtk::Button>("确定");
  auto* Cancel = Gtk::make_managed<Gtk::Button>("取消");
  Buttons->append(*Ok);
  Buttons->append(*Cancel);
  Box->append(*Buttons);
  Win->set_child(*Box);

  auto Close = [Win] {
    Win->set_visible(false);
    Glib::signal_idle().connect_once([Win] { delete Win; });
  };
  auto Accept = [&Dialogs, Root, Page, Folders, Name, Folder, Added, Close] {
    const std::string Target = (*Folders)[std::min<std::size_t>(Folder->get_selected(), Folders->size() - 1)].second;
    const std::string Text = Name->get_text();
    Close();
    SaveFavorite(Dialogs, Root, Target, Text, Page.Url, [Added](bool Written) {
      if (Written && Added) Added();
    });
  };
  Ok->signal_clicked().connect(Accept);
  Name->signal_activate().connect(Accept);
  Cancel->signal_clicked().connect(Close);
  Win->signal_close_request().connect([Close] { Close(); return true; }, false);
  Win->present();
}

}  // namespace vorlane::favorites
