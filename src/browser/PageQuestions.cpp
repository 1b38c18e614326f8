#include "browser/PageQuestions.h"

#include <glib.h>

namespace vorlane::browser {

std::string PermissionQuestion(PagePermission Kind, const std::string& Site) {
  const char* Want = "读取剪贴板";
  switch (Kind) {
    case PagePermission::Geolocation: Want = "使用您的位置信息"; break;
    case PagePermission::Notifications: Want = "显示通知"; break;
    case PagePermission::CameraAndMicrophone: Want = "使用您的摄像头和麦克风"; break;
    case PagePermission::ReadClipboard: break;
  }
  return Site + " 想要" + Want;
}

std::string SiteForDisplay(const std::string& Url) {
  std::string Site = Url;
  if (GUri* Parsed = g_uri_parse(Url.c_str(), G_URI_FLAGS_NONE, nullptr)) {
    if (const char* Host = g_uri_get_host(Parsed); Host && *Host) Site = Host;
    g_uri_unref(Parsed);
  }
  return Site;
}

bool TPopupsHeldBack::Hold(const std::string& Url) {
  FUrls.push_back(Url);
  if (FUrls.size() > MaxKept) FUrls.pop_front();
  return ++FCount == 1;
}

std::vector<std::string> TPopupsHeldBack::TakeAll() {
  std::vector<std::string> Urls(FUrls.begin(), FUrls.end());
  Clear();
  return Urls;
}

void TPopupsHeldBack::Clear() {
  FUrls.clear();
  FCount = 0;
}

std::string TPopupsHeldBack::BarText() const {
  std::string Text = "已阻止此网站打开的弹出窗口";
  if (FCount > 1) Text += "（" + std::to_string(FCount) + " 个）";
  return Text;
}

}  // namespace vorlane::browser
