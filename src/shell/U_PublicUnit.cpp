#include "shell/U_PublicUnit.h"

#include "browser/UrlFixup.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"

#include <glib.h>
#include <cmath>
#include <memory>

namespace vorlane::shell {
namespace {

constexpr const char* Marker = "#破之";

// Case-insensitive search for an ASCII-cased pattern in UTF-8 text: only the ASCII part
// of the marker has case, so folding ASCII letters is exact.
size_t FindNoCase(const std::string& Text, const std::string& Pattern, size_t From) {
  auto Lower = [](unsigned char C) { return static_cast<char>(C < 0x80 ? g_ascii_tolower(C) : C); };
  for (size_t I = From; I + Pattern.size() <= Text.size(); ++I) {
    size_t J = 0;
    while (J < Pattern.size() && Lower(Text[I + J]) == Lower(Pattern[J])) ++J;
    if (J == Pattern.size()) return I;
  }
  return std::string::npos;
}

}  // namespace

bool ShowableAddress(std::string& Url) {
  if (Url.size() >= 3 && g_ascii_strncasecmp(Url.c_str(), "res", 3) == 0) return false;
  if (Url.find('.') == std::string::npos) return false;
  const std::string Pattern = Marker;
  for (size_t Pos = FindNoCase(Url, Pattern, 0); Pos != std::string::npos;
       Pos = FindNoCase(Url, Pattern, Pos))
    Url.erase(Pos, Pattern.size());
  return true;
}

int32_t LoadStateOf(int32_t Progress, int32_t ProgressMax) {
  if (ProgressMax == 0 || Progress == 0) return 4;
  // The nearest integer to Progress / ProgressMax × 10, halved with truncation toward zero.
  auto Tenths = static_cast<int64_t>(std::lround(static_cast<double>(Progress) / ProgressMax * 10.0));
  auto State = static_cast<int32_t>(Tenths / 2);
  return State > 4 ? 4 : State;
}

TGoTarget GoTargetOf(const std::string& Text, std::optional<bool> PathExists) {
  if (platform::StartsWithGbkLeadByte(Text)) return TGoTarget::Search;
  if (browser::LocalPathText(Text) && !PathExists) return TGoTarget::AskDisk;
  return browser::LooksLikeAddress(Text, PathExists.value_or(false)) ? TGoTarget::Address : TGoTarget::Search;
}

std::string TProductSite::SearchPage(const std::string& Text) const {
  std::unique_ptr<char, decltype(&g_free)> Escaped(g_uri_escape_string(Text.c_str(), nullptr, FALSE), &g_free);
  return FBase + "/search.html?word=" + (Escaped ? Escaped.get() : "");
}

TProductSite::TProductSite() : TProductSite(platform::Registry()) {}

TProductSite::TProductSite(const platform::Registry& Registry) {
  auto Value = Registry.ReadString(platform::RootKey::CurrentUser, "Software\\Vorlane", "SiteUrl");
  FBase = Value && !Value->empty() ? *Value : BuiltInBase;
  while (FBase.size() > 1 && FBase.back() == '/') FBase.pop_back();
}

TProductSite::TProductSite(std::string Base) : FBase(std::move(Base)) {}

}  // namespace vorlane::shell
