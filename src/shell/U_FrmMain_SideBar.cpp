#include <glibmm/miscutils.h>

#include "favorites/AddFavoriteDialog.h"
#include "favorites/IEUtils.h"
#include "navigation/HistoryListView.h"
#include "platform/Dialogs.h"
#include "shell/U_FrmMain.h"
#include "shell/U_FrmMain_Favorites.h"

namespace vorlane::shell {

namespace {
std::string HomeFolder() { return Glib::get_home_dir() + "/"; }

// A folder that cannot be created gives an empty menu and tree rather than no window.
std::string FavoritesFolderOrEmpty() {
  try {
    return favorites::GetFavoritesFolder();
  } catch (const std::exception&) {
    return {};
  }
}
}  // namespace

TFrmMainFavorites::TFrmMainFavorites(THost Host)
    : FHost(std::move(Host)), FGtkDialogs(FHost.Window), Dialogs(&FGtkDialogs), ExportFavorite(FGtkDialogs),
      ImportFavorite(FGtkDialogs), FavoritesMenu(FGtkDialogs, FavoritesFolderOrEmpty()) {
  ImportFavorite.SetCurrentFileName("newbook.htm");
  ImportFavorite.SetCurrentFilePath(HomeFolder());
  ImportFavorite.SetTargetSubFolder("导入");
  ImportFavorite.SetSuccessMessage({"导入收藏夹成功！"});
  ExportFavorite.SetTargetPath(HomeFolder());
  ExportFavorite.SetTargetFileName("newbook.htm");
  ExportFavorite.SetSuccessMessage({"导出收藏夹成功！"});

  auto& M = FavoritesMenu.Model;
  M.Localization = {"添加收藏", "整理收藏夹", "导入收藏夹", "导出收藏夹"};
  M.Options = favorites::foAddFavorites | favorites::foOrganizeFavorites | favorites::foImportFavorites |
              favorites::foExportFavorites;
  M.SetMenuPoition(3);
  M.MaxWidth = 50;
  M.Caption = "收藏夹(&A)";
  FavoritesMenu.MainMenu = FHost.MainMenu;
  FavoritesMenu.Transfer.Exporter = &ExportFavorite;
  FavoritesMenu.Transfer.Importer = &ImportFavorite;
  FavoritesMenu.OnURLSelected = [this](const std::string& Url) { FavoritesMenuURLSelected(Url); };
  FavoritesMenu.Transfer.OnExportClick = [this](const std::string& P, auto Done) {
    favorites::ChooseExportFile(*Dialogs, P, std::move(Done));
  };
  FavoritesMenu.Transfer.OnImportClick = [this](const std::string& P, auto Done) {
    favorites::ChooseImportFile(*Dialogs, P, std::move(Done));
  };
  FavoritesMenu.OnItemImageIndex = &TFrmMainFavorites::FavoritesMenuItemImageIndex;
  FavoritesMenu.BrowserControl = FHost.ActivePage;
  FavoritesMenu.OnAddFavorite = [this](const favorites::TPageSnapshot& Page, std::function<void()> Done) {
    favorites::ShowAddFavoriteDialog(FHost.Window, *Dialogs, FavoritesMenu.Model.FavoritesFolder(), Page,
                                     std::move(Done));
  };
  FavoritesMenu.OnOrganize = [this](std::function<void()> Done) { OrganizeFavorites(std::move(Done)); };
  FHost.Window.insert_action_group("fav", FavoritesMenu.Actions());
}

TFrmMainFavorites::~TFrmMainFavorites() {
  FDock.reset();  // gives the sidebar back before it goes
  FSideBar.reset();
}

void TFrmMainFavorites::FormShow() {
  FavoritesMenu.RebuildMenu();
  CreateSideBar();
}

void TFrmMainFavorites::CreateSideBar() {
  if (FSideBar) return;
  FSideBar = std::make_unique<navigation::TFrmSideBar>(*Dialogs, FavoritesMenu.Model.FavoritesFolder());
  FSideBar->OnClose = [this] { SideBarClose(); };
  FSideBar->OnNavigate = [this](const std::string& Url) { NavigateActivePage(Url); };
  FSideBar->OnPageChange = [this] {
    if (FHost.OnSideBarChange) FHost.OnSideBarChange(FSideBar->PageIndex());
  };
  FSideBar->OnCreateHistoryList = [this]() -> Gtk::Widget* {
    if (!HistoryStore) return nullptr;
    auto* List = Gtk::make_managed<navigation::THistoryListView>(*HistoryStore);
    List->OnURLSelected = [this](navigation::TCustomHistoryListView&, const std::string& Url) { NavigateActivePage(Url); };
    FSideBar->OnLiveUp = [List] { List->GoUp(); };
    return List;
  };
  // The tree is built when the sidebar is first shown (its own map handler, connected first).
  FSideBar->signal_map().connect([this] {
    if (auto* Tree = FSideBar->FavoritesTree())
      Tree->OnOrganize = [this](std::function<void()> Done) { OrganizeFavorites(std::move(Done)); };
  });
  FDock = std::make_unique<navigation::TSideBarDock>(FHost.Window, FHost.ClientArea, FHost.DockPanel, *FSideBar);
  FDock->OnFloatClosed = [this] { SideBarClose(); };
  FDock->StartDocked();  // hidden until Favorites or History is chosen
}

void TFrmMainFavorites::ShowSideBar(bool Visible, int Page) {
  if (!FDock) return;
  FDock->SetSideBarVisible(Visible);
  if (Visible) FSideBar->ShowPage(Page);
}

void TFrmMainFavorites::SideBarClose() {
  if (FDock) FDock->SetSideBarVisible(false);
  if (FHost.OnSideBarChange) FHost.OnSideBarChange(-1);
}

void TFrmMainFavorites::NavigateActivePage(const std::string& Url) {
  if (Url.empty()) return;
  if (favorites::ILinkedBrowser* Page = FHost.ActivePage ? FHost.ActivePage() : nullptr) Page->Navigate(Url);
}

void TFrmMainFavorites::FavoritesMenuURLSelected(const std::string& Url) {
  if (!Url.empty()) FHost.NewPage(Url, false);  // a favorite from the menu opens behind
}

void TFrmMainFavorites::OrganizeFavorites(std::function<void()> Done) {
  // Our own GTK dialogs over the organize window, unless a test scripts them.
  FOrganize.Execute(FHost.Window, Dialogs == &FGtkDialogs ? nullptr : Dialogs, FavoritesMenu.Model.FavoritesFolder(),
                    std::move(Done));
}

void TFrmMainFavorites::FavoritesMenuItemImageIndex(favorites::TMenuType Type, int& ImageIndex) {
  using favorites::TMenuType;
  switch (Type) {
    case TMenuType::mtItem: ImageIndex = 1; break;
    case TMenuType::mtFolder:
    case TMenuType::mtEmptyFolder: ImageIndex = 0; break;
    case TMenuType::mtAddFavorite: ImageIndex = 2; break;
    case TMenuType::mtOrganizeFavorites: ImageIndex = 3; break;
    case TMenuType::mtImportFavorites: ImageIndex = 4; break;
    case TMenuType::mtExportFavorites: ImageIndex = 5; break;
    case TMenuType::mtRoot: break;
  }
}

}  // namespace vorlane::shell

