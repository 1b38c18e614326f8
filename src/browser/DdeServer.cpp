#include "browser/DdeServer.h"

#include "browser/DdeCommand.h"
#include "platform/Registry.h"

namespace vorlane::browser {

using namespace platform;

TDdeStrings TDdeStrings::Read(const Registry& Registry) {
  auto Value = [&](const char* Key) {
    return Registry.ReadString(RootKey::ClassesRoot, Key, "").value_or(std::string());
  };
  TDdeStrings S;
  S.DocumentApplication = Value("htmlfile\\shell\\open\\ddeexec\\application");
  S.DocumentTopic = Value("htmlfile\\shell\\open\\ddeexec\\topic");
  S.FolderApplication = Value("Folder\\shell\\open\\ddeexec\\application");
  S.FolderTopic = Value("Folder\\shell\\open\\ddeexec\\topic");
  S.ViewCommand = CommandName(Value("Folder\\shell\\open\\ddeexec"));
  S.ExploreCommand = CommandName(Value("Folder\\shell\\explore\\ddeexec"));
  S.FindCommand = CommandName(Value("Directory\\shell\\find\\ddeexec"));
  return S;
}

TDdeServer::TDdeServer(TDdeRouter& Router, const Registry& Registry)
    : FRouter(Router), FStrings(TDdeStrings::Read(Registry)) {
  FHidden = FRouter.CreateWindow([this](const TDdeMessage& M) { HiddenWindowProc(M); }, true);
  FWindow = FRouter.CreateWindow([this](const TDdeMessage& M) { WindowProc(M); }, false);
}

TDdeServer::~TDdeServer() {
  FRouter.DestroyWindow(FHidden);
  FRouter.DestroyWindow(FWindow);
}

const TDdeServer::TConversationKind* TDdeServer::ConversationWith(TDdeWindow Client) const {
  auto It = FConversations.find(Client);
  return It == FConversations.end() ? nullptr : &It->second;
}

void TDdeServer::HiddenWindowProc(const TDdeMessage& Message) {
  if (Message.Msg == WM_DDE_INITIATE) Initiate(Message);
}

void TDdeServer::Initiate(const TDdeMessage& Message) {
  if (!EnableDDE || FRouter.ShellRequestRunning) return;
  if (!FRouter.IsCallingThreadWindow(Message.Sender)) return;
  std::string Application = FRouter.AtomName(Message.Low);
  bool Document = Application == FStrings.DocumentApplication;
  TConversationKind Kind = Document ? TConversationKind::Document : TConversationKind::Folder;
  TAtom App = FRouter.AddAtom(Document ? FStrings.DocumentApplication : FStrings.FolderApplication);
  TAtom Topic = FRouter.AddAtom(Document ? FStrings.DocumentTopic : FStrings.FolderTopic);
  if (App && Topic && App == Message.Low && Topic == Message.High) {
    FConversations[Message.Sender] = Kind;
    TDdeMessage Ack;
    Ack.Msg = WM_DDE_ACK;
    Ack.Sender = FWindow;
    Ack.Low = App;
    Ack.High = Topic;
    FRouter.Send(Message.Sender, Ack);
  }
  if (App) FRouter.DeleteAtom(App);
  if (Topic) FRouter.DeleteAtom(Topic);
}

void TDdeServer::WindowProc(const TDdeMessage& Message) {
  if (Message.Msg == WM_DDE_EXECUTE) {
    // Every execute is acknowledged, so that no client waits for ever.
    TDdeMessage Ack;
    Ack.Msg = WM_DDE_ACK;
    Ack.Sender = FWindow;
    Ack.Low = Execute(Message);
    Ack.Command = Message.Command;
    FRouter.Post(Message.Sender, std::move(Ack));
  } else if (Message.Msg == WM_DDE_TERMINATE) {
    FConversations.erase(Message.Sender);
    TDdeMessage Echo;
    Echo.Msg = WM_DDE_TERMINATE;
    Echo.Sender = FWindow;
    FRouter.Post(Message.Sender, std::move(Echo));
  }
}

uint16_t TDdeServer::Execute(const TDdeMessage& Message) {
  const TConversationKind* Kind = ConversationWith(Message.Sender);
  if (!EnableDDE || !Kind || !Message.Command) return 0;
  if (*Kind == TConversationKind::Folder) return ExecuteFolderCommand(*Message.Command, Message.ItemIdList);
  if (NavigateToAddress) NavigateToAddress(DocumentCommandAddress(*Message.Command));
  return 1;
}

uint16_t TDdeServer::ExecuteFolderCommand(const std::string& Text, const std::vector<uint8_t>& MessageList) {
  auto Command = ParseFolderCommand(Text);
  if (!Command) return 0;
  // The list comes with the message; the command text only says whether there is one.
  const std::vector<uint8_t> NoList;
  const std::vector<uint8_t>& List = Command->HasItemIdList ? MessageList : NoList;
  if (Command->Verb == FStrings.ViewCommand && !FStrings.ViewCommand.empty()) {
    if (!Command->Path.empty()) {
      if (NavigateToAddress) NavigateToAddress(Command->Path);
    } else if (!List.empty()) {
      if (NavigateToItemIdList) NavigateToItemIdList(List);
    }
    return 1;
  }
  bool Explore = Command->Verb == FStrings.ExploreCommand && !FStrings.ExploreCommand.empty();
  bool Find = !Explore && Command->Verb == FStrings.FindCommand && !FStrings.FindCommand.empty();
  if (!Explore && !Find) return 0;
  TShellExecuteRequest Request;
  Request.Verb = Explore ? "explore" : "find";
  Request.Class = Explore ? "folder" : "";
  Request.Mask = Explore ? TShellExecuteRequest::SEE_MASK_CLASSNAME : 0;
  Request.ShowCommand = Command->ShowCommand;
  if (!Command->Path.empty()) {
    Request.File = Command->Path;
  } else {
    Request.Mask |= TShellExecuteRequest::SEE_MASK_IDLIST;
    Request.ItemIdList = List;
  }
  // The request must not come back to a server of this process.
  struct Running {
    bool& Flag;
    explicit Running(bool& F) : Flag(F) { Flag = true; }
    ~Running() { Flag = false; }
  } Guard(FRouter.ShellRequestRunning);
  if (ShellExecute) ShellExecute(Request);
  return 1;
}

}  // namespace vorlane::browser
