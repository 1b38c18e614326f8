#include "navigation/IEAddress.h"

namespace vorlane::navigation {

TIEAddress::TIEAddress() {
  set_name("cobAddress");
  set_hexpand(true);
  signal_activate().connect([this] { Commit(); });
}

void TIEAddress::SetCurrentUrl(const std::string& Url) {
  FCurrentUrl = Url;
  set_text(Url);
}

void TIEAddress::Commit() {
  FCurrentUrl = get_text();
  FUrlSelected.emit(FCurrentUrl);
}

}  // namespace vorlane::navigation
