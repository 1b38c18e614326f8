#pragma once
// Keys users bring from other browsers, beside the command table's own: second keys for
// commands that have one (Ctrl+R as F5) and keys for the window's own operations. Data and
// rules only; the main window binds them.
#include <string>
#include <vector>

namespace vorlane::shell {

enum class THabit {
  Command,      // runs the command named in THabitKey::Command
  AddFavorite,  // the favorites menu's add dialog for the active page
  SelectTab,    // Ctrl+1…Ctrl+9
  FullScreen,   // enters or leaves full screen
  LeaveFullScreen,  // only while full screen; otherwise the key goes on (Esc stops loading)
  Inspector,    // the page's web inspector
};

struct THabitKey {
  std::string Trigger;  // GTK trigger, "<Control>r"
  THabit Habit = THabit::Command;
  std::string Command;  // for THabit::Command
  int Digit = 0;        // for THabit::SelectTab
};

const std::vector<THabitKey>& HabitKeys();

// The tab Ctrl+Digit selects among Count tabs: 1…8 that tab when it exists, 9 the last;
// -1 when there is none.
int TabOfDigit(int Digit, int Count);

}  // namespace vorlane::shell
