#pragma once
// The component that owns one engine and is its host: it turns the option sets into the
// engine's flag words, answers the engine's host questions and passes the engine's events
// on to whoever bound a handler.
#include "browser/DdeServer.h"
#include "browser/DownloadOptions.h"
#include "browser/WebEngine.h"

#include <functional>
#include <memory>
#include <string>

namespace vorlane::browser {

class TBrowserControl : private IWebEngineEvents, private IWebEngineHost {
public:
  // With a router, the control is also a shell DDE server there (silent until EnableDDE).
  explicit TBrowserControl(std::unique_ptr<WebEngine> Engine, platform::TDdeRouter* Dde = nullptr);
  ~TBrowserControl() override;
  TBrowserControl(const TBrowserControl&) = delete;
  TBrowserControl& operator=(const TBrowserControl&) = delete;

  Gtk::Widget& Widget() { return FEngine->Widget(); }
  // The engine object ("Application"): what a new-window request hands back.
  WebEngine* Application() { return FEngine.get(); }
  WebEngine& Engine() { return *FEngine; }
  const WebEngine& Engine() const { return *FEngine; }

  // Option sets; assigning one passes its flag word to the engine.
  TDownloadControlOptions DownloadOptions() const { return FDownloadOptions; }
  void SetDownloadOptions(TDownloadControlOptions Options);
  uint32_t DownloadFlags() const { return DownloadFlagsOf(FDownloadOptions); }
  TUserInterfaceOptions UserInterfaceOptions() const { return FUserInterfaceOptions; }
  void SetUserInterfaceOptions(TUserInterfaceOptions Options);
  bool DisableRightClickMenu = false;
  bool EnableDDE() const { return FDde && FDde->EnableDDE; }
  void SetEnableDDE(bool Value) {
    if (FDde) FDde->EnableDDE = Value;
  }
  TDdeServer* DdeServer() { return FDde.get(); }

  void Navigate2(const std::string& Url, int32_t Flags = 0) { FEngine->Navigate2(Url, Flags); }
  int32_t ToolBar() const { return FEngine->ToolBar(); }
  // Gives the engine the keyboard focus.
  void FocusDocument() { FEngine->FocusDocument(); }

  // Events, named as the engine's.
  std::function<void(const std::string&)> OnStatusTextChange;
  std::function<void(int32_t, int32_t)> OnProgressChange;
  std::function<void(int32_t, bool)> OnCommandStateChange;
  std::function<void(const std::string&, bool&)> OnBeforeNavigate2;
  std::function<void(WebEngine*&, bool&)> OnNewWindow2;
  std::function<void(const std::string&)> OnNavigateComplete2;
  std::function<void(const std::string&)> OnDocumentComplete;
  std::function<void(const std::string&)> OnTitleChange;
  std::function<void()> OnWindowClosing;
  std::function<void(ProcessEnd)> OnProcessTerminated;
  // Host questions that the owner may take over.
  std::function<bool(unsigned, unsigned)> OnTranslateAccelerator;  // true: handled
  std::function<bool(const std::string&)> OnDrop;                   // true: taken

private:
  void StatusTextChange(const std::string& Text) override;
  void ProgressChange(int32_t Progress, int32_t ProgressMax) override;
  void CommandStateChange(int32_t Command, bool Enable) override;
  void BeforeNavigate2(const std::string& Url, bool& Cancel) override;
  void NewWindow2(WebEngine*& NewEngine, bool& Cancel) override;
  void NavigateComplete2(const std::string& Url) override;
  void DocumentComplete(const std::string& Url) override;
  void TitleChange(const std::string& Title) override;
  void WindowClosing() override;
  void ProcessTerminated(ProcessEnd Reason) override;

  bool AllowContextMenu() override { return !DisableRightClickMenu; }
  bool HandleDrop(const std::string& Text) override;
  bool TranslateAccelerator(unsigned Key, unsigned Modifiers) override;

  std::unique_ptr<WebEngine> FEngine;
  std::unique_ptr<TDdeServer> FDde;
  TDownloadControlOptions FDownloadOptions{DLCTL_DLIMAGES, DLCTL_VIDEOS, DLCTL_BGSOUNDS};
  TUserInterfaceOptions FUserInterfaceOptions;
};

}  // namespace vorlane::browser
