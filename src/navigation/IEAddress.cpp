#include "navigation/IEAddress.h"

#include <gtkmm/root.h>

namespace vorlane::navigation {

TIEAddress::TIEAddress() {
  set_name("cobAddress");
  set_hexpand(true);
  signal_activate().connect([this] { Commit(); });
  signal_changed().connect([this] {
    if (!FSettingText) FUserEdited = true;
  });
}

bool TIEAddress::HasFocusWithin() const {
  auto* Self = const_cast<TIEAddress*>(this);
  auto* Root = Self->get_root();
  const Gtk::Widget* Focus = Root ? Root->get_focus() : nullptr;
  return Focus && (Focus == this || Focus->is_ancestor(*Self));
}

void TIEAddress::SetCurrentUrl(const std::string& Url, bool Always) {
  FCurrentUrl = Url;
  if (!Always && FUserEdited && HasFocusWithin()) return;
  FUserEdited = false;
  FSettingText = true;
  set_text(Url);
  FSettingText = false;
}

void TIEAddress::Commit() {
  FUserEdited = false;
  FCurrentUrl = get_text();
  FUrlSelected.emit(FCurrentUrl);
}

}  // namespace vorlane::navigation
