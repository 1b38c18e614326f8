#include "engine/NoticePages.h"

#include "engine/SitePages.h"

namespace vorlane::engine {
namespace {

// Self-contained: the page is shown under another site's address, so it can rely on
// nothing but itself (no script either: scripts may be switched off).
constexpr const char* Style =
    "body{margin:0;font-family:'Noto Sans CJK SC','WenQuanYi Zen Hei',sans-serif;"
    "background:#f4f6f9;color:#1f2933;line-height:1.6}"
    ".box{max-width:560px;margin:12vh auto 0;padding:24px 28px;background:#fff;"
    "border:1px solid #dde3ea;border-radius:8px}"
    "h1{margin:0 0 8px;font-size:20px;font-weight:600}"
    ".url{color:#6b7785;font-size:13px;word-break:break-all}"
    ".button{display:inline-block;margin-top:8px;padding:8px 20px;color:#fff;"
    "background:#2f6fde;border-radius:6px;text-decoration:none}";

std::string Page(const std::string& Title, const std::string& Inner) {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" + Title +
         "</title><style>" + Style + "</style></head>\n<body><div class=\"box\">\n<h1>" + Title +
         "</h1>\n" + Inner + "\n</div></body></html>\n";
}

const char* ReasonText(browser::ProcessEnd Reason) {
  switch (Reason) {
    case browser::ProcessEnd::OutOfMemory: return "此网页占用的内存过多，显示它的进程已被结束。";
    case browser::ProcessEnd::EndedByRequest: return "显示此网页的进程已被结束。";
    case browser::ProcessEnd::Crashed: break;
  }
  return "显示此网页的进程意外结束了。";
}

}  // namespace

std::string WithoutFragment(const std::string& Url) { return Url.substr(0, Url.find('#')); }

std::string ProcessEndedPage(browser::ProcessEnd Reason, const std::string& Url) {
  std::string Inner = std::string("<p>") + ReasonText(Reason) + "其他网页不受影响。</p>\n";
  if (!Url.empty()) {
    Inner += "<p class=\"url\">" + HtmlEscape(Url) + "</p>\n<p><a class=\"button\" id=\"reload\" href=\"" +
             HtmlEscape(WithoutFragment(Url)) + "\">重新载入</a></p>";
  }
  return Page("网页已停止运行", Inner);
}

std::string EmptyAddressPage() {
  return Page("无法显示网页", "<p>地址是空的。请在地址栏输入要访问的网址。</p>");
}

}  // namespace vorlane::engine
