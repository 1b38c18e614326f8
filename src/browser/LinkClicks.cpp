#include "browser/LinkClicks.h"

#include <cctype>

namespace vorlane::browser {

LinkOpening LinkOpeningOf(unsigned Button, bool Control, bool Shift) {
  const bool NewTab = Button == 2 || (Button == 1 && Control);
  if (!NewTab) return LinkOpening::Here;
  return Shift ? LinkOpening::ForegroundTab : LinkOpening::BackgroundTab;
}

namespace {

std::string SchemeOf(const std::string& Url) {
  const auto Colon = Url.find(':');
  if (Colon == std::string::npos || Colon == 0) return {};
  std::string Scheme;
  for (char C : Url.substr(0, Colon)) {
    if (!std::isalnum(static_cast<unsigned char>(C)) && C != '+' && C != '-' && C != '.') return {};
    Scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  }
  return Scheme;
}

}  // namespace

bool MayOpenInNewTab(const std::string& PageUrl, const std::string& Link) {
  const std::string Scheme = SchemeOf(Link);
  if (Scheme == "http" || Scheme == "https" || Scheme == "vorlane") return true;
  return Scheme == "file" && SchemeOf(PageUrl) == "file";
}

}  // namespace vorlane::browser
