#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vorlane::shell {

// One closed page.
struct TUndoItem {
  std::string Title;
  std::string Url;
  double ClosedAt = 0;  // local date and time: days since 1899-12-30 and fraction of a day
  std::vector<uint8_t> History;  // the engine's saved Back/Forward list, if it had one
  int Position = -1;  // where its tab was
};

// The present local date and time in the form of TUndoItem::ClosedAt.
double NowAsDateTime();

}  // namespace vorlane::shell
