#include "favorites/ExportFavorites.h"
#include "favorites/TreeHelpers.h"
#include "platform/ShellFolders.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace vorlane::favorites;
using vorlane::platform::MessageKind;
using vorlane::test::ReadBytes;
using vorlane::test::WriteShortcut;

namespace {

class ExportTest : public ::testing::Test {
protected:
  void SetUp() override {
    Favorites = vorlane::test::FreshFavorites(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Target = Favorites.parent_path() / "out";
    std::filesystem::create_directories(Target);
    Export.SetFavoritesPath(Favorites.string());
    Export.SetTargetPath(Target.string());
    Export.SetTargetFileName("book.htm");
    Export.SetApplicationTitle("vorlane");
  }
  std::string Output() { return ReadBytes(Target / "book.htm"); }

  vorlane::test::ScriptedDialogs Dialogs;
  TExportFavorite Export{Dialogs};
  std::filesystem::path Favorites, Target;
};

TEST(ExportDefaults, AreTheOldOnesWithTheHomeFolderForC) {
  vorlane::test::ScriptedDialogs D;
  TExportFavorite E(D);
  EXPECT_EQ(E.FavoritesPath(), "Auto");
  EXPECT_EQ(E.TargetPath(), vorlane::platform::ShellFolders::Home().string());
  EXPECT_EQ(E.TargetFileName(), "newbook.htm");
  EXPECT_TRUE(E.ShowSuccessMessage());
  EXPECT_EQ(E.SuccessMessage(), std::vector<std::string>{"Your favorites have been exported successfully!"});
  EXPECT_EQ(E.ApplicationTitle(), "favorites_tests");  // the program file's base name
}

TEST_F(ExportTest, TheExampleTreeGivesFifteenLinesAndASuccessMessage) {
  WriteShortcut(Favorites, "Example.url", "http://example.com/");
  WriteShortcut(Favorites, "Links/Site.url", "http://site/");
  ASSERT_TRUE(Export.ExportFavoritesFile());
  EXPECT_EQ(Output(),
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<!-- Made with vorlane -->\r\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n\r\n<TITLE>Exported Favorites</TITLE>\r\n<H1>Exported Favorites</H1>\r\n"
            "\r\n<DL><P>\r\n    <DT><A HREF=\"http://example.com/\">Example</A><BR>\r\n\r\n"
            "    <DT><H3>Links</H3>\r\n    <DL><P>\r\n        <DT><A HREF=\"http://site/\">Site</A><BR>\r\n"
            "    </DL><P>\r\n\r\n\r\n</DL><P>\r\n");
  EXPECT_EQ(Dialogs.MessageTexts(MessageKind::Information),
            std::vector<std::string>{"Your favorites have been exported successfully!"});
  EXPECT_EQ(Dialogs.Calls().at(0).Caption, "Information");
}

TEST_F(ExportTest, EmptyFolderGivesHeadAndTail) {
  ASSERT_TRUE(Export.ExportFavoritesFile());
  EXPECT_EQ(Output(),
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<!-- Made with vorlane -->\r\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n\r\n<TITLE>Exported Favorites</TITLE>\r\n<H1>Exported Favorites</H1>\r\n"
            "\r\n<DL><P>\r\n\r\n</DL><P>\r\n");
}

TEST_F(ExportTest, OrderNamesAddressesAndOddFiles) {
  WriteShortcut(Favorites, "F/A.url", "http://a/");
  WriteShortcut(Favorites, "F/A-B.url", "http://ab/");
  WriteShortcut(Favorites, "F/Upper.URL", "http://upper/");
  vorlane::test::WriteBytes(Favorites / "F/NoAddress.url", "[InternetShortcut]\r\n");
  vorlane::test::WriteBytes(Favorites / "F/notes.txt", "ignored");
  vorlane::test::WriteBytes(Favorites / "F/gbk\xD6\xD0.url", "[InternetShortcut]\r\nURL=http://g/\r\n");
  WriteShortcut(Favorites, ".hidden/In.url", "http://hidden/");
  std::filesystem::create_directory_symlink(Favorites, Favorites / "F" / "loop");
  ASSERT_TRUE(Export.ExportFavoritesFile());
  std::string Out = Output();
  auto Pos = [&](const std::string& S) { return Out.find(S); };
  EXPECT_LT(Pos(">A-B</A>"), Pos(">A</A>"));  // "A-B." sorts before "A."
  EXPECT_NE(Pos("<A HREF=\"no path\">NoAddress</A>"), std::string::npos);
  EXPECT_NE(Pos(">Upper</A>"), std::string::npos);
  EXPECT_NE(Pos(">gbk中</A>"), std::string::npos);  // old GBK names come out readable
  EXPECT_NE(Pos("<DT><H3>.hidden</H3>"), std::string::npos);
  EXPECT_EQ(Pos("notes"), std::string::npos);
  EXPECT_EQ(Pos("loop"), std::string::npos);  // a link to a folder is not walked
}

TEST_F(ExportTest, SettingChecksComeInOrderAndWriteNothing) {
  struct Case {
    std::function<void(TExportFavorite&)> Set;
    const char* Message;
  } Cases[] = {
      {[](auto& E) { E.SetFavoritesPath("/tmp/favorites"); }, "The favorites file path is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetFavoritesPath(""); }, "The favorites file path is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetPath(""); }, "The target path is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetFileName(""); E.SetTargetPath(""); }, "The target path is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetFileName(""); }, "The target file name is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetFileName("book.HTM"); },
       "The target file name extention is invalid.\n\rPlease change it to \"*.htm\"."},
      {[](auto& E) { E.SetTargetFileName("htmbook"); },
       "The target file name extention is invalid.\n\rPlease change it to \"*.htm\"."},
      {[](auto& E) { E.SetSuccessMessage({}); }, "You must enter a message or turn off messages.\n\rPlease change it."},
      {[](auto& E) { E.SetSuccessMessage({"", ""}); }, "You must enter a message or turn off messages.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetPath("/no/such/dir"); }, "The target file name is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetFileName("dir.htm"); }, "The target file name is invalid.\n\rPlease change it."},
      {[](auto& E) { E.SetTargetPath(E.TargetPath() + "/dir.htm/plain"); },
       "The target file name is invalid.\n\rPlease change it."},  // a file where a folder goes
      {[](auto& E) { E.SetTargetFileName(std::string(252, 'n') + ".htm"); },
       "The target file name is invalid.\n\rPlease change it."},
  };
  std::filesystem::create_directory(Target / "dir.htm");
  vorlane::test::WriteBytes(Target / "dir.htm/plain", "a file");
  for (const Case& C : Cases) {
    vorlane::test::ScriptedDialogs D;
    TExportFavorite E(D);
    E.SetFavoritesPath(Favorites.string());
    E.SetTargetPath(Target.string());
    E.SetTargetFileName("book.htm");
    C.Set(E);
    EXPECT_FALSE(E.ExportFavoritesFile()) << C.Message;
    ASSERT_EQ(D.Calls().size(), 1u) << C.Message;
    EXPECT_EQ(D.Calls()[0].Text, C.Message);
    EXPECT_EQ(D.Calls()[0].Kind, MessageKind::Error);
    EXPECT_EQ(D.Calls()[0].Caption, "Error");
    EXPECT_FALSE(std::filesystem::exists(Target / "book.htm")) << C.Message;
  }
}

