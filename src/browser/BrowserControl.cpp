#include "browser/BrowserControl.h"

namespace vorlane::browser {

TBrowserControl::TBrowserControl(std::unique_ptr<WebEngine> Engine) : FEngine(std::move(Engine)) {
  FEngine->SetEvents(this);
  FEngine->SetHost(this);
  FEngine->SetDownloadFlags(DownloadFlags());
  FEngine->SetInterfaceFlags(InterfaceFlagsOf(FUserInterfaceOptions));
}

TBrowserControl::~TBrowserControl() {
  // The engine may outlive us by a moment (its widget is being unparented): it must not
  // call back into a destroyed host.
  FEngine->SetEvents(nullptr);
  FEngine->SetHost(nullptr);
}

void TBrowserControl::SetDownloadOptions(TDownloadControlOptions Options) {
  FDownloadOptions = Options;
  FEngine->SetDownloadFlags(DownloadFlags());
}

void TBrowserControl::SetUserInterfaceOptions(TUserInterfaceOptions Options) {
  FUserInterfaceOptions = Options;
  FEngine->SetInterfaceFlags(InterfaceFlagsOf(Options));
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
  if (OnBeforeNavigate2) OnBeforeNavigate2(Url, Cancel);
}
void TBrowserControl::NewWindow2(WebEngine*& NewEngine, bool& Cancel) {
  if (OnNewWindow2) OnNewWindow2(NewEngine, Cancel);
}
void TBrowserControl::NavigateComplete2(const std::string& Url) {
  if (OnNavigateComplete2) OnNavigateComplete2(Url);
}
void TBrowserControl::DocumentComplete(const std::string& Url) {
  if (OnDocumentComplete) OnDocumentComplete(Url);
}
void TBrowserControl::TitleChange(const std::string& Title) {
  if (OnTitleChange) OnTitleChange(Title);
}
void TBrowserControl::WindowClosing() {
  if (OnWindowClosing) OnWindowClosing();
}
void TBrowserControl::ProcessTerminated(ProcessEnd Reason) {
  if (OnProcessTerminated) OnProcessTerminated(Reason);
}
bool TBrowserControl::HandleDrop(const std::string& Text) { return OnDrop && OnDrop(Text); }
bool TBrowserControl::TranslateAccelerator(unsigned Key, unsigned Modifiers) {
  return OnTranslateAccelerator && OnTranslateAccelerator(Key, Modifiers);
}

}  // namespace vorlane::browser
