#include "shell/U_UndoList.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace vorlane::shell {

double NowAsDateTime() {
  std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  // Days from 1899-12-30 to the local date, then the fraction of the day.
  std::tm Epoch{};
  Epoch.tm_year = -1;  // 1899
  Epoch.tm_mon = 11;
  Epoch.tm_mday = 30;
  std::tm Day = Local;
  Day.tm_hour = Day.tm_min = Day.tm_sec = 0;
  Day.tm_isdst = 0;
  double Days = std::round(std::difftime(timegm(&Day), timegm(&Epoch)) / 86400.0);
  return Days + (Local.tm_hour * 3600 + Local.tm_min * 60 + Local.tm_sec) / 86400.0;
}

TUndoItem* TPageUndoList::Add(const TUndoItem& Item) {
  auto Entry = std::make_unique<TUndoItem>(Item);
  if (Count() >= FCapacity && !FItems.empty()) DropOldest();
  FItems.insert(FItems.begin(), std::move(Entry));
  return FItems.front().get();
}

void TPageUndoList::Remove(TUndoItem* Entry) {
  std::erase_if(FItems, [Entry](const auto& E) { return E.get() == Entry; });
}

TUndoItem* TPageUndoList::Items(int32_t Index) {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(Index)].get();
}

void TPageUndoList::SetCapacity(int32_t Value) {
  if (Value == FCapacity) return;
  FCapacity = Value;
  while (Count() > std::max(FCapacity, 0)) DropOldest();
}

void TPageUndoList::DropOldest() { FItems.pop_back(); }

}  // namespace vorlane::shell
