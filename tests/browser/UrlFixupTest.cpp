#include "browser/UrlFixup.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <glib.h>

namespace vorlane::browser {
namespace {

TEST(UrlFixup, BareHostNamesGetHttp) {
  EXPECT_EQ(FixupUrl("example.com"), "http://example.com");
  EXPECT_EQ(FixupUrl("www.example.com/a/b?c=d#e"), "http://www.example.com/a/b?c=d#e");
  EXPECT_EQ(FixupUrl("127.0.0.1:8080/x"), "http://127.0.0.1:8080/x");
  EXPECT_EQ(FixupUrl("localhost:8080"), "http://localhost:8080");
  EXPECT_EQ(FixupUrl("LocalHost"), "http://LocalHost");
  EXPECT_EQ(FixupUrl("example.com:80/index.html"), "http://example.com:80/index.html");
  EXPECT_EQ(FixupUrl("[::1]:8080/"), "http://[::1]:8080/");
  EXPECT_EQ(FixupUrl("  example.com \n"), "http://example.com");
  EXPECT_EQ(FixupUrl("中文.example"), "http://中文.example");
}

TEST(UrlFixup, AddressesWithASchemeAreKept) {
  for (const char* Url : {"http://example.com", "https://example.com/x", "file:///tmp/a.html",
                          "about:blank", "data:text/html,<p>x</p>", "vorlane://home.vorlane/sea.html?ver=2.x",
                          "mailto:someone@example.com", "javascript:void(0)", "foo:bar", "example.com:abc"})
    EXPECT_EQ(FixupUrl(Url), Url);
}

TEST(UrlFixup, SpacesInAnAddressWithASchemeAreEncoded) {
  const std::pair<const char*, const char*> Cases[] = {
      {"http://host/a b", "http://host/a%20b"},
      {"file:///tmp/my page.html", "file:///tmp/my%20page.html"},
      {" https://host/a  b?q=c d ", "https://host/a%20%20b?q=c%20d"},
      {"note: buy milk", "note: buy milk"},
  };
  for (const auto& [Text, Fixed] : Cases) EXPECT_EQ(FixupUrl(Text), Fixed) << Text;
}

TEST(UrlFixup, LocalPathsBecomeFileAddressesWithoutALookAtTheDisk) {
  auto Dir = std::filesystem::path(g_get_home_dir()) / "fixup dir";
  std::filesystem::create_directories(Dir);
  std::ofstream(Dir / "page.html") << "<p>x</p>";
  EXPECT_EQ(FixupUrl((Dir / "page.html").string()), "file://" + Dir.string().replace(Dir.string().find(' '), 1, "%20") + "/page.html");
  EXPECT_EQ(FixupUrl("~/fixup dir/page.html"), FixupUrl((Dir / "page.html").string()));
  EXPECT_EQ(FixupUrl("/"), "file:///");
  // A path that does not exist is the engine's to refuse.
  EXPECT_EQ(FixupUrl("/no/such/file.html"), "file:///no/such/file.html");
  EXPECT_EQ(FixupUrl("~/missing.html"), FixupUrl(std::string(g_get_home_dir()) + "/missing.html"));
  // A GBK name, as a Windows zip leaves it: its bytes escaped.
  std::ofstream(Dir / "\xd6\xd0\xce\xc4.html") << "<p>x</p>";
  EXPECT_EQ(FixupUrl((Dir / "\xd6\xd0\xce\xc4.html").string()),
            "file://" + Dir.string().replace(Dir.string().find(' '), 1, "%20") + "/%D6%D0%CE%C4.html");
  std::filesystem::remove_all(Dir);
}

TEST(UrlFixup, WhatIsNoAddressIsLeftForTheEngine) {
  EXPECT_EQ(FixupUrl(""), "");
  EXPECT_EQ(FixupUrl(" \t "), "");
  EXPECT_EQ(FixupUrl("two words"), "two words");
  EXPECT_EQ(FixupUrl("example.com/a b"), "example.com/a b");
  EXPECT_EQ(FixupUrl("nohost"), "nohost");
  EXPECT_EQ(FixupUrl(".example.com"), ".example.com");
  EXPECT_EQ(FixupUrl("host:"), "host:");
  EXPECT_EQ(FixupUrl("::::"), "::::");
  EXPECT_EQ(FixupUrl("[::1"), "[::1");
  EXPECT_EQ(FixupUrl("a<b>.com"), "a<b>.com");
  // Bytes that are not UTF-8 never reach the engine as such.
  std::string Fixed = FixupUrl("\xff\xfe.example");
  EXPECT_TRUE(g_utf8_validate(Fixed.c_str(), -1, nullptr));
  EXPECT_NE(Fixed.find(".example"), std::string::npos);
}

TEST(UrlFixup, FixingTwiceChangesNothingMore) {
  for (const char* Text : {"example.com", "/", "localhost:1", "two words", "", "about:blank"})
    EXPECT_EQ(FixupUrl(FixupUrl(Text)), FixupUrl(Text)) << Text;
}

}  // namespace
}  // namespace vorlane::browser
