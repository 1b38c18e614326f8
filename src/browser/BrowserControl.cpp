#include "browser/BrowserControl.h"

#include "browser/HostRules.h"
#include "browser/PageWaits.h"
#include "platform/Registry.h"

#include <gio/gio.h>

namespace vorlane::browser {

TBrowserControl::TBrowserControl(std::unique_ptr<WebEngine> Engine, platform::TDdeRouter* Dde)
    : FEngine(std::move(Engine)), FWaits(std::make_unique<TPageWaits>()) {
  FEngine->SetEvents(this);
  FEngine->SetHost(this);
  FEngine->SetDownloadFlags(DownloadFlags());
  RecomputeInterfaceFlags();
  if (Dde) {
    // The server's names are read afresh for every control.
    FDde = std::make_unique<TDdeServer>(*Dde, platform::Registry());
    FDde->NavigateToAddress = [this](const std::string& Url) { NavigateToAddress(Url); };
    FDde->NavigateToItemIdList = [this](const std::vector<uint8_t>& List) { NavigateToItemIdList(List); };
    FDde->ShellExecute = [](const TShellExecuteRequest& Request) {
      // Exploring a folder opens it in the desktop's file manager; the path goes as a
      // file address, never through a command line.
      if (Request.Verb != "explore" || Request.File.empty() || Request.File.front() != '/') return;
      gchar* Uri = g_filename_to_uri(Request.File.c_str(), nullptr, nullptr);
      if (Uri) g_app_info_launch_default_for_uri_async(Uri, nullptr, nullptr, nullptr, nullptr);
      g_free(Uri);
    };
  }
}

TBrowserControl::~TBrowserControl() {
  // The engine may outlive us by a moment (its widget is being unparented): it must not
  // call back into a destroyed host.
  FEngine->SetEvents(nullptr);
  FEngine->SetHost(nullptr);
  // Steps still waiting clean up after themselves, and find the control gone.
  FLifeToken.reset();
  FWaits->DropAll(WaitDropped::Closed);
}

void TBrowserControl::SetDownloadOptions(TDownloadControlOptions Options) {
  FDownloadOptions = Options;
  FEngine->SetDownloadFlags(DownloadFlags());
}

void TBrowserControl::SetUserInterfaceOptions(TUserInterfaceOptions Options) {
  FUserInterfaceOptions = Options;
  RecomputeInterfaceFlags();
}

void TBrowserControl::StatusTextChange(const std::string& Text) {
  if (OnStatusTextChange) OnStatusTextChange(Text);
}
void TBrowserControl::ProgressChange(int32_t Progress, int32_t ProgressMax) {
  if (OnProgressChange) OnProgressChange(Progress, ProgressMax);
}
void TBrowserControl::CommandStateChange(int32_t Command, bool Enable) {
  if (OnCommandStateChange) OnCommandStateChange(Command, Enable);
}
void TBrowserControl::BeforeNavigate2(const std::string& Url, bool& Cancel) {
  // The old engine asked for the host flags at every navigation.
  RecomputeInterfaceFlags();
  FLoadStarted = true;
  FWaits->NavigationStarted();
  if (OnBeforeNavigate2) OnBeforeNavigate2(Url, Cancel);
}
void TBrowserControl::NewWindow2(WebEngine*& NewEngine, bool& Cancel) {
  if (OnNewWindow2) OnNewWindow2(NewEngine, Cancel);
}
void TBrowserControl::NavigateComplete2(const std::string& Url) {
  if (OnNavigateComplete2) OnNavigateComplete2(Url);
}
void TBrowserControl::DocumentComplete(const std::string& Url) {
  FLoadStarted = false;
  std::weak_ptr<int> Alive = FLifeToken;
  if (OnDocumentComplete) OnDocumentComplete(Url);
  if (!Alive.expired()) FWaits->Completed();
}
void TBrowserControl::TitleChange(const std::string& Title) {
  if (OnTitleChange) OnTitleChange(Title);
}
void TBrowserControl::WindowClosing() {
  bool CanClose = true;
  if (OnCloseQuery) OnCloseQuery(CanClose);
  if (CanClose && OnWindowClosing) OnWindowClosing();
}
void TBrowserControl::ProcessTerminated(ProcessEnd Reason) {
  if (OnProcessTerminated) OnProcessTerminated(Reason);
}
void TBrowserControl::DocumentCommitted(const std::string& Url, bool ErrorPage) {
  FScriptDialogs.NewDocument();
  if (OnDocumentCommitted) OnDocumentCommitted(Url, ErrorPage);
}
void TBrowserControl::LoadBecameDownload(bool NothingShown) {
  if (OnLoadBecameDownload) OnLoadBecameDownload(NothingShown);
}
void TBrowserControl::NavigateError(const std::string& Url, bool Committed) {
  if (OnNavigateError) OnNavigateError(Url, Committed);
}
void TBrowserControl::CertificateStateChange(bool Untrusted) {
  if (OnCertificateStateChange) OnCertificateStateChange(Untrusted);
}
bool TBrowserControl::HandleDrop(const std::string& Text) { return OnDrop && OnDrop(Text); }
bool TBrowserControl::TranslateAccelerator(unsigned Key, unsigned Modifiers) {
  // Keys the page edits with never reach the owner's accelerators.
  if (!KeyOfferedToEngine(Key)) return false;
  return OnTranslateAccelerator && OnTranslateAccelerator(Key, Modifiers);
}

}  // namespace vorlane::browser
