// Addresses that come from the desktop: links opened from other programs.
#include "shell/U_FrmMain.h"

namespace vorlane::shell {

void TFrmMain::OpenAddressPages(const std::vector<std::string>& Urls) {
  if (Urls.empty()) return;
  NewPage(Urls.front(), true);
  // A background page's tab goes directly right of the selected one, so the rest are
  // opened last first to keep them in the order given.
  for (size_t I = Urls.size(); I-- > 1;) NewPage(Urls[I], false);
}

void TFrmMain::OpenAddresses(const std::vector<std::string>& Urls, const std::string& StartupId) {
  if (Urls.empty()) return;
  OpenAddressPages(Urls);
  // Without the token the window manager may refuse to raise a window that another
  // program's click asked for.
  if (!StartupId.empty()) set_startup_id(StartupId);
  present();
}

}  // namespace vorlane::shell
