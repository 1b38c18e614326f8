#pragma once
// The frame's client area: shown child pages live in a Gtk::Stack, one of them visible and
// active. Children are told when they become active.
#include "framework/ActivationOrder.h"

#include <gtkmm/stack.h>

namespace vorlane::framework {

class IMdiChild {
public:
  virtual ~IMdiChild() = default;
  virtual Gtk::Widget& ChildWidget() = 0;
  // The child became the frame's active child window.
  virtual void ChildActivated() = 0;
};

class MdiFrame : public Gtk::Stack {
public:
  MdiFrame();

  bool IsChild(IMdiChild* Child) const { return FOrder.Contains(Child); }
  // Makes Child a child window when it is not one yet, shows it and activates it.
  void ShowAndActivate(IMdiChild* Child);
  // Takes Child out of the frame; the most recently active remaining child becomes active.
  void RemoveChild(IMdiChild* Child);
  // Takes every child out without activating anything (the frame is going away).
  void Clear();

  IMdiChild* ActiveChild() const { return FOrder.Active(); }
  int ChildCount() const { return static_cast<int>(FOrder.Count()); }
  // Children in the frame's order: the active one first.
  const std::vector<IMdiChild*>& Children() const { return FOrder.Items(); }

private:
  void Activate(IMdiChild* Child);
  ActivationOrder<IMdiChild> FOrder;
};

}  // namespace vorlane::framework
