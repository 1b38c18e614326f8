#pragma once
// The closed-page list: newest first, bounded, owning its entries.
#include "shell/U_PublicInterface.h"

#include <memory>
#include <vector>

namespace vorlane::shell {

class TPageUndoList : public IPageUndoList {
public:
  TUndoItem* Add(const TUndoItem& Item) override;
  void Remove(TUndoItem* Entry) override;
  TUndoItem* Items(int32_t Index) override;
  int32_t Count() override { return static_cast<int32_t>(FItems.size()); }
  int32_t Capacity() override { return FCapacity; }
  void SetCapacity(int32_t Value) override;

private:
  void DropOldest();
  std::vector<std::unique_ptr<TUndoItem>> FItems;  // newest at 0
  int32_t FCapacity = 0;
};

}  // namespace vorlane::shell
