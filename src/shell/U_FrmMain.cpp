#include "shell/U_FrmMain.h"
#include "shell/U_FrmMain_Favorites.h"

#include "platform/ConnectionState.h"

#include <utility>

namespace vorlane::shell {

TFrmMain::TFrmMain(browser::EngineFactory Factory, TProductSite Site)
    : FFactory(std::move(Factory)), FSite(std::move(Site)) {
  set_title("Vorlane");
  set_default_size(960, 525);
  CreateActions();
  BuildLayout();
  FormCreate();
  FConnectedWatch = platform::ConnectionState::Changed().connect([this](bool) { ShowConnectedState(); });
  ShowConnectedState();
  // The close button quits as 文件 → 退出 does, asking first when pages would be lost.
  signal_close_request().connect(
      [this] {
        RequestQuit();
        return true;
      },
      false);
  signal_show().connect([this] {
    if (FShown) return;
    FShown = true;
    FormShow();
  });
}

TFrmMain::~TFrmMain() {
  SetDownloads(nullptr);
  FDownloadsWindow.reset();
  FFavorites.reset();  // the sidebar leaves the dock panel while the panel still exists
  if (FTabMenu) FTabMenu->unparent();
  FConnectedWatch.disconnect();
  FAboutBoxFree.disconnect();
  FAboutBox.reset();
  // Pages leave quietly: nothing is recorded or activated while the window goes.
  FFrame.Clear();
  FPages.clear();
}

void TFrmMain::FormCreate() {
  FProgressGauge.SetPosition(0);
  FLastRowCount = 1;
  FUndoList = std::make_unique<TPageUndoList>();
  FUndoList->SetCapacity(20);
  CreateFavorites();
}

void TFrmMain::FormShow() {
  OpenStartPages();
  Favorites().FormShow();
}

void TFrmMain::OpenStartPages() {
  if (std::exchange(FStartPagesOpened, true)) return;
  cobAddress.grab_focus();
  if (StartAddresses.empty())
    ActionList["Ac_Blank"].Execute();
  else
    OpenAddressPages(StartAddresses);
}

void TFrmMain::SetProgress(int32_t Progress) { FProgressGauge.SetPosition(Progress); }

void TFrmMain::SetAddressText(const std::string& Url) { cobAddress.SetCurrentUrl(Url); }

void TFrmMain::SetStatusText(const std::string& Text) { FStatusText.set_text(Text); }

void TFrmMain::CommandStateChanged(int32_t Command, int16_t Enable) {
  if (Command == browser::CSC_NAVIGATEFORWARD)
    ActionList["Ac_Forward"].SetEnabled(Enable != 0);
  else if (Command == browser::CSC_NAVIGATEBACK)
    ActionList["Ac_Back"].SetEnabled(Enable != 0);
}

int TFrmMain::TabStripHeight() const {
  int W = 0, H = 0;
  PageControl.get_size_request(W, H);
  return H;
}

}  // namespace vorlane::shell
