#include "platform/SaveTrouble.h"

namespace vorlane::platform {

std::string KeptDataName(TKeptData What) {
  switch (What) {
    case TKeptData::Settings: return "设置";
    case TKeptData::History: return "历史记录和下载记录";
    case TKeptData::Session: return "打开的网页";
  }
  return {};
}

std::string SaveTroubleText(TKeptData What) {
  return "无法保存" + KeptDataName(What) + "，磁盘可能已满。\n已保存的数据不受影响；浏览器会继续运行，并在可以保存时自动保存。";
}

void TSaveTrouble::Report(TKeptData What, const std::optional<std::string>& Failure) {
  std::function<void(const std::string&, const std::string&)> Tell;
  {
    std::lock_guard Hold(FLock);
    if (!Failure) {
      FFailing.erase(What);
      return;
    }
    // Only the first failure of a trouble is told: the others have the same cause.
    if (!FFailing.empty()) {
      FFailing.insert(What);
      return;
    }
    FFailing.insert(What);
    Tell = FTell;
  }
  if (Tell) Tell(SaveTroubleText(What), *Failure);
}

void TSaveTrouble::SetTell(std::function<void(const std::string&, const std::string&)> Tell) {
  std::lock_guard Hold(FLock);
  FTell = std::move(Tell);
}

bool TSaveTrouble::Troubled() const {
  std::lock_guard Hold(FLock);
  return !FFailing.empty();
}

}  // namespace vorlane::platform
