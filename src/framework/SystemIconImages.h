#pragma once
// The drawing side of platform::SystemIcons: a Gio icon for an index, made once and
// reused (rows of a long list rebind often). One per widget that draws the list.
#include "platform/SystemIcons.h"

#include <giomm/icon.h>

#include <unordered_map>

namespace vorlane::framework {

class TSystemIconImages {
public:
  explicit TSystemIconImages(platform::SystemIcons& Icons = platform::SystemIcons::Shared()) : FIcons(Icons) {}
  // The themed icon at Index (falling back along its names); null for NoIcon.
  Glib::RefPtr<Gio::Icon> Icon(int Index);

private:
  platform::SystemIcons& FIcons;
  std::unordered_map<int, Glib::RefPtr<Gio::Icon>> FMade;
};

}  // namespace vorlane::framework
