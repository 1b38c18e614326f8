// The travel log over a scripted engine.
#include "navigation/IETravelLog.h"
#include "support/FakeEngine.h"

#include <gtest/gtest.h>

namespace vorlane::test {
namespace {

using navigation::TIETravelLog;

struct Listing {
  std::vector<std::string> Entries;  // "Title|Url|B" or "…|F" as Backward read inside
};

class IETravelLogTest : public testing::Test {
protected:
  // A control whose page went a → b → c → d and then back twice (now at b).
  std::unique_ptr<browser::TBrowserControl> Visited(std::initializer_list<const char*> Urls) {
    auto Engine = std::make_unique<TFakeEngine>();
    for (const char* U : Urls) Engine->CompleteNavigation(U, std::string("T ") + U);
    return std::make_unique<browser::TBrowserControl>(std::move(Engine));
  }
  TFakeEngine& Fake(browser::TBrowserControl& C) { return static_cast<TFakeEngine&>(C.Engine()); }
  std::vector<std::string> List(bool Back, int CancelAfter = 0) {
    std::vector<std::string> Out;
    Log.OnEntry = [&](const std::string& T, const std::string& U, bool& Cancel) {
      Out.push_back(T + "|" + U + (Log.Backward ? "|B" : "|F"));
      if (CancelAfter && static_cast<int>(Out.size()) == CancelAfter) Cancel = true;
    };
    Back ? Log.EnumerateBack() : Log.EnumerateForward();
    return Out;
  }
  TIETravelLog Log;
};

TEST_F(IETravelLogTest, ListsNearestFirstAndTellsTheDirectionInsideTheHandler) {
  auto C = Visited({"http://a/", "http://b/", "http://c/", "http://d/"});
  Fake(*C).TravelTo(-2);
  Log.SetWebbrowser(C.get());
  ASSERT_TRUE(Log.Connect());
  EXPECT_EQ(List(true), (std::vector<std::string>{"T http://a/|http://a/|B"}));
  EXPECT_EQ(List(false), (std::vector<std::string>{"T http://c/|http://c/|F", "T http://d/|http://d/|F"}));
  EXPECT_TRUE(List(true).size() == 1 && Log.Backward);
  EXPECT_EQ(List(false, 1).size(), 1u);  // Cancel on the first entry
  EXPECT_FALSE(Log.Backward);
}

TEST_F(IETravelLogTest, TravelReportsMissingEntriesAndLeavesTheCurrentOneAlone) {
  auto C = Visited({"http://a/", "http://b/", "http://c/"});
  Log.SetWebbrowser(C.get());
  ASSERT_TRUE(Log.Connect());
  EXPECT_TRUE(List(false).empty());  // no forward history
  EXPECT_EQ(Log.TravelTo(-3), 1);    // beyond the oldest
  EXPECT_EQ(Fake(*C).Url, "http://c/");
  EXPECT_EQ(Log.TravelTo(0), 0);
  EXPECT_EQ(Fake(*C).CallCount("TravelTo"), 1);  // offset 0 never reached the engine
  EXPECT_EQ(Log.TravelTo(-2), 0);
  EXPECT_EQ(Fake(*C).Url, "http://a/");
}

TEST_F(IETravelLogTest, APageWithoutDocumentOrAGoneControlListsNothing) {
  auto Bound = Visited({"http://a/", "http://b/"});
  auto Empty = Visited({});
  Log.SetWebbrowser(Bound.get());
  ASSERT_TRUE(Log.Connect());
  // A failed Connect unbinds, so the earlier page's history is not shown for this one.
  Log.SetWebbrowser(Empty.get());
  EXPECT_FALSE(Log.Connect());
  EXPECT_TRUE(List(true).empty());
  EXPECT_EQ(Log.TravelTo(-1), 1);
  EXPECT_EQ(Fake(*Bound).Url, "http://b/");

  Log.SetWebbrowser(Bound.get());
  ASSERT_TRUE(Log.Connect());
  Bound.reset();  // the page closed
  EXPECT_TRUE(List(true).empty());
  EXPECT_EQ(Log.TravelTo(-1), 1);
  EXPECT_EQ(Log.Webbrowser(), nullptr);
  EXPECT_FALSE(Log.Connect());
}

}  // namespace
}  // namespace vorlane::test
