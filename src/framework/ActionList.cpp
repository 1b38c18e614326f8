#include "framework/ActionList.h"

#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcuttrigger.h>
#include <stdexcept>

namespace vorlane::framework {

TAction::TAction(TActionList& Owner, ActionInfo Info)
    : FOwner(Owner), FInfo(std::move(Info)), FChecked(FInfo.Checked) {
  FAction = FInfo.AutoCheck ? Gio::SimpleAction::create_bool(FInfo.Name, FChecked)
                            : Gio::SimpleAction::create(FInfo.Name);
  FAction->signal_activate().connect([this](const Glib::VariantBase&) { Execute(); });
}

std::string TAction::DetailedName() const { return FOwner.GroupName() + "." + FInfo.Name; }

bool TAction::Enabled() const { return FAction->get_enabled(); }
void TAction::SetEnabled(bool Enabled) { FAction->set_enabled(Enabled); }

void TAction::SetChecked(bool Checked) {
  if (Checked && FInfo.GroupIndex != 0) FOwner.UncheckGroup(FInfo.GroupIndex, this);
  FChecked = Checked;
  if (FInfo.AutoCheck) FAction->set_state(Glib::Variant<bool>::create(Checked));
}

bool TAction::Execute() {
  if (!Enabled()) return false;
  if (FInfo.AutoCheck) SetChecked(FInfo.GroupIndex != 0 && !FInfo.AllowAllUp ? true : !FChecked);
  if (OnExecute) OnExecute(*this);
  return true;
}

TActionList::TActionList(std::string GroupName)
    : FGroupName(std::move(GroupName)), FGroup(Gio::SimpleActionGroup::create()) {}

TAction& TActionList::Add(ActionInfo Info) {
  if (FByName.count(Info.Name)) throw std::logic_error("duplicate action " + Info.Name);
  auto Action = std::make_unique<TAction>(*this, std::move(Info));
  TAction& Ref = *Action;
  FGroup->add_action(Ref.GioAction());
  FByName[Ref.Name()] = &Ref;
  FActions.push_back(std::move(Action));
  return Ref;
}

TAction* TActionList::Find(const std::string& Name) const {
  auto It = FByName.find(Name);
  return It == FByName.end() ? nullptr : It->second;
}

TAction& TActionList::operator[](const std::string& Name) const {
  if (auto* A = Find(Name)) return *A;
  throw std::out_of_range("no action " + Name);
}

void TActionList::UncheckGroup(int GroupIndex, const TAction* Except) {
  for (auto& A : FActions)
    if (A.get() != Except && A->GroupIndex() == GroupIndex && A->Checked()) A->SetChecked(false);
}

Glib::RefPtr<Gtk::ShortcutController> TActionList::CreateShortcutController(ShortcutPhase Phase) const {
  auto Controller = Gtk::ShortcutController::create();
  Controller->set_scope(Gtk::ShortcutScope::MANAGED);
  Controller->set_propagation_phase(Phase == ShortcutPhase::Capture ? Gtk::PropagationPhase::CAPTURE
                                                                    : Gtk::PropagationPhase::BUBBLE);
  for (auto& A : FActions) {
    if (A->Shortcut().empty() || A->Phase() != Phase) continue;
    auto Trigger = Gtk::ShortcutTrigger::parse_string(A->Shortcut());
    if (!Trigger) throw std::logic_error("bad shortcut " + A->Shortcut());
    TAction* Target = A.get();
    auto Action = Gtk::CallbackAction::create([Target](Gtk::Widget&, const Glib::VariantBase&) {
      return Target->OnShortcut ? Target->OnShortcut(*Target) : Target->Execute();
    });
    Controller->add_shortcut(Gtk::Shortcut::create(Trigger, Action));
  }
  return Controller;
}

}  // namespace vorlane::framework
