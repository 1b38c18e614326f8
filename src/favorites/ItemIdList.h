#pragma once
// Shell item-ID lists in the old platform's byte format: a sequence of items, each
// starting with a 16-bit little-endian byte count that includes the count itself, ended
// by a 16-bit zero. Lists are plain byte blocks owned through PidlPtr.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace vorlane::favorites {

struct PidlFree {
  void operator()(std::uint8_t* P) const { std::free(P); }
};
using PidlPtr = std::unique_ptr<std::uint8_t, PidlFree>;

// The byte count of the item at Item (0 at the terminator).
std::uint16_t PidlItemSize(const std::uint8_t* Item);

// The item after Item. A count below 2 cannot describe an item; it is read as the end,
// so that a damaged list can never make a walk loop.
const std::uint8_t* NextPidlItem(const std::uint8_t* Item);
std::uint8_t* NextPidlItem(std::uint8_t* Item);

// Total bytes including the 2-byte terminator; 0 for a null list.
std::size_t PidlSize(const std::uint8_t* List);

// A zero-filled block, or null when there is no memory for it.
PidlPtr AllocPidl(std::size_t Size);

// Gives a list back; a null list is ignored.
void FreePidl(PidlPtr& List);

// A copy of the whole list (null for a null list).
PidlPtr CopyPidl(const std::uint8_t* List);

// One new list: First without its terminator, then the whole of Second. A null First counts
// as empty; a null Second as an empty list.
PidlPtr ConcatPidls(const std::uint8_t* First, const std::uint8_t* Second);

// Ends the list before its last item (in place); a null or empty list is left alone.
void StripLastPidlItem(std::uint8_t* List);

}  // namespace vorlane::favorites
