#include "browser/DdeServer.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

namespace {

using namespace vorlane::browser;
using namespace vorlane::platform;

class DdeServerTest : public testing::Test {
protected:
  DdeServerTest() {
    Server.EnableDDE = true;
    Server.NavigateToAddress = [this](const std::string& Url) { Navigated.push_back(Url); };
    Server.NavigateToItemIdList = [this](const std::vector<uint8_t>& List) { ListsNavigated.push_back(List); };
    Server.ShellExecute = [this](const TShellExecuteRequest& R) { Shell.push_back(R); };
  }

  // Broadcasts an initiate from Client; true when Server acknowledged it.
  bool Initiate(const std::string& App, const std::string& Topic, TDdeWindow From = 0) {
    TAtom A = Router.AddAtom(App), T = Router.AddAtom(Topic);
    size_t Before = Received.size();
    Router.Broadcast({WM_DDE_INITIATE, From ? From : Client, A, T});
    bool Acked = Received.size() > Before && Received.back().Msg == WM_DDE_ACK &&
                 Received.back().Sender == Server.Window() && Received.back().Low == A && Received.back().High == T;
    Router.DeleteAtom(A);
    Router.DeleteAtom(T);
    return Acked;
  }
  // Sends an execute and returns the acknowledged status (-1: no acknowledgement).
  int Execute(std::optional<std::string> Command, std::vector<uint8_t> List = {}) {
    TDdeMessage M{WM_DDE_EXECUTE, Client};
    M.Command = std::move(Command);
    M.ItemIdList = std::move(List);
    Received.clear();
    Router.Send(Server.Window(), M);
    Router.DispatchPosted();
    if (Received.size() != 1 || Received[0].Msg != WM_DDE_ACK || Received[0].Command != M.Command) return -1;
    return Received[0].Low;
  }

