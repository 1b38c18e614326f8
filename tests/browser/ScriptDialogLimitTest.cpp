#include "browser/ScriptDialogLimit.h"

#include <gtest/gtest.h>

namespace vorlane::browser {
namespace {

using Verdict = TScriptDialogLimit::Verdict;

// A box still open when the page moved on: ticking it stops nothing of the new document.
TEST(ScriptDialogLimit, AStopTickedForADocumentLeftSinceStopsNothing) {
  TScriptDialogLimit Limit;
  TScriptDialogLimit::Ticket Old;
  for (int I = 0; I < 3; ++I) Old = Limit.Next();
  ASSERT_EQ(Old.What, Verdict::ShowWithStop);
  Limit.NewDocument();
  Limit.Answered(Old, true);
  EXPECT_EQ(Limit.Next().What, Verdict::Show);
  // Ticked for the document that asked: refused until the next one.
  Limit.Next();
  TScriptDialogLimit::Ticket Third = Limit.Next();
  Limit.Answered(Third, true);
  EXPECT_EQ(Limit.Next().What, Verdict::Refuse);
  Limit.NewDocument();
  EXPECT_EQ(Limit.Next().What, Verdict::Show);
}

}  // namespace
}  // namespace vorlane::browser