namespace vorlane::shell {

namespace {
// The active page as the favorites see it, asked for at each use.
class TActivePageLink : public favorites::ILinkedBrowser {
public:
  explicit TActivePageLink(TFrmWeb& Page) : FPage(Page) {}
  favorites::TPageSnapshot Snapshot() override {
    return {FPage.WebBrowser->Engine().LocationName(), FPage.WebBrowser->Engine().LocationURL()};
  }
  void Navigate(const std::string& Url) override { FPage.WebBrowser->Navigate2(Url); }

private:
  TFrmWeb& FPage;
};
}  // namespace

void TFrmMain::CreateFavorites() {
  auto Link = std::make_shared<std::unique_ptr<TActivePageLink>>();
  TFrmMainFavorites::THost Host{*this, MainMenu, FClientArea, pnlLeftDockBar,
                                [this](const std::string& Url, bool Show) { NewPage(Url, Show); },
                                [this, Link]() -> favorites::ILinkedBrowser* {
                                  TFrmWeb* Page = ActivePage();
                                  if (!Page || !Page->WebBrowser) return nullptr;
                                  *Link = std::make_unique<TActivePageLink>(*Page);
                                  return Link->get();
                                },
                                [this](int Page) { SideBarPageChanged(Page); }};
  FFavorites = std::make_unique<TFrmMainFavorites>(std::move(Host));
}

}  // namespace vorlane::shell
