// What a page asks of the user, shown as bars above it: windows it tried to open without
// a click, permissions it wants, and going on past an untrusted certificate.
#include "shell/U_WebForm.h"

#include "browser/SitePermissions.h"
#include "platform/Dialogs.h"

#include <glibmm/main.h>

namespace vorlane::shell {

using browser::SiteDecision;
using browser::SiteQuestion;

void TFrmWeb::BindQuestions() {
  WebBrowser->OnNewWindowRequest = [this](auto& Url, bool Gesture) { return NewWindowRequest(Url, Gesture); };
  WebBrowser->OnPermissionRequest = [this](auto Kind, auto Answer) { PermissionRequest(Kind, std::move(Answer)); };
  WebBrowser->OnInsecureProceed = [this](auto& Host, auto Proceed) { InsecureProceed(Host, std::move(Proceed)); };
  WebBrowser->OnCertificateStateChange = [this](bool Untrusted) {
    FUntrusted = Untrusted;
    if (IsActivePage()) FMain.SetPageUntrusted(Untrusted);
  };
}

std::vector<framework::TNoticeBar*> TFrmWeb::NoticeBars() const {
  std::vector<framework::TNoticeBar*> Shown;
  for (auto& Bar : FNoticeBars)
    if (!Bar->Closed()) Shown.push_back(Bar.get());
  return Shown;
}

framework::TNoticeBar& TFrmWeb::AddNoticeBar(const std::string& Text) {
  FNoticeBars.push_back(std::make_unique<framework::TNoticeBar>(Text));
  framework::TNoticeBar& Bar = *FNoticeBars.back();
  FBars.append(Bar);
  // Closed bars go once the click that closed them is over.
  Bar.OnClosed = [this] {
    if (FBarsReap.connected()) return;
    FBarsReap = Glib::signal_idle().connect([this] {
      std::erase_if(FNoticeBars, [this](auto& B) {
        if (!B->Closed()) return false;
        FBars.remove(*B);
        return true;
      });
      return false;
    });
  };
  return Bar;
}

void TFrmWeb::CloseNoticeBars() {
  FPopups.Clear();
  FPopupBar = nullptr;
  for (auto& Bar : FNoticeBars) Bar->Dismiss();
}

bool TFrmWeb::NewWindowRequest(const std::string& Url, bool UserGesture) {
  if (UserGesture) return true;
  browser::TSitePermissions* Sites = FHost.SitePermissions();
  const std::string Page = GetUrl();
  if (Sites && Sites->Decision(SiteQuestion::Popups, Page) == SiteDecision::Allow) return true;
  // One bar for a burst: later attempts only raise its count.
  if (!FPopups.Hold(Url) && FPopupBar) {
    FPopupBar->SetText(FPopups.BarText());
    return false;
  }
  FPopupBar = &AddNoticeBar(FPopups.BarText());
  FPopupBar->OnDismissed = [this] {
    FPopups.Clear();
    FPopupBar = nullptr;
  };
  FPopupBar->AddButton("显示", [this] {
    FPopupBar = nullptr;
    for (auto& Held : FPopups.TakeAll()) Navigate(Held, true);
  });
  FPopupBar->AddButton("总是允许此网站", [this, Page] {
    FPopupBar = nullptr;
    FPopups.Clear();
    if (auto* Sites = FHost.SitePermissions()) Sites->Remember(SiteQuestion::Popups, Page, SiteDecision::Allow);
  });
  return false;
}

void TFrmWeb::PermissionRequest(browser::PagePermission Kind, std::function<void(bool)> Answer) {
  browser::TSitePermissions* Sites = FHost.SitePermissions();
  const std::string Page = GetUrl();
  const SiteQuestion Question = browser::QuestionOf(Kind);
  SiteDecision Known = Sites ? Sites->Decision(Question, Page) : SiteDecision::Ask;
  if (Known != SiteDecision::Ask) return Answer(Known == SiteDecision::Allow);
  auto Shared = std::make_shared<std::function<void(bool)>>(std::move(Answer));
  auto Decide = [this, Page, Question, Shared](bool Allow) {
    if (auto* Sites = FHost.SitePermissions())
      Sites->Remember(Question, Page, Allow ? SiteDecision::Allow : SiteDecision::Deny);
    (*Shared)(Allow);
  };
  auto& Bar = AddNoticeBar(browser::PermissionQuestion(Kind, browser::SiteForDisplay(Page)));
  Bar.AddButton("允许", [Decide] { Decide(true); });
  Bar.AddButton("拒绝", [Decide] { Decide(false); });
  // Closed without an answer: refused this time, asked again next time.
  Bar.OnDismissed = [Shared] { (*Shared)(false); };
}

void TFrmWeb::InsecureProceed(const std::string& Host, std::function<void(bool)> Proceed) {
  platform::IDialogs* Dialogs = FHost.Dialogs();
  if (!Dialogs) return Proceed(false);
  Dialogs->ShowMessage(platform::MessageKind::Warning, "安全警告",
                       "浏览器不信任 " + Host +
                           " 的证书。继续前往可能使您输入的密码或其他信息被窃取。\n\n"
                           "确实要继续前往这个网站吗？在您关闭浏览器之前，将不再为此网站的这个证书发出警告。",
                       platform::MessageButtons::OkCancel,
                       [Proceed = std::move(Proceed)](platform::MessageResult Result) {
                         Proceed(Result == platform::MessageResult::Ok);
                       });
}

}  // namespace vorlane::shell
