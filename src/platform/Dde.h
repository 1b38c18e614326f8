#pragma once
// The old platform's DDE, as an in-process message router: windows are numbered handlers
// owned by a thread, messages are sent (at once) or posted (queued until DispatchPosted),
// and a global atom table names applications and topics. Nothing outside the process can
// reach it. A command travels by value in its message, and so does an item-ID list that
// goes with it: no handle or address is ever read out of message text.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vorlane::platform {

using TDdeWindow = uint32_t;  // 0 is no window
using TAtom = uint16_t;       // 0 is no atom

constexpr uint32_t WM_DDE_INITIATE = 0x3E0;
constexpr uint32_t WM_DDE_TERMINATE = 0x3E1;
constexpr uint32_t WM_DDE_ACK = 0x3E4;
constexpr uint32_t WM_DDE_EXECUTE = 0x3E8;

struct TDdeMessage {
  uint32_t Msg = 0;
  TDdeWindow Sender = 0;  // wParam: the window the message comes from
  // lParam's two words: application and topic atoms for an initiate and its answer;
  // the status word (Low) of an execute's acknowledgement.
  uint16_t Low = 0;
  uint16_t High = 0;
  // The command memory of an execute (echoed in its acknowledgement); nullopt when the
  // memory cannot be read.
  std::optional<std::string> Command;
  // The item-ID list that a folder command refers to, in the byte format of item-ID lists.
  std::vector<uint8_t> ItemIdList;
};

class TDdeRouter {
public:
  using Handler = std::function<void(const TDdeMessage&)>;

  // A window owned by the calling thread. Top-level windows receive broadcasts.
  TDdeWindow CreateWindow(Handler Proc, bool TopLevel);
  void DestroyWindow(TDdeWindow Window);
  bool IsWindow(TDdeWindow Window) const { return FWindows.count(Window) != 0; }
  // True when Window exists in this process and belongs to the calling thread.
  bool IsCallingThreadWindow(TDdeWindow Window) const;

  // Delivers at once; false when there is no such window.
  bool Send(TDdeWindow To, const TDdeMessage& Message);
  // Sends to every top-level window (how a client looks for a server).
  void Broadcast(const TDdeMessage& Message);
  // Queues for delivery by DispatchPosted; false when there is no such window.
  bool Post(TDdeWindow To, TDdeMessage Message);
  // Delivers queued messages (also those queued meanwhile) to windows that still exist.
  size_t DispatchPosted();

  // Global atoms: case-insensitive, reference-counted, names of 1 to 255 bytes.
  TAtom AddAtom(std::string_view Name);
  void DeleteAtom(TAtom Atom);
  // The name of an atom, cut to Max bytes; empty for an unknown atom.
  std::string AtomName(TAtom Atom, size_t Max = 256) const;

  // Set while a server carries out a shell request of its own, so that the request is not
  // served again by a server of this process.
  bool ShellRequestRunning = false;

private:
  struct Window {
    Handler Proc;
    bool TopLevel;
    std::thread::id Thread;
  };
  struct AtomEntry {
    std::string Name;
    int Count;
  };
  std::map<TDdeWindow, Window> FWindows;
  TDdeWindow FNextWindow = 1;
  std::deque<std::pair<TDdeWindow, TDdeMessage>> FPosted;
  std::map<TAtom, AtomEntry> FAtoms;
  TAtom FNextAtom = 0xC000;
};

}  // namespace vorlane::platform
