// The page manager: keeps the tab strip and the page windows in step.
#include "shell/U_FrmMain.h"

#include "framework/LiteralLabel.h"
#include "framework/TabLayout.h"
#include "browser/DownloadList.h"
#include "shell/TabPlacement.h"

#include <algorithm>

namespace vorlane::shell {

TFrmWeb* TFrmMain::NewPage(const std::string& Url, bool Show) { return AddPage(Url, Show, std::nullopt); }

TFrmWeb* TFrmMain::NewPageFrom(TFrmWeb* Opener, const std::string& Url) {
  const int OpenerIndex = PageControl.IndexOfTag(Opener);
  if (OpenerIndex >= 0) {
    std::vector<const void*> Openers;
    for (int I = 0; I < PageControl.Count(); ++I) {
      auto It = FOpenerOf.find(PageOfTab(I));
      Openers.push_back(It == FOpenerOf.end() ? nullptr : It->second);
    }
    FInsertAt = RelatedTabPosition(Openers, Opener, OpenerIndex);
  }
  TFrmWeb* Page = NewPage(Url, false);
  FInsertAt.reset();
  if (Page) FOpenerOf[Page] = Opener;
  return Page;
}

TFrmWeb* TFrmMain::AddPage(const std::string& Url, bool Show, std::optional<TFrmWeb::TDeferredLoad> Deferred) {
  // The first visible page is always shown.
  if (FFrame.ChildCount() == 0) Show = true;
  FPages.push_back(std::make_unique<TFrmWeb>(Url, *this, *this, FFactory, Show, std::move(Deferred)));
  TFrmWeb* Page = FPages.back().get();
  // The page's messages carry the program's name.
  Page->WebBrowser->ApplicationTitle = ApplicationTitle;
  return Page;
}

TFrmWeb* TFrmMain::ActivePage() const { return dynamic_cast<TFrmWeb*>(FFrame.ActiveChild()); }

TFrmWeb* TFrmMain::PageOfTab(int Index) const {
  if (Index < 0 || Index >= PageControl.Count()) return nullptr;
  return static_cast<TFrmWeb*>(const_cast<void*>(PageControl.Tag(Index)));
}

int32_t TFrmMain::AddTab(const std::string& Caption, TFrmWeb* Page) {
  const int At = std::clamp(FInsertAt.value_or(PageControl.Selected() + 1), 0, PageControl.Count());
  FInsertAt.reset();
  PageControl.Insert(At, Caption, Page);
  AdjustTabStripHeight();
  PagesChanged();
  return At;
}

void TFrmMain::AdjustTabStripHeight() {
  if (PageControl.Count() == 0) return;
  int Rows = PageControl.RowCount();
  if (Rows == FLastRowCount) return;
  FLastRowCount = Rows;
  PageControl.set_size_request(-1, framework::TabLayout::HeightFor(Rows));
}

void TFrmMain::PageClosed(TFrmWeb* Page) {
  int Index = PageControl.IndexOfTag(Page);
  if (Index < 0) return;
  RecordClosedPage(Page);
  PageControl.Remove(Index);
  AdjustTabStripHeight();
  PagesChanged();
  if (PageControl.Selected() < 0 && FFrame.ChildCount() == 1 && PageControl.Count() > 0) {
    PageControl.Select(0);
    PageControlChange();
  }
}

void TFrmMain::SetTabImage(TFrmWeb* Page, int32_t ImageIndex) {
  int Index = PageControl.IndexOfTag(Page);
  if (Index >= 0) PageControl.SetImage(Index, ImageIndex);
}

void TFrmMain::SetTabCaption(TFrmWeb* Page, const std::string& Caption) {
  int Index = PageControl.IndexOfTag(Page);
  if (Index >= 0) PageControl.SetCaption(Index, Caption);
  if (Page == ActivePage()) UpdateWindowTitle(Caption);
  PagesChanged();
}

void TFrmMain::UpdateWindowTitle(const std::string& PageCaption) {
  // As the old frame did with its maximised child window: the active page's caption.
  TFrmWeb* Page = ActivePage();
  set_title(Page ? "Vorlane - [" + framework::LiteralLabel(PageCaption) + "]" : std::string("Vorlane"));
}

std::string TFrmMain::GetTabCaption(TFrmWeb* Page) {
  int Index = PageControl.IndexOfTag(Page);
  return Index >= 0 ? PageControl.Caption(Index) : std::string();
}

void TFrmMain::PageActivated() {
  TFrmWeb* Page = ActivePage();
  if (!Page) return;
  cobAddress.SetCurrentUrl(Page->GetUrl(), true);
  cobAddress.SetUntrusted(Page->Untrusted());
  PageControl.Select(PageControl.IndexOfTag(Page));
  FProgressGauge.SetPosition(Page->Progress());
  // A link the last page showed under the pointer is not this page's; running downloads
  // keep their word.
  FStatusText.set_text(browser::DownloadingStatusText(FDownloads ? FDownloads->RunningCount() : 0));
  UpdateWindowTitle(Page->Caption());
  // Back and Forward follow the page's own history at once, not the last page's.
  CommandStateChanged(browser::CSC_NAVIGATEBACK, Page->CanGoBack() ? -1 : 0);
  CommandStateChanged(browser::CSC_NAVIGATEFORWARD, Page->CanGoForward() ? -1 : 0);
  Page->WebBrowser->FocusDocument();
  PagesChanged();
}

void TFrmMain::PageControlChange() {
  if (TFrmWeb* Page = PageOfTab(PageControl.Selected())) Page->ShowInFrame();
}

void TFrmMain::PageControlMouseDown(int Button, int PressCount, double X, double Y) {
  int Index = PageControl.IndexAt(X, Y);
  // A double click or a middle click closes the tab; a right click opens its menu.
  if ((Button == 1 && PressCount == 2) || (Button == 2 && PressCount == 1)) {
    if (TFrmWeb* Page = PageOfTab(Index)) AskToClose(Page);
  } else if (Button == 3 && PressCount == 1) {
    ShowTabMenu(Index, X, Y);
  }
}

void TFrmMain::PageControlMouseMove(double X, double Y) {
  if (FTabMenu && FTabMenu->get_visible()) return;  // no tool tip over the tab's menu
  int Index = PageControl.IndexAt(X, Y);
  if (Index >= 0) PageControl.set_tooltip_text(framework::LiteralLabel(PageControl.Caption(Index)));
}

void TFrmMain::ReleasePage(TFrmWeb* Page) { DestroyPage(Page); }

void TFrmMain::PageLeftEmptyByDownload(TFrmWeb* Page) {
  // As other browsers do, a tab opened for what became a download goes (not the last one:
  // the window keeps a page), and is not offered for reopening.
  if (FPages.size() > 1) Page->Close();
}

void TFrmMain::DestroyPage(TFrmWeb* Page) {
  auto It = std::find_if(FPages.begin(), FPages.end(), [Page](auto& P) { return P.get() == Page; });
  if (It == FPages.end()) return;
  // The page still counts among the frame's child windows while it reports its close.
  Page->FormDestroy();
  FFrame.RemoveChild(Page);
  // A page that went on its own while the others agreed to quit leaves nothing to wait for.
  const bool WasWaited = std::erase(FQuitWaiting, Page) > 0;
  FOpenerOf.erase(Page);
  std::erase_if(FOpenerOf, [Page](const auto& Entry) { return Entry.second == Page; });
  // Take it out of the list before it dies, so nothing finds a half-destroyed page.
  std::unique_ptr<TFrmWeb> Dying = std::move(*It);
  FPages.erase(It);
  if (!ActivePage()) UpdateWindowTitle({});
  if (WasWaited && FQuitWaiting.empty()) Quit();
}

void TFrmMain::RecordClosedPage(TFrmWeb* Page) {
  if (FUndoList->Count() == FUndoList->Capacity() && !FUndoMenu.empty()) FUndoMenu.pop_back();
  TUndoItem Item{Page->GetTitle(), Page->GetUrl(), NowAsDateTime(), Page->WebBrowser->Engine().SessionState(),
                 PageControl.IndexOfTag(Page)};
  TUndoItem* Entry = FUndoList->Add(Item);
  FUndoMenu.insert(FUndoMenu.begin(), {Entry->Title, Entry->Url, Entry});
  RebuildUndoMenu();
}

void TFrmMain::UndoItemClick(int Index) {
  if (Index < 0 || Index >= static_cast<int>(FUndoMenu.size())) return;
  TUndoMenuItem Item = FUndoMenu[static_cast<size_t>(Index)];
  // As other browsers do, the page comes back where it was, to the front.
  if (Item.Tag->Position >= 0) FInsertAt = Item.Tag->Position;
  TFrmWeb* Page = NewPage(Item.Hint, true);
  FInsertAt.reset();
  // As other browsers do: the page comes back with its Back/Forward list.
  if (!Item.Tag->History.empty()) Page->WebBrowser->Engine().RestoreSessionState(Item.Tag->History);
  FUndoList->Remove(Item.Tag);
  FUndoMenu.erase(FUndoMenu.begin() + Index);
  RebuildUndoMenu();
}

void TFrmMain::RebuildUndoMenu() {
  pmnUndo->remove_all();
  for (size_t I = 0; I < FUndoMenu.size(); ++I) {
    auto Item = Gio::MenuItem::create(framework::LiteralMenuLabel(FUndoMenu[I].Caption), "");
    Item->set_action_and_target(ActionList.GroupName() + ".undo-item",
                                Glib::Variant<int32_t>::create(static_cast<int32_t>(I)));
    pmnUndo->append_item(Item);
  }
}

}  // namespace vorlane::shell
