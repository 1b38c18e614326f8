#include "shell/BrowserOptions.h"

#include "platform/Registry.h"

namespace vorlane::shell {

namespace {
constexpr const char* OptionsKey = "Software\\Vorlane";
}

bool TBrowserOptions::Read(const std::string& Name, bool Default) const {
  auto Value = FRegistry.ReadString(platform::RootKey::CurrentUser, OptionsKey, Name);
  if (Value == "1") return true;
  if (Value == "0") return false;
  return Default;  // missing, or written by hand as something else
}

bool TBrowserOptions::Write(const std::string& Name, bool On) {
  return FRegistry.WriteString(platform::RootKey::CurrentUser, OptionsKey, Name, On ? "1" : "0");
}

}  // namespace vorlane::shell
