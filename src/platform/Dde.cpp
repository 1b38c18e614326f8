#include "platform/Dde.h"

#include <algorithm>

namespace vorlane::platform {
namespace {

bool SameAtomName(std::string_view A, std::string_view B) {
  auto Lower = [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; };
  return A.size() == B.size() &&
         std::equal(A.begin(), A.end(), B.begin(), [&](char X, char Y) { return Lower(X) == Lower(Y); });
}

}  // namespace

TDdeWindow TDdeRouter::CreateWindow(Handler Proc, bool TopLevel) {
  TDdeWindow Handle = FNextWindow++;
  FWindows.emplace(Handle, Window{std::move(Proc), TopLevel, std::this_thread::get_id()});
  return Handle;
}

void TDdeRouter::DestroyWindow(TDdeWindow Handle) { FWindows.erase(Handle); }

bool TDdeRouter::IsCallingThreadWindow(TDdeWindow Handle) const {
  auto It = FWindows.find(Handle);
  return It != FWindows.end() && It->second.Thread == std::this_thread::get_id();
}

bool TDdeRouter::Send(TDdeWindow To, const TDdeMessage& Message) {
  auto It = FWindows.find(To);
  if (It == FWindows.end()) return false;
  // A copy: the handler may destroy its own window while it runs.
  Handler Proc = It->second.Proc;
  Proc(Message);
  return true;
}

void TDdeRouter::Broadcast(const TDdeMessage& Message) {
  std::vector<TDdeWindow> TopLevel;
  for (auto& [Handle, W] : FWindows)
    if (W.TopLevel) TopLevel.push_back(Handle);
  for (TDdeWindow Handle : TopLevel) Send(Handle, Message);
}

bool TDdeRouter::Post(TDdeWindow To, TDdeMessage Message) {
  if (!IsWindow(To)) return false;
  FPosted.emplace_back(To, std::move(Message));
  return true;
}

size_t TDdeRouter::DispatchPosted() {
  size_t Count = 0;
  while (!FPosted.empty()) {
    auto [To, Message] = std::move(FPosted.front());
    FPosted.pop_front();
    if (Send(To, Message)) ++Count;
  }
  return Count;
}

TAtom TDdeRouter::AddAtom(std::string_view Name) {
  if (Name.empty() || Name.size() > 255) return 0;
  for (auto& [Atom, Entry] : FAtoms)
    if (SameAtomName(Entry.Name, Name)) {
      ++Entry.Count;
      return Atom;
    }
  // The table of string atoms is finite, as it was on the old platform.
  if (FAtoms.size() >= 0x3FFF) return 0;
  while (FAtoms.count(FNextAtom)) FNextAtom = FNextAtom == 0xFFFF ? 0xC000 : FNextAtom + 1;
  TAtom Atom = FNextAtom;
  FAtoms.emplace(Atom, AtomEntry{std::string(Name), 1});
  return Atom;
}

void TDdeRouter::DeleteAtom(TAtom Atom) {
  auto It = FAtoms.find(Atom);
  if (It != FAtoms.end() && --It->second.Count == 0) FAtoms.erase(It);
}

std::string TDdeRouter::AtomName(TAtom Atom, size_t Max) const {
  auto It = FAtoms.find(Atom);
  return It == FAtoms.end() ? std::string() : It->second.Name.substr(0, Max);
}

}  // namespace vorlane::platform
