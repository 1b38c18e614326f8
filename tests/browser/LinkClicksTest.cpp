#include "browser/LinkClicks.h"

#include <gtest/gtest.h>

namespace vorlane::test {
namespace {

using browser::LinkOpening;

TEST(LinkClicks, MiddleAndCtrlClickOpenTabsShiftBringsThemToTheFront) {
  const struct {
    unsigned Button;
    bool Control, Shift;
    LinkOpening Expected;
  } Rows[] = {
      {1, false, true, LinkOpening::Here},           {1, true, false, LinkOpening::BackgroundTab},
      {1, true, true, LinkOpening::ForegroundTab},   {2, false, false, LinkOpening::BackgroundTab},
      {2, false, true, LinkOpening::ForegroundTab},  {3, true, false, LinkOpening::Here},
      {0, true, false, LinkOpening::Here},  // followed by the keyboard or a script
  };
  for (const auto& R : Rows)
    EXPECT_EQ(browser::LinkOpeningOf(R.Button, R.Control, R.Shift), R.Expected)
        << R.Button << " " << R.Control << " " << R.Shift;
}

TEST(LinkClicks, ANewTabTakesOnlyWhatAClickWouldReach) {
  const struct {
    const char *Page, *Link;
    bool Allowed;
  } Rows[] = {
      {"https://a.example/", "HTTP://b.example/", true},  {"vorlane://home.vorlane/", "vorlane://home.vorlane/x", true},
      {"http://a.example/", "file:///etc/passwd", false}, {"file:///home/u/a.html", "file:///home/u/b.html", true},
      {"http://a.example/", "javascript:alert(1)", false}, {"http://a.example/", " javascript:alert(1)", false},
      {"http://a.example/", "data:text/html,<b>x</b>", false}, {"http://a.example/", "", false},
  };
  for (const auto& R : Rows) EXPECT_EQ(browser::MayOpenInNewTab(R.Page, R.Link), R.Allowed) << R.Link;
}

}  // namespace
}  // namespace vorlane::test
