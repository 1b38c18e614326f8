#include "browser/HostRules.h"

#include <gdk/gdkkeysyms.h>

namespace vorlane::browser {

bool KeyOfferedToEngine(unsigned Key) {
  switch (Key) {
    case GDK_KEY_BackSpace:
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
    case GDK_KEY_Left:
    case GDK_KEY_Right:
      return false;
    default:
      return true;
  }
}

std::optional<std::string> ItemIdListPath(const uint8_t* List, size_t Size) {
  if (!List) return std::nullopt;
  std::string Path;
  size_t At = 0;
  while (true) {
    if (At + 2 > Size) return std::nullopt;  // no terminator inside the block
    size_t Count = List[At] | (List[At + 1] << 8);
    if (Count == 0) break;
    if (Count < 2 || At + Count > Size) return std::nullopt;
    std::string Part(reinterpret_cast<const char*>(List + At + 2), Count - 2);
    if (Part.find('\0') != std::string::npos) return std::nullopt;
    if (!Part.empty() && Part != "/") {
      if (Part.front() != '/' && (Path.empty() || Path.back() != '/')) Path += '/';
      Path += Part;
    }
    At += Count;
  }
  if (Path.empty()) return std::nullopt;
  return Path;
}

}  // namespace vorlane::browser
