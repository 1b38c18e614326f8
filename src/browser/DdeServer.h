#pragma once
// The shell DDE server of one browser control: it answers "open" requests for documents
// and "open", "explore" and "find" requests for folders that this very process makes, so
// that they are served by the page. It listens on the process's router with a hidden
// top-level window for initiates and its own window for each conversation. It answers
// only while EnableDDE is set; the page windows leave it off.
#include "platform/Dde.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vorlane::platform { class Registry; }

namespace vorlane::browser {

// The application, topic and command names of the shell's ddeexec keys.
struct TDdeStrings {
  std::string DocumentApplication, DocumentTopic;
  std::string FolderApplication, FolderTopic;
  std::string ViewCommand, ExploreCommand, FindCommand;

  // A missing key gives an empty string.
  static TDdeStrings Read(const platform::Registry& Registry);
};

// A shell request that a folder command hands on (explore, find).
struct TShellExecuteRequest {
  static constexpr uint32_t SEE_MASK_CLASSNAME = 1;
  static constexpr uint32_t SEE_MASK_IDLIST = 4;
  uint32_t Mask = 0;
  std::string Verb;
  std::string Class;
  std::string File;
  std::vector<uint8_t> ItemIdList;
  int ShowCommand = 1;
};

class TDdeServer {
public:
  enum class TConversationKind { Document, Folder };

  // Reads the strings now: they are re-read at every construction.
  TDdeServer(platform::TDdeRouter& Router, const platform::Registry& Registry);
  ~TDdeServer();
  TDdeServer(const TDdeServer&) = delete;
  TDdeServer& operator=(const TDdeServer&) = delete;

  bool EnableDDE = false;
  // What a request does; unassigned actions do nothing.
  std::function<void(const std::string&)> NavigateToAddress;
  std::function<void(const std::vector<uint8_t>&)> NavigateToItemIdList;
  std::function<void(const TShellExecuteRequest&)> ShellExecute;

  const TDdeStrings& Strings() const { return FStrings; }
  platform::TDdeWindow HiddenWindow() const { return FHidden; }
  platform::TDdeWindow Window() const { return FWindow; }
  // The kind of the conversation with Client, if one was accepted.
  const TConversationKind* ConversationWith(platform::TDdeWindow Client) const;

private:
  void HiddenWindowProc(const platform::TDdeMessage& Message);
  void WindowProc(const platform::TDdeMessage& Message);
  void Initiate(const platform::TDdeMessage& Message);
  uint16_t Execute(const platform::TDdeMessage& Message);
  uint16_t ExecuteFolderCommand(const std::string& Text, const std::vector<uint8_t>& ItemIdList);

  platform::TDdeRouter& FRouter;
  TDdeStrings FStrings;
  platform::TDdeWindow FHidden = 0;
  platform::TDdeWindow FWindow = 0;
  // Each conversation keeps the kind its initiate chose: a later initiate cannot change it.
  std::map<platform::TDdeWindow, TConversationKind> FConversations;
};

}  // namespace vorlane::browser
