#pragma once
// A page window: one tab's worth of browser. It turns its engine's events into updates of
// its tab and, while it is the active page, of the main window's address bar, status
// text, gauge and Back/Forward state.
#include "browser/BrowserControl.h"
#include "browser/PageQuestions.h"
#include "browser/VisitRecorder.h"
#include "framework/MdiFrame.h"
#include "framework/NoticeBar.h"
#include "shell/U_PublicInterface.h"

#include <gtkmm/box.h>
#include <sigc++/connection.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::shell {

class TFrmWeb final : public Gtk::Box, public framework::IMdiChild {
public:
  // A page reopened from a saved session that loads only once it is first shown, as other
  // browsers do, so that many reopened tabs do not all load at once.
  struct TDeferredLoad {
    std::string Title;
    std::vector<uint8_t> History;  // the engine's Back/Forward state; empty: just the address
  };

  TFrmWeb(const std::string& Url, IMainUiHandler& Main, IPageHost& Host,
          const browser::EngineFactory& Factory, bool Show,
          std::optional<TDeferredLoad> Deferred = std::nullopt);
  ~TFrmWeb() override;

  std::unique_ptr<browser::TBrowserControl> WebBrowser;

  void ShowInFrame();
  void Navigate(const std::string& Url, bool NewWindow);
  std::string GetTitle();
  std::string GetUrl();
  void UpdateCaption();
  // The caption steps of UpdateCaption alone: tab and page caption, not the address.
  void UpdateTitle();
  void SetLoadState(int32_t State);
  void ApplyDownloadOptions();

  // Closes the page: it is destroyed once the current event has been processed.
  void Close();
  // A close the user asked for: the page is asked first (its question about leaving) and
  // the main window closes it once it agrees.
  void RequestClose();
  // Runs the destroy handler: tells the main window, which removes the tab and records
  // the page as closed.
  void FormDestroy();

  const std::string& Caption() const { return FCaption; }
  int32_t Progress() const { return FProgress; }
  int32_t LoadState() const { return FLoadState; }
  // What the engine last said about its history, also while in the background.
  bool CanGoBack() const { return FCanGoBack; }
  bool CanGoForward() const { return FCanGoForward; }
  bool IsActivePage() const;
  bool Closing() const { return FCloseIdle.connected(); }

  // Engine event handlers.
  void WebBrowserStatusTextChange(const std::string& Text);
  void WebBrowserProgressChange(int32_t Progress, int32_t ProgressMax);
  void WebBrowserCommandStateChange(int32_t Command, bool Enable);
  void WebBrowserBeforeNavigate2(const std::string& Url, bool& Cancel);
  void WebBrowserNewWindow2(browser::WebEngine*& NewEngine, bool& Cancel);
  void WebBrowserNavigateComplete2(const std::string& Url);
  void WebBrowserDocumentComplete(const std::string& Url);
  void WebBrowserTitleChange(const std::string& Title);
  bool WebBrowserTranslateAccelerator(unsigned Key, unsigned Modifiers);
  bool WebBrowserDrop(const std::string& Text);
  void FormActivate();
  bool Timer1Timer();

  // The bars above the page (U_WebForm_Questions.cpp), oldest first.
  std::vector<framework::TNoticeBar*> NoticeBars() const;
  // The page's Back/Forward state: the engine's, or the saved one while it waits to load.
  std::vector<uint8_t> History() const;
  bool LoadDeferred() const { return FDeferred.has_value(); }
  // The shown document came over a connection whose certificate only the user trusts.
  bool Untrusted() const { return FUntrusted; }

  // IMdiChild
  Gtk::Widget& ChildWidget() override { return *this; }
  void ChildActivated() override { FormActivate(); }

private:
  // U_WebForm_Questions.cpp
  void BindQuestions();
  void BindTabRequests();  // U_WebForm_Tabs.cpp
  bool NewWindowRequest(const std::string& Url, bool UserGesture);
  void PermissionRequest(browser::PagePermission Kind, std::function<void(bool)> Answer);
  void InsecureProceed(const std::string& Host, std::function<void(bool)> Proceed);
  framework::TNoticeBar& AddNoticeBar(const std::string& Text);
  void CloseNoticeBars();

  IMainUiHandler& FMain;
  IPageHost& FHost;
  int32_t FProgress = 0;
  std::string FTitle;
  std::string FUrl;
  int32_t FLoadState = 0;
  bool FCanGoBack = false;
  bool FCanGoForward = false;
  std::string FCaption = "about:blank";
  sigc::connection FTimer1;
  sigc::connection FCloseIdle;
  browser::TVisitRecorder FVisits;
  Gtk::Box FBars{Gtk::Orientation::VERTICAL};
  std::vector<std::unique_ptr<framework::TNoticeBar>> FNoticeBars;
  sigc::connection FBarsReap;
  framework::TNoticeBar* FPopupBar = nullptr;
  browser::TPopupsHeldBack FPopups;
  bool FUntrusted = false;
  // The load under way has committed its document (or there is none under way).
  bool FLoadCommitted = true;
  // The address the shown document committed under.
  std::string FDocumentUrl;
  std::optional<TDeferredLoad> FDeferred;
};

}  // namespace vorlane::shell
