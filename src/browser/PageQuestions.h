#pragma once
// The bars a page shows above itself when it tried something the user decides about:
// windows held back, permissions asked. The texts and the held-back windows, without
// any widget.
#include "browser/WebEngine.h"

#include <deque>
#include <string>
#include <vector>

namespace vorlane::browser {

// "example.com 想要使用您的位置信息"; Site as the user reads it (a host name).
std::string PermissionQuestion(PagePermission Kind, const std::string& Site);

// The host name of Url for the bars, or the whole address when it has none.
std::string SiteForDisplay(const std::string& Url);

// The windows a page tried to open without a click, as the popup bar tells of them.
class TPopupsHeldBack {
public:
  static constexpr size_t MaxKept = 5;

  // Returns true for the first one since the bar was last cleared (the bar appears).
  bool Hold(const std::string& Url);
  // The kept addresses, oldest first; the bar is cleared.
  std::vector<std::string> TakeAll();
  void Clear();

  int Count() const { return FCount; }
  // "已阻止此网站打开的弹出窗口", with the count once there is more than one.
  std::string BarText() const;

private:
  std::deque<std::string> FUrls;
  int FCount = 0;
};

}  // namespace vorlane::browser
