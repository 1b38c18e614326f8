#include "favorites/AddFavoriteDialog.h"

#include <glibmm/main.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>

namespace vorlane::favorites {

namespace {
std::string WithoutTrailingSlash(std::string Path) {
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  return Path;
}
}  // namespace

TAddFavoriteDialog::TAddFavoriteDialog(Gtk::Window& Parent, platform::IDialogs& Dialogs, const std::string& Favorites,
                                       const TPageSnapshot& Page, std::function<void()> Added)
    : FDialogs(Dialogs), FRoot(WithoutTrailingSlash(Favorites)), FPage(Page), FAdded(std::move(Added)),
      FFolders(FRoot) {
  set_title("添加收藏");
  set_transient_for(Parent);
  set_modal(true);
  set_default_size(360, -1);
  auto* Box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
  Box->set_margin(12);
  Box->append(*Gtk::make_managed<Gtk::Label>("名称:", Gtk::Align::START));
  const std::string File = FavoriteFileName(Page.Title, Page.Url);
  FName.set_text(File.empty() ? std::string() : File.substr(0, File.size() - 4));
  Box->append(FName);
  Box->append(*Gtk::make_managed<Gtk::Label>("创建到:", Gtk::Align::START));
  Box->append(FFolders);
  auto* Buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  Buttons->set_halign(Gtk::Align::END);
  auto* Ok = Gtk::make_managed<Gtk::Button>("确定");
  auto* Cancel = Gtk::make_managed<Gtk::Button>("取消");
  Buttons->append(*Ok);
  Buttons->append(*Cancel);
  Box->append(*Buttons);
  set_child(*Box);

  Ok->signal_clicked().connect([this] { Accept(); });
  FName.signal_activate().connect([this] { Accept(); });
  Cancel->signal_clicked().connect([this] { Close(); });
  signal_close_request().connect([this] { Close(); return true; }, false);
}

void TAddFavoriteDialog::Accept() {
  if (FClosed) return;
  const std::string Target = FFolders.Selected(), Text = FName.get_text();
  // Nothing of the dialog is needed from here on: it may be freed before the answer to a
  // question about replacing comes.
  platform::IDialogs& Dialogs = FDialogs;
  const std::string Root = FRoot, Url = FPage.Url;
  auto Added = FAdded;
  Close();
  SaveFavorite(Dialogs, Root, Target, Text, Url, [Added](bool Written) {
    if (Written && Added) Added();
  });
}

void TAddFavoriteDialog::Close() {
  if (FClosed) return;
  FClosed = true;
  set_visible(false);
  if (OnClosed) OnClosed();
}

void ShowAddFavoriteDialog(Gtk::Window& Parent, platform::IDialogs& Dialogs, const std::string& Favorites,
                           const TPageSnapshot& Page, std::function<void()> Added) {
  auto* Win = new TAddFavoriteDialog(Parent, Dialogs, Favorites, Page, std::move(Added));
  // Freed once the close is over: a window must not go inside its own handler.
  Win->OnClosed = [Win] { Glib::signal_idle().connect_once([Win] { delete Win; }); };
  Win->present();
}

}  // namespace vorlane::favorites
