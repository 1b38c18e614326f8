// What a page asks of the tabs: a link in a tab of its own, the whole screen.
#include "shell/U_WebForm.h"

namespace vorlane::shell {

void TFrmWeb::BindTabRequests() {
  WebBrowser->OnOpenInNewTab = [this](const std::string& Url, bool Foreground) {
    FHost.OpenLinkInNewTab(Url, Foreground);
  };
  WebBrowser->OnFullScreenChange = [this](bool On) { FHost.PageFullScreen(this, On); };
}

}  // namespace vorlane::shell
