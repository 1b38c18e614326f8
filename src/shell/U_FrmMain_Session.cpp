// The open pages as a whole: what a later start reopens, and quitting with many open.
#include "shell/U_FrmMain.h"

#include "platform/Dialogs.h"

#include <algorithm>

namespace vorlane::shell {

platform::TSavedSession TFrmMain::SessionSnapshot() const {
  platform::TSavedSession Session;
  TFrmWeb* Active = ActivePage();
  for (int I = 0; I < PageControl.Count(); ++I) {
    TFrmWeb* Page = PageOfTab(I);
    if (!Page || Page->Closing()) continue;
    if (Page == Active) Session.Selected = static_cast<int>(Session.Pages.size());
    Session.Pages.push_back({Page->GetUrl(), Page->GetTitle(), Page->History()});
  }
  return Session;
}

void TFrmMain::RestorePages(const platform::TSavedSession& Saved) {
  TFrmWeb* Front = nullptr;
  for (size_t I = 0; I < Saved.Pages.size(); ++I) {
    const platform::TSavedPage& Item = Saved.Pages[I];
    if (Item.Url == FSite.StartPage() && Item.History.empty()) continue;
    // After the page open last, so the saved order is kept.
    if (PageControl.Count() > 0) PageControl.Select(PageControl.Count() - 1);
    TFrmWeb* Page = AddPage(Item.Url, false, TFrmWeb::TDeferredLoad{Item.Title, Item.History});
    if (static_cast<int>(I) == Saved.Selected) Front = Page;
  }
  if (Front) Front->ShowInFrame();
  else if (TFrmWeb* Active = ActivePage()) PageControl.Select(PageControl.IndexOfTag(Active));
}

void TFrmMain::Ac_QuitExecute() { RequestQuit(); }

void TFrmMain::RequestQuit() {
  const int Running = FDownloads ? FDownloads->RunningCount() : 0;
  if (Running == 0) return ConfirmClosingPages();
  // Quitting cancels them and removes their part files.
  std::weak_ptr<int> Alive = FLifeToken;
  Dialogs()->Confirm(ApplicationTitle, "有 " + std::to_string(Running) + " 个文件正在下载。确实要退出吗？", "退出", "",
                     [this, Alive](bool Quit, bool) {
                       if (!Alive.expired() && Quit) ConfirmClosingPages();
                     });
}

void TFrmMain::ConfirmClosingPages() {
  const int Count = PageControl.Count();
  if (Count <= 1 || FOptions.RestoreLastPages() || !FOptions.ConfirmCloseAll()) return AskPagesThenQuit();
  std::weak_ptr<int> Alive = FLifeToken;
  Dialogs()->Confirm(ApplicationTitle, "要关闭全部 " + std::to_string(Count) + " 个网页吗？", "关闭", "不再询问",
                     [this, Alive](bool Close, bool DontAskAgain) {
                       if (Alive.expired() || !Close) return;
                       if (DontAskAgain) FOptions.SetConfirmCloseAll(false);
                       AskPagesThenQuit();
                     });
}

void TFrmMain::AskPagesThenQuit() {
  // Every page is asked once; the pages stay open meanwhile, so the session kept at quit
  // still holds them all.
  FQuitWaiting.clear();
  for (auto& Page : FPages)
    if (!Page->Closing()) FQuitWaiting.push_back(Page.get());
  if (FQuitWaiting.empty()) return Quit();
  std::weak_ptr<int> Alive = FLifeToken;
  for (TFrmWeb* Page : std::vector<TFrmWeb*>(FQuitWaiting)) {
    // An answer may come at once and end the wait, or close pages.
    if (Alive.expired() || FQuitWaiting.empty()) return;
    if (std::find(FQuitWaiting.begin(), FQuitWaiting.end(), Page) != FQuitWaiting.end())
      Page->WebBrowser->Engine().TryClose();
  }
}

void TFrmMain::AskToClose(TFrmWeb* Page) {
  FQuitWaiting.clear();
  Page->RequestClose();
}

void TFrmMain::PageAgreedToClose(TFrmWeb* Page) {
  auto It = std::find(FQuitWaiting.begin(), FQuitWaiting.end(), Page);
  if (It == FQuitWaiting.end()) return Page->Close();
  FQuitWaiting.erase(It);
  if (FQuitWaiting.empty()) Quit();
}

void TFrmMain::PageStayed(TFrmWeb* Page) {
  // A page kept at the question ends the quit, as in other browsers: its later close, even
  // by its own script, is no longer the last word that quits.
  if (std::find(FQuitWaiting.begin(), FQuitWaiting.end(), Page) != FQuitWaiting.end()) FQuitWaiting.clear();
}

void TFrmMain::Quit() {
  if (OnQuit)
    OnQuit();
  else
    set_visible(false);
}

void TFrmMain::Ac_RestoreLastPagesExecute() {
  // The menu has already moved the check mark.
  if (!FOptions.SetRestoreLastPages(ActionList["Ac_RestoreLastPages"].Checked()))
    ShowCommandError("无法保存设置。");
}

}  // namespace vorlane::shell
