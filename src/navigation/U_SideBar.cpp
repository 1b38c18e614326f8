#include "navigation/U_SideBar.h"

#include <giomm/themedicon.h>
#include <gtkmm/image.h>

#include "framework/AppIcons.h"
#include "platform/Dialogs.h"
#include <glibmm/miscutils.h>

namespace vorlane::navigation {

namespace {
// The sidebar's eight images, our own (resources/icons): favorites, history, up, open
// folder, import, export, closed folder, page.
const char* const ImageNames[8] = {"vorlane-favorites",   "vorlane-history",          "vorlane-folder-up",
                                   "vorlane-folder-open", "vorlane-favorites-import", "vorlane-favorites-export",
                                   "vorlane-folder",      "vorlane-page"};
Glib::RefPtr<Gio::Icon> Image(int Index) { return Gio::ThemedIcon::create(ImageNames[Index]); }

std::string HomeFolder() { return Glib::get_home_dir() + "/"; }
}  // namespace

TFrmSideBar::TFrmSideBar(platform::IDialogs& Dialogs, std::string FavoritesFolder)
    : Gtk::Box(Gtk::Orientation::VERTICAL), ExportFavorite(Dialogs), ImportFavorite(Dialogs), FDialogs(Dialogs),
      FFavorites(std::move(FavoritesFolder)) {
  set_name("FrmSideBar");
  // The program registers its icons at start-up; a sidebar made anywhere else needs them too.
  framework::RegisterAppIcons(get_display());
  ExportFavorite.SetTargetPath(HomeFolder());
  ExportFavorite.SetTargetFileName("newbook.htm");
  ExportFavorite.SetSuccessMessage({"收藏夹导出成功！"});
  ImportFavorite.SetCurrentFilePath(HomeFolder());
  ImportFavorite.SetCurrentFileName("newbook.htm");
  ImportFavorite.SetTargetSubFolder("Imported Bookmarks");
  ImportFavorite.SetSuccessMessage({"收藏夹导入成功！"});

  FHeader.add_css_class("sidebar-header");
  FTitle.set_text("收藏夹");
  FTitle.set_hexpand(true);
  FTitle.set_xalign(0);
  FTitle.set_margin_start(4);
  FClose.set_icon_name("window-close-symbolic");
  FClose.set_has_frame(false);
  FClose.set_tooltip_text("关闭");
  FClose.signal_clicked().connect([this] {
    if (OnClose) OnClose();
  });
  FHeader.append(FTitle);
  FHeader.append(FClose);
  append(FHeader);

  FPageControl.set_tab_pos(Gtk::PositionType::LEFT);
  FPageControl.set_vexpand(true);
  FPageControl.append_page(tbsFavorite, *Gtk::make_managed<Gtk::Image>(Image(0)));
  FLiveUp.set_icon_name(ImageNames[2]);
  FLiveUp.set_has_frame(false);
  FLiveUp.set_tooltip_text("向上");
  FLiveUp.signal_clicked().connect([this] { btnLiveUpClick(); });
  ToolBar1.append(FLiveUp);
  tbsHistory.append(ToolBar1);
  FPageControl.append_page(tbsHistory, *Gtk::make_managed<Gtk::Image>(Image(1)));
  FPageControl.signal_switch_page().connect([this](Gtk::Widget*, guint Page) {
    FPageIndex = static_cast<int>(Page);
    FTitle.set_text(Page == 0 ? "收藏夹" : "历史");
    if (!FSwitching && OnPageChange) OnPageChange();
  });
  append(FPageControl);
  set_size_request(120, -1);
  signal_map().connect([this] { EnsureBuilt(); });
}

TFrmSideBar::~TFrmSideBar() = default;

void TFrmSideBar::EnsureBuilt() {
  if (FBuilt) return;
  FBuilt = true;
  FTree = std::make_unique<favorites::TFavoritesTree>(FDialogs, FFavorites);
  FTree->Transfer.Exporter = &ExportFavorite;
  FTree->Transfer.Importer = &ImportFavorite;
  FTree->Transfer.OnImportClick = [this](const std::string& P, auto Done) { FavoritesTreeImportClick(P, Done); };
  FTree->Transfer.OnExportClick = [this](const std::string& P, auto Done) { FavoritesTreeExportClick(P, Done); };
  FTree->OnGetImage = &TFrmSideBar::FavoritesTreeGetImage;
  FTree->OnNavigate = [this](const std::string& Url) {
    if (OnNavigate && !Url.empty()) OnNavigate(Url);
  };
  // Adds from the menu, imports and other programs show in the tree, in one refresh.
  FTree->OnFavoritesChanged = [this] { FTree->ScheduleRefresh(); };
  FTree->ReloadFavorites();
  tbsFavorite.append(*FTree);
  if (OnCreateHistoryList)
    if (Gtk::Widget* List = OnCreateHistoryList()) {
      List->set_vexpand(true);
      tbsHistory.append(*List);
    }
}

void TFrmSideBar::ShowPage(int Index) {
  if (Index != 0 && Index != 1) return;
  FPageIndex = Index;
  FSwitching = true;  // the main window asked: no change notice back
  FPageControl.set_current_page(Index);
  FSwitching = false;
}

void TFrmSideBar::FavoritesTreeImportClick(const std::string& LocalPath, std::function<void(std::string)> Done) {
  favorites::ChooseImportFile(FDialogs, LocalPath, std::move(Done));
}

void TFrmSideBar::FavoritesTreeExportClick(const std::string& LocalPath, std::function<void(std::string)> Done) {
  favorites::ChooseExportFile(FDialogs, LocalPath, std::move(Done));
}

void TFrmSideBar::btnLiveUpClick() {
  if (OnLiveUp) OnLiveUp();
}

Glib::RefPtr<Gio::Icon> TFrmSideBar::FavoritesTreeGetImage(favorites::TNodeType Type) {
  using favorites::TNodeType;
  switch (Type) {
    case TNodeType::ntRoot: return Image(0);
    case TNodeType::ntItem: return Image(7);
    case TNodeType::ntEmptyFolder:
    case TNodeType::ntFolder: return Image(6);
    case TNodeType::ntOrganizeFavorites: return Image(3);
    case TNodeType::ntImportFavorites: return Image(4);
    case TNodeType::ntExportFavorites: return Image(5);
  }
  return {};
}

}  // namespace vorlane::navigation
