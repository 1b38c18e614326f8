#include "shell/TabPlacement.h"

#include <cstddef>

namespace vorlane::shell {

int RelatedTabPosition(const std::vector<const void*>& Openers, const void* Opener, int OpenerIndex) {
  const int Count = static_cast<int>(Openers.size());
  int Position = OpenerIndex + 1;
  while (Opener && Position < Count && Openers[static_cast<std::size_t>(Position)] == Opener) ++Position;
  return Position;
}

}  // namespace vorlane::shell