  TDdeRouter Router;
  TDdeServer Server{Router, Registry()};
  std::vector<TDdeMessage> Received;
  TDdeWindow Client = Router.CreateWindow([this](const TDdeMessage& M) { Received.push_back(M); }, false);
  std::vector<std::string> Navigated;
  std::vector<std::vector<uint8_t>> ListsNavigated;
  std::vector<TShellExecuteRequest> Shell;
};

TEST_F(DdeServerTest, ReadsTheShellNamesAndCommandsAtEveryConstruction) {
  const TDdeStrings& S = Server.Strings();
  EXPECT_EQ(S.DocumentApplication, "IExplore");
  EXPECT_EQ(S.DocumentTopic, "WWW_OpenURL");
  EXPECT_EQ(S.FolderApplication, "Folder");
  EXPECT_EQ(S.FolderTopic, "AppProperties");
  EXPECT_EQ(S.ViewCommand, "ViewFolder");
  EXPECT_EQ(S.ExploreCommand, "ExploreFolder");
  EXPECT_EQ(S.FindCommand, "FindFolder");
  const char* Key = "htmlfile\\shell\\open\\ddeexec\\application";
  ASSERT_TRUE(Registry().WriteString(RootKey::ClassesRoot, Key, "", "Vorlane"));
  TDdeServer Later(Router, Registry());
  EXPECT_EQ(Later.Strings().DocumentApplication, "Vorlane");
  EXPECT_EQ(Server.Strings().DocumentApplication, "IExplore");
  Registry().DeleteValue(RootKey::ClassesRoot, Key, "");
}

TEST_F(DdeServerTest, AnswersOnlyAnInitiateForItsOwnNamesFromThisThread) {
  EXPECT_TRUE(Initiate("IExplore", "WWW_OpenURL"));
  EXPECT_TRUE(Initiate("folder", "appproperties"));  // atoms ignore letter case
  EXPECT_FALSE(Initiate("IExplore", "AppProperties"));
  EXPECT_FALSE(Initiate("Other", "WWW_OpenURL"));
  EXPECT_FALSE(Initiate("IExplore", "WWW_OpenURL", 999));  // no window of this process
  Server.EnableDDE = false;
  EXPECT_FALSE(Initiate("IExplore", "WWW_OpenURL"));
}

TEST_F(DdeServerTest, ADocumentConversationNavigatesToTheQuotedAddress) {
  ASSERT_TRUE(Initiate("IExplore", "WWW_OpenURL"));
  EXPECT_EQ(Execute("\"file:///tmp/a b.html\",-1,,,,,"), 1);
  EXPECT_EQ(Execute("http://example.com/"), 1);
  EXPECT_EQ(Navigated, (std::vector<std::string>{"file:///tmp/a b.html", "http://example.com/"}));
}

TEST_F(DdeServerTest, ARejectedInitiateLeavesTheLiveConversationItsKind) {
  ASSERT_TRUE(Initiate("Folder", "AppProperties"));
  EXPECT_FALSE(Initiate("IExplore", "no such topic"));
  EXPECT_EQ(Execute("[ViewFolder(\"/tmp\", 0, 1)]"), 1);
  EXPECT_EQ(Navigated, std::vector<std::string>{"/tmp"});
}

TEST_F(DdeServerTest, CarriesOutFolderCommands) {
  const std::vector<uint8_t> List{4, 0, 'x', 'y', 0, 0};
  struct Case {
    std::optional<std::string> Command;
    bool WithList;
    int Status;
    std::string Navigated;      // address, or "list" for the item-ID list
    std::string ShellVerb;
    uint32_t Mask;
    int Show;
  };
  const Case Cases[] = {
      {"[ViewFolder(\"/tmp/x\", :1234:567, 1)]", true, 1, "/tmp/x", "", 0, 0},
      {"[ViewFolder(\"\", :1234:567, 1)]", true, 1, "list", "", 0, 0},
      {"[ViewFolder(\"\", 1234, 1)]", false, 1, "", "", 0, 0},  // a number is no list
      {"[ViewFolder(\"\", 0, 1)]", true, 1, "", "", 0, 0},
      {"[ExploreFolder(\"/tmp/a,b\", 0, 3)]", false, 1, "", "explore", 1, 3},
      {"[ExploreFolder(\"\", 4711, 5)]", true, 1, "", "explore", 5, 5},
      {"[FindFolder(\"/tmp\", 0)]", false, 1, "", "find", 0, 1},
      {"[FindFolder(\"\", :4711:8)]", true, 1, "", "find", 4, 1},
      {"[viewfolder(\"/tmp\", 0, 1)]", false, 0, "", "", 0, 0},
      {"[Bogus(\"/tmp\", 0, 1)]", false, 0, "", "", 0, 0},
      {"ViewFolder(\"/tmp\", 0, 1)", false, 0, "", "", 0, 0},
      {"[ViewFolder \"/tmp\"]", false, 0, "", "", 0, 0},
      {"", false, 0, "", "", 0, 0},
      {std::nullopt, false, 0, "", "", 0, 0},
  };
  ASSERT_TRUE(Initiate("Folder", "AppProperties"));
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Command.value_or("<unreadable>"));
    Navigated.clear();
    ListsNavigated.clear();
    Shell.clear();
    EXPECT_EQ(Execute(C.Command, C.WithList ? List : std::vector<uint8_t>{}), C.Status);
    EXPECT_EQ(Navigated.empty() ? std::string() : Navigated[0], C.Navigated == "list" ? "" : C.Navigated);
    EXPECT_EQ(ListsNavigated.size(), C.Navigated == "list" ? 1u : 0u);
    ASSERT_EQ(Shell.size(), C.ShellVerb.empty() ? 0u : 1u);
    if (Shell.empty()) continue;
    EXPECT_EQ(Shell[0].Verb, C.ShellVerb);
    EXPECT_EQ(Shell[0].Class, C.ShellVerb == "explore" ? "folder" : "");
    EXPECT_EQ(Shell[0].Mask, C.Mask);
    EXPECT_EQ(Shell[0].ShowCommand, C.Show);
    EXPECT_EQ(Shell[0].ItemIdList, (C.Mask & 4) ? List : std::vector<uint8_t>{});
  }
}

TEST_F(DdeServerTest, TheServersOwnShellRequestIsNotServedAgain) {
  bool AnsweredInside = true;
  Server.ShellExecute = [&](const TShellExecuteRequest&) { AnsweredInside = Initiate("Folder", "AppProperties"); };
  ASSERT_TRUE(Initiate("Folder", "AppProperties"));
  EXPECT_EQ(Execute("[ExploreFolder(\"/tmp\", 0, 1)]"), 1);
  EXPECT_FALSE(AnsweredInside);
  EXPECT_TRUE(Initiate("Folder", "AppProperties"));
}

TEST_F(DdeServerTest, TerminateIsEchoedAndEndsTheConversation) {
  ASSERT_TRUE(Initiate("IExplore", "WWW_OpenURL"));
  Received.clear();
  Router.Post(Server.Window(), {WM_DDE_TERMINATE, Client});
  Router.DispatchPosted();
  ASSERT_EQ(Received.size(), 1u);
  EXPECT_EQ(Received[0].Msg, WM_DDE_TERMINATE);
  EXPECT_EQ(Received[0].Sender, Server.Window());
  EXPECT_EQ(Received[0].Low + Received[0].High, 0);
  EXPECT_EQ(Execute("http://example.com/"), 0);  // still acknowledged, not carried out
  EXPECT_TRUE(Navigated.empty());
}

}  // namespace
