#include "favorites/BookmarkCodec.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

using namespace vorlane::favorites;

namespace vorlane::favorites {
void PrintTo(const TUrlRec& R, std::ostream* Os) {
  *Os << "{" << R.Folder << "|" << R.Name << "|" << R.Address << "|" << R.Level << "}";
}
}  // namespace vorlane::favorites

namespace {

std::vector<TUrlRec> Parse(std::initializer_list<std::string> Lines) { return ParseBookmarkLines(Lines); }

TEST(BookmarkCodec, LinesEndAtCrLfOrCrLf) {
  EXPECT_EQ(SplitBookmarkLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitBookmarkLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitBookmarkLines("a\n\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(SplitBookmarkLines("\r\r\n"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(SplitBookmarkLines("").empty());
}

TEST(BookmarkCodec, EscapingAndDecodingAreInverse) {
  const std::string Titles[] = {"plain", "Q&A: <b> \"x\" it's", "&amp; literally", "tab\there",
                                "line\r\nbreak", "中文 &#39;", "a > b < c", "&"};
  for (const std::string& T : Titles) EXPECT_EQ(DecodeHtmlEntities(EscapeBookmarkText(T)), T) << T;
  const std::string Addresses[] = {"http://a/?x=1&y=2", "http://a/?q=\"x\"", "http://a/&amp;b",
                                   "http://a/&#38;", "http://a/&lt", "http://a/&"};
  for (const std::string& A : Addresses) EXPECT_EQ(DecodeHtmlEntities(EscapeBookmarkAddress(A)), A) << A;
  // Browsers' raw "&" in addresses stays raw where it cannot be misread.
  EXPECT_EQ(EscapeBookmarkAddress("http://a/?x=1&y=2"), "http://a/?x=1&y=2");
  EXPECT_EQ(EscapeBookmarkText("<&>\""), "&lt;&amp;&gt;&quot;");
}

TEST(BookmarkCodec, DecodingTable) {
  struct Case {
    const char* In;
    const char* Out;
  } Cases[] = {
      {"&lt;&gt;&amp;&quot;&#39;&apos;", "<>&\"''"},
      {"&#20013;&#x6587;&#X4E2D;", "中文中"},
      {"&#0;&#xD800;&#x110000;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // no such characters
      {"&#123456789;", "&#123456789;"},                                    // too long: left alone
      {"&nbsp; &copy; &#; &#x; &#12 &", "&nbsp; &copy; &#; &#x; &#12 &"},
      {"&amp;lt;", "&lt;"},  // decoded once only
  };
  for (const Case& C : Cases) EXPECT_EQ(DecodeHtmlEntities(C.In), C.Out) << C.In;
}

TEST(BookmarkCodec, NamesBecomeSafeFileNames) {
  struct Case {
    std::string Raw;
    std::string Folder;
    std::string Link;
  } Cases[] = {
      {"A/B", "A-B", "A-B"},
      {"Q: What?", "Q- What-", "Q- What-"},  // what Windows refuses too
      {"&quot;*/:&lt;&gt;?\\|", "---------", "---------"},
      {".", "-", "-"},  // a leading dot would hide it
      {"..", "--", "--"},
      {"...", "-..-", "-.."},  // Windows drops a folder name's final dot
      {".NET", "-NET", "-NET"},
      {"&#47;&#46;&#46;", "-..-", "-.."},
      {"&#46;&#46;", "--", "--"},
      {"a&#0;b", "a\xEF\xBF\xBD" "b", "a\xEF\xBF\xBD" "b"},
      {std::string("nul\0in", 6), "nul-in", "nul-in"},
      {"tab\there,\r\nbreak\x7F", "tabhere,break", "tabhere,break"},  // control characters go
      {"\x01\x1F", "", ""},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(SafeFolderName(C.Raw), C.Folder) << C.Raw;
    EXPECT_EQ(SafeLinkName(C.Raw), C.Link) << C.Raw;
  }
}

TEST(BookmarkCodec, NamesWindowsTakesForDevicesOrCutShortGetADash) {
  using vorlane::platform::FileNameFromTitle;
  struct Case {
    std::string Title, Suffix, Name;
  } Cases[] = {
      {"CON", ".url", "CON-.url"},     {"nul.txt", ".url", "nul-.txt.url"}, {"com1", "", "com1-"},
      {"LpT9.x", "", "LpT9-.x"},       {"aux", ".desktop", "aux-.desktop"}, {"PRN", ".mht", "PRN-.mht"},
      {"COM0", ".url", "COM0.url"},    {"CONSOLE", ".url", "CONSOLE.url"},  {"x.con", "", "x.con"},
      {"a.", "", "a.-"},               {"a ", "", "a -"},                   {"a.", ".url", "a..url"},
      {"a. .", "", "a. .-"},
  };
  for (const Case& C : Cases) EXPECT_EQ(FileNameFromTitle(C.Title, C.Suffix), C.Name) << C.Title;
  std::string Long(300, 'x');
  Long.replace(253, 2, ". ");
  EXPECT_EQ(FileNameFromTitle(Long), std::string(253, 'x') + ".-");  // the dash fits the limit
  EXPECT_EQ(SafeLinkName("CON"), "CON-");
}

TEST(BookmarkCodec, LongNamesAreShortenedAtACharacterBoundary) {
  std::string Ascii(300, 'a');
  EXPECT_EQ(SafeFolderName(Ascii).size(), 255u);
  EXPECT_EQ(SafeLinkName(Ascii).size(), 251u);
  std::string Chinese;
  for (int I = 0; I < 100; ++I) Chinese += "中";  // 300 bytes
  EXPECT_EQ(SafeFolderName(Chinese).size(), 255u);
  EXPECT_EQ(SafeLinkName(Chinese).size(), 249u);  // 251 would cut a character
  EXPECT_EQ(vorlane::platform::ShortenUtf8("a中", 2), "a");
  EXPECT_EQ(vorlane::platform::ShortenUtf8("a中", 4), "a中");
  EXPECT_EQ(vorlane::platform::FileNameFromTitle(Chinese, ".desktop").size(), 254u);  // 82 characters
}

TEST(BookmarkCodec, WebAddressesOfEitherSchemeInAnyCase) {
  for (const char* A : {"http://a", "https://a", "HTTP://A", "HtTpS://a", "  http://a"}) EXPECT_TRUE(IsWebAddress(A)) << A;
  for (const char* A : {"ftp://a", "javascript:location='http://a'", "place:sort=8", "data:text/html,http://",
                        "file:///http://", "http:/a", ""})
    EXPECT_FALSE(IsWebAddress(A)) << A;
}

TEST(BookmarkCodec, ParsingLinksFoldersAndLevels) {
  auto E = Parse({
      "<DT><A HREF=\"http://top/\">Top</A>",
      "<DT><H3 FOLDED ADD_DATE=\"1\">One</H3>",
      "<DL><p>",
      "<DT><A HREF=\"https://one/\" ADD_DATE=\"2\">In one</A>",
      "<dt><h3>Two</h3>",
      "<dl><p>",
      "<dt><a add_date=\"3\" href='HTTPS://two/'>In two</a>",
      "</dl><p>",
      "</DL><p>",
      "<DT><A HREF=\"http://after/\">After</A>",
  });
  std::vector<TUrlRec> Expected = {
      {"", "Top", "http://top/", 0},          {"One", "", "", 1},
      {"One", "In one", "https://one/", 1},   {"One/Two", "", "", 2},
      {"One/Two", "In two", "HTTPS://two/", 2}, {"", "After", "http://after/", 0},
  };
  EXPECT_EQ(E, Expected);
}

TEST(BookmarkCodec, ParsingTableOfOddLines) {
  struct Case {
    std::string Line;
    std::vector<TUrlRec> Entries;
  } Cases[] = {
      {"<DT><A HREF=\"ftp://x/\">F</A>", {}},
      {"<DT><A HREF=\"javascript:go('http://x/')\">J</A>", {}},
      {"<DT><A HREF=\"http://x/\"></A>", {}},                                 // empty title: no file
      {"<DT><A HREF=\"http://x/\">no end tag", {{"", "no end tag", "http://x/", 0}}},
      {"<DT><A HREF=\"http://x/\"", {}},                                      // tag never closed
      {"<DT><A HREF=\"http://x/?a=&quot;b&quot;\">t</A>", {{"", "t", "http://x/?a=\"b\"", 0}}},
      {"<DT><A HREF=\"http://x/\" TITLE=\"a>b\">t</A>", {{"", "t", "http://x/", 0}}},  // ">" in a value
      {"<DT><A HREF=http://bare/ ADD_DATE=1>bare</A>", {{"", "bare", "http://bare/", 0}}},
      {"<HR>    <DT><A HREF=\"http://hr/\">after hr</A>", {{"", "after hr", "http://hr/", 0}}},
      {"<DD>see \"http://x/\" for >more<", {}},                               // descriptions are no links
      {"<DT><A NAME=\"http://x/\">anchor</A>", {}},
      {"<DT><H3>a <b>bold</b> head</H3>", {{"a -b-bold--b- head", "", "", 1}}},
      // Unbalanced quotes: the tag ends at its first ">", as the old reader took it.
      {"<DT><A HREF=\"http://x/\" ADD_DATE=\"1700000000>Name</A>", {{"", "Name", "http://x/", 0}}},
      {"<DT><A HREF=\"http://x/>Open</A>", {{"", "Open", "http://x/", 0}}},
      {"<DT><H3 ADD_DATE=\"1>Folder</H3>", {{"Folder", "", "", 1}}},
      {"<DT><H3>", {{"", "", "", 1}}},
      {"<DT><H3>..</H3>", {{"--", "", "", 1}}},
      {"<DT><H3>x</H3> trailing", {{"x", "", "", 1}}},
  };
  for (const Case& C : Cases) EXPECT_EQ(ParseBookmarkLines({C.Line}), C.Entries) << C.Line;
}

TEST(BookmarkCodec, TheLevelNeverGoesBelowTheTopAndTheLastLineCounts) {
  auto E = Parse({"</DL>", "</DL><p>", "</DL>", "<DT><H3>A</H3>", "</DL>", "</DL>", "</DL>",
                  "<DT><A HREF=\"http://last/\">Last</A>"});
  std::vector<TUrlRec> Expected = {{"A", "", "", 1}, {"", "Last", "http://last/", 0}};
  EXPECT_EQ(E, Expected);
}

TEST(BookmarkCodec, DeepNestingStaysInOneLoopAndWithinPathLimits) {
  std::vector<std::string> Lines;
  for (int I = 0; I < 20000; ++I) Lines.push_back("<DT><H3>" + std::string(50, 'd') + "</H3>");
  Lines.push_back("<DT><A HREF=\"http://deep/\">deep</A>");
  auto E = ParseBookmarkLines(Lines);
  ASSERT_EQ(E.size(), 20001u);
  EXPECT_LE(E.back().Folder.size(), 2048u);
  EXPECT_EQ(E.back().Name, "deep");
}

TEST(BookmarkCodec, SortingPutsEachFolderRightBeforeItsContents) {
  std::vector<TUrlRec> E = {
      {"AB", "", "", 1}, {"A/x", "", "", 2}, {"A-B", "", "", 1}, {"A", "", "", 1},
      {"A", "A-B.", "", 2}, {"A", "A.", "", 2}, {"", "top.", "", 1}, {"A B", "", "", 1},
      {"中", "", "", 1},   {"阿 b", "", "", 1}, {"阿", "", "", 1},   {"阿/中", "", "", 2},
      {"阿", "中.", "", 2}, {"阿", "阿.", "", 2}, {"阿", "é.", "", 2},
  };
  SortEntries(E);
  std::vector<std::string> Order;
  for (auto& R : E) Order.push_back(R.Folder + "|" + R.Name);
  // By the old code page: 阿 (B0A2) before 中 (D6D0), and é (no GBK character) first.
  EXPECT_EQ(Order, (std::vector<std::string>{"|top.", "A|", "A|A-B.", "A|A.", "A/x|", "A B|", "A-B|", "AB|",
                                             "阿|", "阿|é.", "阿|阿.", "阿|中.", "阿/中|", "阿 b|", "中|"}));
}

TEST(BookmarkCodec, OneDecodingPerFileThatHonoursItsMarks) {
  const std::string Meta = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n";
  struct Case {
    std::string Bytes;
    std::string Text;
  } Cases[] = {
      {Meta + "中文 caf\xE9", Meta + "中文 caf\xEF\xBF\xBD"},  // one Latin-1 byte spoils nothing else
      {"\xD6\xD0\xCE\xC4", "中文"},  // no declaration: GB18030 when not UTF-8
      {"<META CONTENT=\"text/html; charset=GB2312\">\xD6\xD0", "<META CONTENT=\"text/html; charset=GB2312\">中"},
      {"\xEF\xBB\xBF<H3>中</H3>", "<H3>中</H3>"},
      {std::string("\xFF\xFE<\0-N\x3D\xD8\x00\xDE", 10), "<中😀"},
      {std::string("\xFE\xFF\0<N-\xD8\x3D", 8), "<中\xEF\xBF\xBD"},  // an unpaired surrogate
  };
  for (const Case& C : Cases) EXPECT_EQ(DecodeBookmarkFile(C.Bytes), C.Text) << C.Bytes;
}

TEST(BookmarkCodec, WritingTheExampleTree) {
  std::vector<TUrlRec> E = {{"", "Example.", "http://example.com/", 1},
                            {"Links", "", "", 1},
                            {"Links", "Site.", "http://site/", 2}};
  auto Lines = BookmarkFileLines(E, "vorlane");
  std::vector<std::string> Expected = {
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<!-- Made with vorlane -->",
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">", "", "<TITLE>Exported Favorites</TITLE>", "<H1>Exported Favorites</H1>", "",
      "<DL><P>", "    <DT><A HREF=\"http://example.com/\">Example</A><BR>", "", "    <DT><H3>Links</H3>",
      "    <DL><P>", "        <DT><A HREF=\"http://site/\">Site</A><BR>", "    </DL><P>", "", "", "</DL><P>"};
  EXPECT_EQ(Lines, Expected);
  EXPECT_EQ(JoinBookmarkLines({"a", ""}), "a\r\n\r\n");
  EXPECT_EQ(BookmarkFileLines({}, "t").size(), 10u);
}

TEST(BookmarkCodec, WritingClosesEveryLevelBetweenFolders) {
  std::vector<TUrlRec> E = {{"A", "", "", 1}, {"A/B", "", "", 2}, {"A/B/C", "", "", 3}, {"D", "", "", 1}};
  auto Lines = BookmarkFileLines(E, "t");
  int Opens = 0, Closes = 0;
  for (auto& L : Lines) {
    Opens += L.find("<DL><P>") != std::string::npos && L.find("</DL>") == std::string::npos;
    Closes += L.find("</DL><P>") != std::string::npos;
  }
  EXPECT_EQ(Opens, Closes);
  // Reading the file back gives the same folders.
  auto Back = ParseBookmarkLines(Lines);
  ASSERT_EQ(Back.size(), 4u);
  EXPECT_EQ(Back[3].Folder, "D");
  EXPECT_EQ(Back[3].Level, 1);
}

}  // namespace
