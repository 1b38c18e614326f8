#include "shell/HabitKeys.h"

namespace vorlane::shell {

const std::vector<THabitKey>& HabitKeys() {
  static const std::vector<THabitKey> Keys = [] {
    std::vector<THabitKey> K = {
        {"<Control>r", THabit::Command, "Ac_Refresh"},
        {"<Control><Shift>t", THabit::Command, "Ac_UnDo"},
        {"<Control>u", THabit::Command, "Ac_ViewSource"},
        {"<Control>d", THabit::AddFavorite},
        {"F11", THabit::FullScreen},
        {"Escape", THabit::LeaveFullScreen},
        {"F12", THabit::Inspector},
        {"<Control><Shift>i", THabit::Inspector},
    };
    for (int Digit = 1; Digit <= 9; ++Digit)
      K.push_back({"<Control>" + std::to_string(Digit), THabit::SelectTab, {}, Digit});
    return K;
  }();
  return Keys;
}

int TabOfDigit(int Digit, int Count) {
  if (Count <= 0 || Digit < 1 || Digit > 9) return -1;
  if (Digit == 9) return Count - 1;
  return Digit <= Count ? Digit - 1 : -1;
}

}  // namespace vorlane::shell
