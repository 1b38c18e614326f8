#include "favorites/FavMenuModel.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "favorites/IEUtils.h"
#include "favorites/UniqueFd.h"

namespace vorlane::favorites {

namespace {

// Length of the UTF-8 sequence that starts with Lead (1 for a stray byte).
std::size_t SequenceLength(unsigned char Lead) {
  if (Lead < 0x80) return 1;
  if ((Lead & 0xE0) == 0xC0) return 2;
  if ((Lead & 0xF0) == 0xE0) return 3;
  if ((Lead & 0xF8) == 0xF0) return 4;
  return 1;
}

std::string WithoutTrailingSlash(std::string Path) {
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  return Path;
}

// Base + "/" + Name in one allocation: a folder of thousands of entries makes one each.
std::string JoinPath(const std::string& Base, const std::string& Name) {
  std::string Path;
  Path.reserve(Base.size() + 1 + Name.size());
  return Path.append(Base).append(1, '/').append(Name);
}

}  // namespace

std::string ShortenCaption(std::string_view Caption, int MaxWidth) {
  // GBK keeps ASCII in one byte and every other character it has in two.
  std::size_t Width = 0, Cut = std::string_view::npos;
  const std::size_t Limit = MaxWidth < 0 ? 0 : static_cast<std::size_t>(MaxWidth);
  for (std::size_t I = 0; I < Caption.size();) {
    const auto Lead = static_cast<unsigned char>(Caption[I]);
    const std::size_t Units = Lead < 0x80 ? 1 : 2;
    if (Width + Units > Limit && Cut == std::string_view::npos) Cut = I;
    Width += Units;
    I += std::min(SequenceLength(Lead), Caption.size() - I);
  }
  if (Width <= Limit) return std::string(Caption);
  return std::string(Caption.substr(0, Cut)) + "...";
}

TFavoritesMenuModel::TFavoritesMenuModel(std::string FavoritesFolder)
    : FFavoritesFolder(std::move(FavoritesFolder)) {}

int TFavoritesMenuModel::InsertIndex(int BarCount) {
  if (FMenuPoition > BarCount + 1) FMenuPoition = BarCount + 1;
  else if (FMenuPoition <= 0) FMenuPoition = 1;
  return FMenuPoition - 1;
}

TMenuEntry TFavoritesMenuModel::Make(std::string Text, TMenuType Type, std::string Hint) const {
  TMenuEntry E{std::move(Text), Type, std::move(Hint), -1, false};
  if (OnItemImageIndex) OnItemImageIndex(Type, E.ImageIndex);
  return E;
}

std::vector<TMenuEntry> TFavoritesMenuModel::FixedEntries(bool IE5OrLater) const {
  std::vector<TMenuEntry> R;
  const TMenuEntry Separator{"-", TMenuType::mtRoot, {}, -1, true};
  if (Options & foAddFavorites) R.push_back(Make(Localization.AddFavoritesStr, TMenuType::mtAddFavorite, {}));
  if (Options & foOrganizeFavorites)
    R.push_back(Make(Localization.OrganizeFavoritesStr, TMenuType::mtOrganizeFavorites, {}));
  if (!R.empty()) R.push_back(Separator);
  if (IE5OrLater) {
    if (Options & foImportFavorites)
      R.push_back(Make(Localization.ImportFavoritesStr, TMenuType::mtImportFavorites, {}));
    if (Options & foExportFavorites)
      R.push_back(Make(Localization.ExportFavoritesStr, TMenuType::mtExportFavorites, {}));
    if (Options & (foImportFavorites | foExportFavorites)) R.push_back(Separator);
  }
  return R;
}

std::vector<TMenuEntry> TFavoritesMenuModel::ListFolder(const std::string& Folder) const {
  const std::string Base = WithoutTrailingSlash(Folder);
  TFavoritesListing L = ListFavoritesFolder(Base);
  std::vector<TMenuEntry> R;
  R.reserve(L.Folders.size() + L.Shortcuts.size());
  // Subfolders are checked relative to the folder: one name to look up each, not a path.
  const UniqueFd Dir(L.Folders.empty() ? -1 : ::open(Base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (std::string& Name : L.Folders) {
    // A folder that cannot be opened has nothing to list: it shows as an empty submenu.
    const bool CanOpen = Dir.Valid() && ::faccessat(Dir.Get(), Name.c_str(), R_OK | X_OK, 0) == 0;
    std::string Path = JoinPath(Base, Name);
    R.push_back(Make(std::move(Name), CanOpen ? TMenuType::mtFolder : TMenuType::mtEmptyFolder, std::move(Path)));
  }
  for (const std::string& Name : L.Shortcuts) {
    const std::string_view Title = std::string_view(Name).substr(0, Name.size() - 4);  // listed names end in ".url"
    R.push_back(Make(ShortenCaption(Title, MaxWidth), TMenuType::mtItem, JoinPath(Base, Name)));
  }
  return R;
}

std::vector<TMenuEntry> TFavoritesMenuModel::TopLevel(bool IE5OrLater) const {
  std::vector<TMenuEntry> R = FixedEntries(IE5OrLater);
  std::vector<TMenuEntry> Listed = ListFolder(FFavoritesFolder);
  R.insert(R.end(), std::make_move_iterator(Listed.begin()), std::make_move_iterator(Listed.end()));
  return R;
}

}  // namespace vorlane::favorites
