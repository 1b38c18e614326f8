#pragma once
// The favorites menu's rules, without a display: which fixed entries the menu starts
// with, how one folder becomes entries (folders first, then shortcuts), how long captions
// are shortened and where the menu goes in the bar. The GTK menu (FavMenu) lists one
// folder at a time through ListFolder, when its submenu opens.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/IntShCut.h"

namespace vorlane::favorites {

enum class TMenuType { mtRoot, mtItem, mtFolder, mtEmptyFolder, mtAddFavorite, mtOrganizeFavorites,
                       mtImportFavorites, mtExportFavorites };

enum TFavOption : std::uint8_t {
  foAddFavorites = 1, foOrganizeFavorites = 2, foImportFavorites = 4, foExportFavorites = 8
};
using TFavOptions = std::uint8_t;

struct TLocalization {
  std::string AddFavoritesStr = "Add to Favorites";
  std::string OrganizeFavoritesStr = "Organize Favorites";
  std::string ImportFavoritesStr = "Import Favorites";
  std::string ExportFavoritesStr = "Export Favorites";
};

struct TMenuEntry {
  std::string Caption;  // as the file or the settings give it; the binding makes it literal
  TMenuType Type = TMenuType::mtItem;
  std::string Hint;     // the shortcut file or the folder (no trailing "/"); empty for fixed entries
  int ImageIndex = -1;
  bool Separator = false;
  bool operator==(const TMenuEntry&) const = default;
};

// Caption shortened to MaxWidth units of the GBK code page (a Chinese character counts
// two), then "..."; a character that would straddle the limit is dropped whole.
std::string ShortenCaption(std::string_view Caption, int MaxWidth);

class TFavoritesMenuModel {
public:
  // (MenuType, ImageIndex in and out); raised for every entry but separators.
  using TImageIndexEvent = std::function<void(TMenuType, int&)>;

  explicit TFavoritesMenuModel(std::string FavoritesFolder);

  TLocalization Localization;
  TFavOptions Options = foAddFavorites | foOrganizeFavorites;
  int MaxWidth = 50;
  std::string Caption;
  TResolveUrl ResolveUrl = TResolveUrl::IntShCut;
  TImageIndexEvent OnItemImageIndex;

  int MenuPoition() const { return FMenuPoition; }
  void SetMenuPoition(int Value) { FMenuPoition = Value; }
  // The 0-based index in a bar of BarCount entries; the corrected position is stored back.
  int InsertIndex(int BarCount);

  const std::string& FavoritesFolder() const { return FFavoritesFolder; }

  // The fixed block with its separators.
  std::vector<TMenuEntry> FixedEntries(bool IE5OrLater) const;
  // One folder: its subfolders (mtEmptyFolder when it cannot be opened), then its shortcuts.
  std::vector<TMenuEntry> ListFolder(const std::string& Folder) const;
  // The top level of the menu: the fixed block then the Favorites folder.
  std::vector<TMenuEntry> TopLevel(bool IE5OrLater) const;

private:
  TMenuEntry Make(std::string Caption, TMenuType Type, std::string Hint) const;

  std::string FFavoritesFolder;
  int FMenuPoition = 1;
};

}  // namespace vorlane::favorites
