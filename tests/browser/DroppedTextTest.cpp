#include "browser/DroppedText.h"

#include <gtest/gtest.h>

namespace vorlane::browser {
namespace {

TEST(DroppedText, AListGivesItsFirstAddressAndPlainTextIsTakenWhole) {
  struct Case { const char* Mime; std::string Data, Text; } Cases[] = {
      {"text/uri-list", "# from a page\r\nhttp://a.example/\r\nhttp://b.example/\r\n", "http://a.example/"},
      {"text/uri-list", "\nfile:///tmp/x.html", "file:///tmp/x.html"},
      {"text/uri-list", "# only a comment\r\n", ""},
      {"text/plain;charset=utf-8", "两个 词\nsecond line", "两个 词\nsecond line"},
      {"text/plain", "http://c.example/", "http://c.example/"},
  };
  for (const auto& C : Cases) EXPECT_EQ(DroppedText(C.Mime, C.Data), C.Text) << C.Data;
  EXPECT_EQ(DropFormats().front(), "text/uri-list");
}

}  // namespace
}  // namespace vorlane::browser
