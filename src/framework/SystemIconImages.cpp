#include "framework/SystemIconImages.h"

#include <giomm/themedicon.h>

namespace vorlane::framework {

Glib::RefPtr<Gio::Icon> TSystemIconImages::Icon(int Index) {
  if (Index < 0) return {};
  auto It = FMade.find(Index);
  if (It != FMade.end()) return It->second;
  auto Names = FIcons.Names(Index);
  if (Names.empty()) return {};
  auto Themed = Gio::ThemedIcon::create(Names.front());
  for (std::size_t I = 1; I < Names.size(); ++I) Themed->append_name(Names[I]);
  FMade.emplace(Index, Themed);
  return Themed;
}

}  // namespace vorlane::framework
