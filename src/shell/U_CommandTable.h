#pragma once
// The main window's commands and menus as data: one row per command, one node per menu
// entry. The window binds handlers to the rows; the menu model is built from the nodes.
#include "framework/ActionList.h"

#include <giomm/menu.h>

#include <string>
#include <vector>

namespace vorlane::shell {

// Every command of the main window, in the order of the command list.
const std::vector<framework::ActionInfo>& CommandTable();

// One entry of a menu: a command, a separator, a submenu, or an item that runs a plain
// action of the window's group (as the product site's entry does).
struct TMenuNode {
  enum class Kind { Command, Separator, Submenu, Action };
  Kind Type = Kind::Command;
  std::string Name;     // command or action name
  std::string Caption;  // submenu caption, or a caption other than the command's
  std::vector<TMenuNode> Items;
  std::string Icon;     // for Action items
};

struct TTopMenu {
  std::string Caption;  // "文件(&F)"
  std::vector<TMenuNode> Items;
};

// The main menu, left to right, without the favorites menu.
const std::vector<TTopMenu>& MainMenuLayout();
// Where the favorites menu goes into the main menu: third, after "编辑(&E)".
constexpr int FavoritesMenuIndex = 2;

// "文件(&F)" → "文件(_F)": the old hot-key marker in GTK's notation; "&&" is a literal "&".
std::string Mnemonic(const std::string& Caption);

// The menu model of Layout over the commands of Actions: separators split sections,
// each item names its action and carries the command's key.
Glib::RefPtr<Gio::Menu> BuildMenuModel(const std::vector<TTopMenu>& Layout,
                                       const framework::TActionList& Actions);

}  // namespace vorlane::shell
