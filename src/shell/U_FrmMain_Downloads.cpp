// The downloads as the main window shows them: the "下载" window, which comes up by itself
// when a download starts (unless the user closed it during this run), and the status bar.
#include "shell/U_FrmMain.h"

#include "platform/Dialogs.h"

#include <glibmm/main.h>

namespace vorlane::shell {

namespace {
// Rows are redrawn at most this often: WebKit reports every chunk it receives.
constexpr unsigned RefreshMilliseconds = 250;
}  // namespace

void TFrmMain::SetDownloads(browser::TDownloadList* List) {
  if (FDownloads) FDownloads->OnStarted = FDownloads->OnChanged = nullptr;
  FDownloadsRefresh.disconnect();
  FDownloads = List;
  if (!List) return;
  List->OnStarted = [this](int) {
    if (FDownloadsWindow && FDownloadsWindow->ClosedByUser()) return;
    Ac_DownloadsExecute();
  };
  List->OnChanged = [this](int) {
    if (!FDownloadsRefresh.connected())
      FDownloadsRefresh = Glib::signal_timeout().connect(
          [this] {
            DownloadsChanged();
            return false;
          },
          RefreshMilliseconds);
  };
}

void TFrmMain::DownloadsChanged() {
  if (FDownloadsWindow) FDownloadsWindow->Refresh();
  const int Running = FDownloads ? FDownloads->RunningCount() : 0;
  const std::string Text = browser::DownloadingStatusText(Running);
  // The status bar speaks of downloads while any runs; the page has it back afterwards.
  if (!Text.empty()) FStatusText.set_text(Text);
  else if (FStatusText.get_text().find("正在下载") == 0) FStatusText.set_text("");
}

void TFrmMain::Ac_DownloadsExecute() {
  if (!FDownloads) return;
  if (!FDownloadsWindow) FDownloadsWindow = std::make_unique<TDownloadsWindow>(*this, *FDownloads);
  FDownloadsWindow->Refresh();
  FDownloadsWindow->present();
}

void TFrmMain::ChooseDownloadDestination(const std::string& Proposed,
                                         std::function<void(std::optional<std::string>)> Done) {
  if (!FOptions.AskWhereToSave()) return Done(Proposed);
  Dialogs()->SaveFile("另存为", Proposed, {}, std::move(Done));
}

void TFrmMain::Ac_AskWhereToSaveExecute() {
  // The menu has already moved the check mark.
  if (!FOptions.SetAskWhereToSave(ActionList["Ac_AskWhereToSave"].Checked())) ShowCommandError("无法保存设置。");
}

}  // namespace vorlane::shell
