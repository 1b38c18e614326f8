#include "browser/BrowserControl.h"

#include "platform/Registry.h"

#include <gio/gio.h>

namespace vorlane::browser {

TBrowserControl::TBrowserControl(std::unique_ptr<WebEngine> Engine, platform::TDdeRouter* Dde)
    : FEngine(std::move(Engine)) {
  FEngine->SetEvents(this);
  FEngine->SetHost(this);
  FEngine->SetDownloadFlags(DownloadFlags());
  FEngine->SetInterfaceFlags(InterfaceFlagsOf(FUserInterfaceOptions));
  if (Dde) {
    // The server's names are read afresh for every control.
    FDde = std::make_unique<TDdeServer>(*Dde, platform::Registry());
    FDde->NavigateToAddress = [this](const std::string& Url) { Navigate2(Url); };
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
