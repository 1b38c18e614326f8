#pragma once
// Small rules the shell shares: which addresses the address bar shows, the load state of
// a progress report, and the addresses on the product's web site.
#include <cstdint>
#include <optional>
#include <string>

namespace vorlane::platform { class Registry; }

namespace vorlane::shell {

// Decides whether Url is shown in the address bar and cleans it in place: engine resource
// pages ("res…") and addresses without a dot are not shown; every "#破之" marker, in any
// letter case, is removed.
bool ShowableAddress(std::string& Url);

// The tab's load state (0..4) for an engine progress report.
int32_t LoadStateOf(int32_t Progress, int32_t ProgressMax);

// What Go does with typed text: text that begins with a Chinese character (its first
// byte a GBK lead byte) and text that is no address (words, a lone name, a path that does
// not exist) is searched on the product's site; addresses are loaded. PathExists tells
// whether the local path the text names exists; while that is not known, a local path
// gets AskDisk: look it up off the UI thread, then ask again.
enum class TGoTarget { Address, Search, AskDisk };
TGoTarget GoTargetOf(const std::string& Text, std::optional<bool> PathExists = std::nullopt);

// Addresses on the product's web site. The base address is the registry value "SiteUrl"
// of HKCU "Software\Vorlane" when present and not empty, else the built-in site.
class TProductSite {
public:
  static constexpr const char* BuiltInBase = "vorlane://home.vorlane";
  static constexpr const char* SearchPortal = "https://www.baidu.com/";

  TProductSite();
  explicit TProductSite(const platform::Registry& Registry);
  explicit TProductSite(std::string Base);

  const std::string& Base() const { return FBase; }
  std::string StartPage() const { return FBase + "/sea.html?ver=2.x"; }
  // The search page for Text, percent-encoded as UTF-8 so that "#", "&", "+" and "%"
  // stay part of the word.
  std::string SearchPage(const std::string& Text) const;
  std::string ProductPage() const { return FBase + "/?browserlink"; }

private:
  std::string FBase;
};

}  // namespace vorlane::shell
