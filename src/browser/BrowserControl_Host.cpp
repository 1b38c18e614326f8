// The browser control as the engine's host: flag words, the context-menu rule, script
// messages, reloads, floating-point state and the navigation helpers.
#include "browser/BrowserControl.h"

#include "browser/HostRules.h"
#include "browser/PageWaits.h"
#include "platform/Dialogs.h"
#include "platform/FloatingPoint.h"

#include <filesystem>

namespace vorlane::browser {

void TBrowserControl::RecomputeInterfaceFlags() {
  // The border and scroll-bar members follow the two Booleans only: set directly, they
  // are dropped again here.
  FUserInterfaceOptions.Set(NO3DBORDER, HideBorders);
  FUserInterfaceOptions.Set(NO3DOUTERBORDER, HideBorders);
  FUserInterfaceOptions.Set(SCROLL_NO, HideScrollBars);
  FInterfaceFlags = InterfaceFlagsOf(FUserInterfaceOptions);
  FEngine->SetInterfaceFlags(FInterfaceFlags);
}

void TBrowserControl::Loaded() {
  FEngine->SetDownloadFlags(DownloadFlags());
  RecomputeInterfaceFlags();
  FEngine->SetUserAgentToken(UserAgent);
}

void TBrowserControl::SetFpExceptions(bool Value) {
  if (Value) platform::RestoreStartupFloatingPoint();
  else platform::MaskFloatingPointExceptions();
  FFpExceptions = Value;
}

void TBrowserControl::NavigateToAddress(const std::string& Address) {
  RecomputeInterfaceFlags();
  FEngine->Navigate2(Address, 0);
}

void TBrowserControl::NavigateToItemIdList(const std::vector<uint8_t>& List) {
  RecomputeInterfaceFlags();
  auto Path = ItemIdListPath(List.data(), List.size());
  std::error_code Error;
  if (!Path || !std::filesystem::exists(*Path, Error)) return;
  FEngine->Navigate2(*Path, 0);
}

void TBrowserControl::Stop() {
  FWaits->DropAll(WaitDropped::Stopped);
  FEngine->Stop();
}

void TBrowserControl::WhenDocumentComplete(std::function<void()> Step, std::function<void(WaitDropped)> Dropped) {
  if (FEngine->ReadyState() == 4) return Step();
  FWaits->Add(std::move(Step), std::move(Dropped), FLoadStarted);
}

void TBrowserControl::SetWaitClock(IWaitClock& Clock) { FWaits->SetClock(Clock); }

bool TBrowserControl::AllowContextMenu() {
  if (DisableRightClickMenu) return false;  // the event is not raised either
  return !(OnShowContextMenu && OnShowContextMenu());
}

bool TBrowserControl::ShowScriptDialog(const ScriptDialog& Dialog, ScriptDialogAnswer Answer) {
  if (OnShowMessage) return OnShowMessage(Dialog, std::move(Answer));
  if (!Dialogs) return false;
  if (Dialog.Kind == ScriptDialogKind::BeforeUnload) {
    // The engine asks only once per close or navigation and only after the user did
    // something in the page, so it neither counts towards the limit nor can be stopped.
    // The page's own text is not shown: it could pass itself off as ours.
    Dialogs->Ask(ApplicationTitle, LeaveQuestion, LeaveButton, StayButton,
                 [this, Alive = std::weak_ptr<int>(FLifeToken), Answer](bool Leave) {
                   Answer(Leave, {});
                   if (!Leave && !Alive.expired() && OnStayed) OnStayed();
                 });
    return true;
  }
  const TScriptDialogLimit::Ticket Asked = FScriptDialogs.Next();
  if (Asked.What == TScriptDialogLimit::Verdict::Refuse) {
    Answer(false, {});
    return true;
  }
  // Our boxes, captioned as every box of ours and answered later: the page waits. The
  // answer goes to the engine, which ignores it once the page is gone.
  using platform::MessageButtons;
  using platform::MessageKind;
  using platform::MessageResult;
  const std::string Stop = Asked.What == TScriptDialogLimit::Verdict::ShowWithStop ? TScriptDialogLimit::StopText : "";
  auto Stopped = [this, Alive = std::weak_ptr<int>(FLifeToken), Asked](bool Ticked) {
    if (!Alive.expired()) FScriptDialogs.Answered(Asked, Ticked);
  };
  switch (Dialog.Kind) {
    case ScriptDialogKind::Alert:
      Dialogs->ShowMessageWithCheck(MessageKind::Warning, ApplicationTitle, Dialog.Message, MessageButtons::Ok, Stop,
                                    [Answer, Stopped](MessageResult, bool Ticked) {
                                      Stopped(Ticked);
                                      Answer(true, {});
                                    });
      break;
    case ScriptDialogKind::Confirm:
      Dialogs->ShowMessageWithCheck(MessageKind::Confirmation, ApplicationTitle, Dialog.Message,
                                    MessageButtons::OkCancel, Stop,
                                    [Answer, Stopped](MessageResult Result, bool Ticked) {
                                      Stopped(Ticked);
                                      Answer(Result == MessageResult::Ok, {});
                                    });
      break;
    case ScriptDialogKind::Prompt:
      Dialogs->InputBoxWithCheck(ApplicationTitle, Dialog.Message, Dialog.DefaultText, Stop,
                                 [Answer, Stopped](std::optional<std::string> Text, bool Ticked) {
                                   Stopped(Ticked);
                                   Answer(Text.has_value(), Text.value_or(""));
                                 });
      break;
    case ScriptDialogKind::BeforeUnload: break;
  }
  return true;
}

bool TBrowserControl::CancelRefresh(int32_t CommandId) {
  RecomputeInterfaceFlags();  // as at every command the engine passes to its host
  if (!OnRefresh) return false;
  bool Cancel = false;
  OnRefresh(CommandId, Cancel);
  return Cancel;
}

bool TBrowserControl::AllowNewWindow(const std::string& Url, bool UserGesture) {
  return OnNewWindowRequest ? OnNewWindowRequest(Url, UserGesture) : UserGesture;
}

void TBrowserControl::RequestPermission(PagePermission Kind, std::function<void(bool)> Answer) {
  if (OnPermissionRequest) OnPermissionRequest(Kind, std::move(Answer));
  else Answer(false);
}

void TBrowserControl::ConfirmInsecureProceed(const std::string& Host, std::function<void(bool)> Proceed) {
  if (OnInsecureProceed) OnInsecureProceed(Host, std::move(Proceed));
  else Proceed(false);
}

}  // namespace vorlane::browser
