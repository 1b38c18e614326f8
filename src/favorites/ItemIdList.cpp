#include "favorites/ItemIdList.h"

#include <cstring>

namespace vorlane::favorites {

std::uint16_t PidlItemSize(const std::uint8_t* Item) {
  if (!Item) return 0;
  std::uint16_t Size = static_cast<std::uint16_t>(Item[0] | (Item[1] << 8));
  return Size < 2 ? 0 : Size;
}

const std::uint8_t* NextPidlItem(const std::uint8_t* Item) {
  std::uint16_t Size = PidlItemSize(Item);
  return Size == 0 ? Item : Item + Size;
}

std::uint8_t* NextPidlItem(std::uint8_t* Item) {
  return const_cast<std::uint8_t*>(NextPidlItem(static_cast<const std::uint8_t*>(Item)));
}

std::size_t PidlSize(const std::uint8_t* List) {
  if (!List) return 0;
  std::size_t Size = 2;
  for (const std::uint8_t* Item = List; PidlItemSize(Item) != 0; Item = NextPidlItem(Item))
    Size += PidlItemSize(Item);
  return Size;
}

PidlPtr AllocPidl(std::size_t Size) {
  return PidlPtr(static_cast<std::uint8_t*>(std::calloc(Size == 0 ? 1 : Size, 1)));
}

void FreePidl(PidlPtr& List) { List.reset(); }

PidlPtr CopyPidl(const std::uint8_t* List) {
  if (!List) return nullptr;
  std::size_t Size = PidlSize(List);
  PidlPtr Copy = AllocPidl(Size);
  if (Copy) {
    std::memcpy(Copy.get(), List, Size - 2);  // the terminator is already zero
  }
  return Copy;
}

PidlPtr ConcatPidls(const std::uint8_t* First, const std::uint8_t* Second) {
  std::size_t FirstBytes = First ? PidlSize(First) - 2 : 0;
  std::size_t SecondBytes = Second ? PidlSize(Second) : 2;
  PidlPtr Result = AllocPidl(FirstBytes + SecondBytes);
  if (!Result) return nullptr;
  if (FirstBytes) std::memcpy(Result.get(), First, FirstBytes);
  if (Second) std::memcpy(Result.get() + FirstBytes, Second, SecondBytes - 2);
  return Result;
}

void StripLastPidlItem(std::uint8_t* List) {
  if (!List || PidlItemSize(List) == 0) return;
  std::uint8_t* Last = List;
  for (std::uint8_t* Item = List; PidlItemSize(Item) != 0; Item = NextPidlItem(Item)) Last = Item;
  Last[0] = Last[1] = 0;
}

}  // namespace vorlane::favorites