TEST_F(ExportTest, AcceptedNamesAndQuietSuccess) {
  for (const char* Name : {"a.html", "b.shtml", "c.htm"}) {
    Export.SetTargetFileName(Name);
    EXPECT_TRUE(Export.ExportFavoritesFile()) << Name;
  }
  Dialogs.Clear();
  Export.SetShowSuccessMessage(false);
  Export.SetSuccessMessage({});
  EXPECT_TRUE(Export.ExportFavoritesFile());
  EXPECT_TRUE(Dialogs.Calls().empty());
}

TEST_F(ExportTest, ReplacesAnExistingFileWholeAndKeepsItWhenWritingFails) {
  vorlane::test::WriteBytes(Target / "book.htm", std::string(100000, '#'));
  WriteShortcut(Favorites, "A.url", "http://a/" + std::string(2000, 'a'));
  ASSERT_TRUE(Export.ExportFavoritesFile());
  EXPECT_EQ(Output().find('#'), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Target), {}), 1);  // no temporary left

  // A file-size limit stands in for a full disk (root cannot write past it either).
  const std::string Before = Output();
  rlimit Saved {}, Small{1000, RLIM_INFINITY};
  ::getrlimit(RLIMIT_FSIZE, &Saved);
  Small.rlim_max = Saved.rlim_max;
  auto* Previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);
  Dialogs.Clear();
  bool Written = Export.ExportFavoritesFile();
  ::setrlimit(RLIMIT_FSIZE, &Saved);
  std::signal(SIGXFSZ, Previous);
  EXPECT_FALSE(Written);
  EXPECT_EQ(Output(), Before);
  EXPECT_EQ(Dialogs.MessageTexts(MessageKind::Error),
            std::vector<std::string>{"Unable to write to " + (Target / "book.htm").string()});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Target), {}), 1);
}

}  // namespace
