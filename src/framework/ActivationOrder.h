#pragma once
// The frame's child windows in activation order: the active one first, the one activated
// longest ago last. When the active child goes, the most recently active remaining one
// takes its place.
#include <algorithm>
#include <vector>

namespace vorlane::framework {

template <typename T>
class ActivationOrder {
public:
  bool Contains(T* Item) const { return std::find(FItems.begin(), FItems.end(), Item) != FItems.end(); }
  // Adds Item when new and moves it to the front.
  void Activate(T* Item) {
    std::erase(FItems, Item);
    FItems.insert(FItems.begin(), Item);
  }
  // Takes Item out; returns the child that is active afterwards (or nullptr).
  T* Remove(T* Item) {
    std::erase(FItems, Item);
    return Active();
  }
  T* Active() const { return FItems.empty() ? nullptr : FItems.front(); }
  // Front = active, back = the last child in the frame's order.
  const std::vector<T*>& Items() const { return FItems; }
  size_t Count() const { return FItems.size(); }

private:
  std::vector<T*> FItems;
};

}  // namespace vorlane::framework
