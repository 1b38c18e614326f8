#pragma once
#include <string>

namespace vorlane::shell {

// One closed page.
struct TUndoItem {
  std::string Title;
  std::string Url;
  double ClosedAt = 0;  // local date and time: days since 1899-12-30 and fraction of a day
};

// The present local date and time in the form of TUndoItem::ClosedAt.
double NowAsDateTime();

}  // namespace vorlane::shell
