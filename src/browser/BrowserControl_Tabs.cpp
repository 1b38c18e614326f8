// What the page asks of the tabs around it: a link in a tab of its own, full screen.
#include "browser/BrowserControl.h"
#include "browser/LinkClicks.h"

namespace vorlane::browser {

bool TBrowserControl::OpenInNewTab(const std::string& Url, bool Foreground) {
  if (!OnOpenInNewTab || !MayOpenInNewTab(FEngine->LocationURL(), Url)) return false;
  OnOpenInNewTab(Url, Foreground);
  return true;
}

void TBrowserControl::FullScreenChange(bool On) {
  if (OnFullScreenChange) OnFullScreenChange(On);
}

}  // namespace vorlane::browser
