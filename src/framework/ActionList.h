#pragma once
// Named commands. Menus, tool buttons and keyboard shortcuts only trigger them; each is a
// Gio action in one action group, so GTK keeps menu items and buttons in step with the
// command's enabled state and check mark.
#include <giomm/simpleaction.h>
#include <giomm/simpleactiongroup.h>
#include <gtkmm/shortcutcontroller.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::framework {

enum class ShortcutPhase {
  Capture,  // before the page sees the key
  Bubble    // after the page, for keys it did not take
};

struct ActionInfo {
  std::string Name;      // "Ac_Back"
  std::string Category;  // "查看"
  std::string Caption;   // "后退"
  std::string Shortcut;  // GTK trigger, "<Alt>Left"; empty for none
  ShortcutPhase Phase = ShortcutPhase::Bubble;
  std::string Icon;      // themed icon name; empty for none
  std::string Hint;
  bool AutoCheck = false;  // executing sets (group) or toggles (no group) the check mark
  bool Checked = false;    // initial check mark; a switch has a check mark at all when AutoCheck
  int GroupIndex = 0;      // switches of one non-zero group carry at most one check mark
  bool AllowAllUp = false; // a group switch executed while checked lifts its mark again
};

class TActionList;

class TAction {
public:
  TAction(TActionList& Owner, ActionInfo Info);

  const std::string& Name() const { return FInfo.Name; }
  const std::string& Category() const { return FInfo.Category; }
  const std::string& Caption() const { return FInfo.Caption; }
  const std::string& Shortcut() const { return FInfo.Shortcut; }
  const std::string& Icon() const { return FInfo.Icon; }
  const std::string& Hint() const { return FInfo.Hint; }
  int GroupIndex() const { return FInfo.GroupIndex; }
  ShortcutPhase Phase() const { return FInfo.Phase; }
  bool IsSwitch() const { return FInfo.AutoCheck; }
  // "main.Ac_Back": what menu items and buttons name.
  std::string DetailedName() const;

  bool Enabled() const;
  void SetEnabled(bool Enabled);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Checked);

  // Runs the command as a click would: nothing when disabled; a switch changes its check
  // mark first. Returns whether it ran.
  bool Execute();

  std::function<void(TAction&)> OnExecute;
  // When set, the command's key runs this instead of Execute; true when it took the key.
  std::function<bool(TAction&)> OnShortcut;

  Glib::RefPtr<Gio::SimpleAction> GioAction() const { return FAction; }

private:
  TActionList& FOwner;
  ActionInfo FInfo;
  bool FChecked = false;
  Glib::RefPtr<Gio::SimpleAction> FAction;
};

class TActionList {
public:
  explicit TActionList(std::string GroupName = "main");

  TAction& Add(ActionInfo Info);
  TAction* Find(const std::string& Name) const;
  TAction& operator[](const std::string& Name) const;
  const std::vector<std::unique_ptr<TAction>>& Actions() const { return FActions; }
  const std::string& GroupName() const { return FGroupName; }
  Glib::RefPtr<Gio::SimpleActionGroup> Group() const { return FGroup; }

  // A controller with the shortcuts of every action of one phase.
  Glib::RefPtr<Gtk::ShortcutController> CreateShortcutController(ShortcutPhase Phase) const;

private:
  friend class TAction;
  void UncheckGroup(int GroupIndex, const TAction* Except);

  std::string FGroupName;
  Glib::RefPtr<Gio::SimpleActionGroup> FGroup;
  std::vector<std::unique_ptr<TAction>> FActions;
  std::map<std::string, TAction*> FByName;
};

}  // namespace vorlane::framework
