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

const char* EndText(browser::ProcessEnd Reason) {
  switch (Reason) {
    case browser::ProcessEnd::OutOfMemory: return "此网页占用的内存过多，显示它的进程已被结束。";
    case browser::ProcessEnd::EndedByRequest: return "显示此网页的进程已被结束。";
    case browser::ProcessEnd::Crashed: break;
  }
  return "显示此网页的进程意外结束了。";
}

const char* ReasonText(LoadFailure Reason) {
  switch (Reason) {
    case LoadFailure::Refused: return "服务器拒绝了连接。请检查地址，或者稍后再试。";
    case LoadFailure::UnknownHost: return "找不到服务器：这个网址的主机名无法解析。请检查地址是否输入正确。";
    case LoadFailure::TimedOut: return "连接服务器超时。请稍后再试。";
    case LoadFailure::Unreachable: return "无法连接到服务器所在的网络。请检查网络连接。";
    case LoadFailure::CannotShow: return "浏览器无法显示这个地址的内容。";
    case LoadFailure::RestrictedPort: return "出于安全原因，浏览器不访问这个端口。";
    case LoadFailure::NoSuchFile: return "找不到这个文件。";
    case LoadFailure::Blocked: return "这个网页已被阻止。";
    case LoadFailure::Insecure: return "无法与服务器建立安全连接：服务器的证书不可信。";
    case LoadFailure::Other: break;
  }
  return "打开网页时出错。";
}

}  // namespace

std::string LoadFailedPage(LoadFailure Reason, const std::string& Url, const std::string& Detail) {
  std::string Inner = std::string("<p>") + ReasonText(Reason) + "</p>\n<p class=\"url\">" + HtmlEscape(Url) + "</p>\n";
  if (!Detail.empty()) Inner += "<p class=\"url\">" + HtmlEscape(Detail) + "</p>\n";
  Inner += "<p><a class=\"button\" id=\"retry\" href=\"" + HtmlEscape(WithoutFragment(Url)) + "\">重试</a></p>";
  return Page("无法显示网页", Inner);
}

std::string UntrustedCertificatePage(const std::string& Url, const CertificateFaults& Faults,
                                     const CertificateDetails& Details, const std::string& ProceedUrl) {
  std::string Inner = "<p>无法与服务器建立安全连接：浏览器不信任这个网站的证书。有人可能在冒充这个网站，"
                      "窃取您输入的密码或其他信息。</p>\n<p class=\"url\">" + HtmlEscape(Url) + "</p>\n<ul id=\"faults\">";
  auto Fault = [&Inner](bool Present, const char* Text) {
    if (Present) Inner += std::string("<li>") + Text + "</li>";
  };
  Fault(Faults.Expired, "证书已过期。");
  Fault(Faults.NotYetValid, "证书尚未生效（也可能是这台电脑的时钟不准）。");
  Fault(Faults.WrongHost, "证书是为其他网站签发的，与这个网址的主机名不符。");
  Fault(Faults.SelfSigned, "证书是服务器自己签发的（自签名），无法证明网站的身份。");
  Fault(Faults.UnknownIssuer && !Faults.SelfSigned, "签发证书的机构不受信任。");
  Fault(Faults.Revoked, "证书已被签发机构吊销。");
  Fault(Faults.WeakAlgorithm, "证书使用了不安全的加密算法。");
  const bool Named = Faults.Expired || Faults.NotYetValid || Faults.WrongHost || Faults.SelfSigned ||
                     Faults.UnknownIssuer || Faults.Revoked || Faults.WeakAlgorithm;
  Fault(!Named, "证书无效。");
  Inner += "</ul>\n<p class=\"url\">颁发给：" + HtmlEscape(Details.Subject) + "<br>颁发者：" +
           HtmlEscape(Details.Issuer) + "<br>有效期：" + HtmlEscape(Details.ValidFrom) + " 至 " +
           HtmlEscape(Details.ValidUntil) + "</p>\n";
  Inner += "<p><a class=\"button\" id=\"retry\" href=\"" + HtmlEscape(WithoutFragment(Url)) +
           "\">重试</a> <a id=\"proceed\" href=\"" + HtmlEscape(ProceedUrl) + "\">继续前往（不安全）</a></p>";
  return Page("无法显示网页", Inner);
}

std::string WithoutFragment(const std::string& Url) { return Url.substr(0, Url.find('#')); }

std::string ProcessEndedPage(browser::ProcessEnd Reason, const std::string& Url, std::size_t Others) {
  std::string Inner = std::string("<p>") + EndText(Reason) +
                      (Others ? "此网站的其他 " + std::to_string(Others) + " 个网页也已停止。" : "其他网页不受影响。") +
                      "</p>\n";
  if (!Url.empty()) {
    Inner += "<p class=\"url\">" + HtmlEscape(Url) + "</p>\n<p><a class=\"button\" id=\"reload\" href=\"" +
             HtmlEscape(WithoutFragment(Url)) + "\">重新载入</a></p>";
  }
  return Page("网页已停止运行", Inner);
}

std::string OfflinePage(const std::string& Url, const std::string& GoOnlineUrl) {
  std::string Inner = "<p>浏览器正在脱机工作，无法从网络打开这个网页。联机工作后即可打开。</p>\n<p class=\"url\">" +
                      HtmlEscape(Url) + "</p>\n<p><a class=\"button\" id=\"go-online\" href=\"" +
                      HtmlEscape(GoOnlineUrl) + "\">联机工作并重新载入</a></p>";
  return Page("当前处于脱机状态", Inner);
}

std::string EmptyAddressPage() {
  return Page("无法显示网页", "<p>地址是空的。请在地址栏输入要访问的网址。</p>");
}

}  // namespace vorlane::engine
