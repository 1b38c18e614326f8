#pragma once
// The browser's own options, kept in the registry file under HKCU\Software\Vorlane so that
// they outlive the run (unlike the download switches, which every start resets).
#include <string>

namespace vorlane::platform { class Registry; }

namespace vorlane::shell {

class TBrowserOptions {
public:
  explicit TBrowserOptions(platform::Registry& Registry) : FRegistry(Registry) {}

  // "启动时打开上次的网页": every start reopens the pages of the last run. Off by default.
  bool RestoreLastPages() const { return Read("RestoreLastPages", false); }
  bool SetRestoreLastPages(bool On) { return Write("RestoreLastPages", On); }
  // "下载前询问保存位置": a save dialog for every download instead of the download folder.
  bool AskWhereToSave() const { return Read("AskWhereToSave", false); }
  bool SetAskWhereToSave(bool On) { return Write("AskWhereToSave", On); }
  // Quitting with several pages open asks first, until the user ticks "不再询问".
  bool ConfirmCloseAll() const { return Read("ConfirmCloseAll", true); }
  bool SetConfirmCloseAll(bool On) { return Write("ConfirmCloseAll", On); }

private:
  bool Read(const std::string& Name, bool Default) const;
  bool Write(const std::string& Name, bool On);

  platform::Registry& FRegistry;
};

}  // namespace vorlane::shell
