#include "framework/MdiFrame.h"

namespace vorlane::framework {

MdiFrame::MdiFrame() {
  set_hexpand(true);
  set_vexpand(true);
  set_transition_type(Gtk::StackTransitionType::NONE);
}

void MdiFrame::ShowAndActivate(IMdiChild* Child) {
  if (!Child) return;
  if (!FOrder.Contains(Child)) add(Child->ChildWidget());
  if (FOrder.Active() == Child) {
    set_visible_child(Child->ChildWidget());
    return;
  }
  Activate(Child);
}

void MdiFrame::RemoveChild(IMdiChild* Child) {
  if (!FOrder.Contains(Child)) return;
  bool WasActive = FOrder.Active() == Child;
  IMdiChild* Next = FOrder.Remove(Child);
  remove(Child->ChildWidget());
  if (WasActive && Next) {
    FOrder.Activate(Next);  // keeps its place at the front
    set_visible_child(Next->ChildWidget());
    Next->ChildActivated();
  }
}

void MdiFrame::Clear() {
  while (IMdiChild* Child = FOrder.Active()) {
    FOrder.Remove(Child);
    remove(Child->ChildWidget());
  }
}

void MdiFrame::Activate(IMdiChild* Child) {
  FOrder.Activate(Child);
  set_visible_child(Child->ChildWidget());
  Child->ChildActivated();
}

}  // namespace vorlane::framework
