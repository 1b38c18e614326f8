#include "platform/ConsoleDialogs.h"
#include "platform/IniFile.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace vorlane::platform;

namespace {

std::filesystem::path FreshDir(const char* Name) {
  auto Dir = ShellFolders::Home() / Name;
  std::filesystem::remove_all(Dir);
  std::filesystem::create_directories(Dir);
  return Dir;
}

std::string Slurp(const std::filesystem::path& P) { return ReadFileBytes(P).value_or("<missing>"); }

TEST(IniFile, ReadingFollowsThePlatformRules) {
  struct Case {
    const char* Text;
    std::optional<std::string> Url;
  } Cases[] = {
      {"[InternetShortcut]\r\nURL=http://a/\r\n", "http://a/"},
      {"[internetshortcut]\nurl=http://a/", "http://a/"},                  // names ignore case, no final break
      {"  [ InternetShortcut ]  \r\n  URL  =   http://a/ b  \t\r\n", "http://a/ b"},  // blanks around
      {"[InternetShortcut]\r\nURL=a=b=c\r\n", "a=b=c"},                       // the first "=" splits
      {"[InternetShortcut]\r\nURL=\r\n", ""},                                 // present but empty
      {"[InternetShortcut]\r\nURL\r\n", std::nullopt},                        // no "=": not a key
      {"[InternetShortcut]\r\n;URL=http://c/\r\n", std::nullopt},             // a comment
      {"[Other]\r\nURL=http://x/\r\n", std::nullopt},                         // wrong section
      {"URL=http://x/\r\n[InternetShortcut]\r\n", std::nullopt},              // key before any section
      {"[InternetShortcut]\r\nURL=1\r\nURL=2\r\n", "1"},                      // the first key wins
      {"[InternetShortcut]\r\n[Other]\r\nURL=x\r\n[InternetShortcut]\r\nURL=y\r\n", "y"},
      {"[InternetShortcut\r\nURL=x\r\n", std::nullopt},                       // unclosed header is no header
      {"", std::nullopt},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(IniFile::FindValue(C.Text, "InternetShortcut", "URL"), C.Url) << C.Text;
}

TEST(IniFile, ValuesAreReadUpTo2047Characters) {
  std::string Long(3000, 'a');
  EXPECT_EQ(IniFile::FindValue("[S]\nK=" + Long, "S", "K")->size(), 2047u);
  // Characters, not bytes: a multi-byte character is never cut.
  std::string Chinese;
  for (int I = 0; I < 2100; ++I) Chinese += "中";
  auto Read = IniFile::FindValue("[S]\nK=" + Chinese, "S", "K");
  EXPECT_EQ(Read->size(), 2047u * 3);
}

TEST(IniFile, WritingReplacesInPlaceAndKeepsEveryOtherLine) {
  struct Case {
    const char* Before;
    const char* After;
  } Cases[] = {
      {"", "[InternetShortcut]\r\nURL=new\r\n"},
      {"[InternetShortcut]\r\nURL=old\r\nIconIndex=0\r\nShowCommand=7\r\n",
       "[InternetShortcut]\r\nURL=new\r\nIconIndex=0\r\nShowCommand=7\r\n"},
      // Other line ends, comments, odd spacing and other sections stay byte for byte.
      {"; mine\n[DEFAULT]\nBASEURL=x\n[internetshortcut]\n  url = old  \nModified=1\n",
       "; mine\n[DEFAULT]\nBASEURL=x\n[internetshortcut]\nURL=new\nModified=1\n"},
      {"[InternetShortcut]\r\nIconIndex=0\r\n\r\n[Other]\r\nA=1",
       "[InternetShortcut]\r\nIconIndex=0\r\nURL=new\r\n\r\n[Other]\r\nA=1"},
      {"[InternetShortcut]\r\nIconIndex=0", "[InternetShortcut]\r\nIconIndex=0\r\nURL=new\r\n"},
      {"[Other]\r\nA=1", "[Other]\r\nA=1\r\n[InternetShortcut]\r\nURL=new\r\n"},
      {"[InternetShortcut]\r\nURL=old", "[InternetShortcut]\r\nURL=new"},
      {"[Other]\r\nA=1\r", "[Other]\r\nA=1\r\n[InternetShortcut]\r\nURL=new\r\n"},  // a lone CR ends it
  };
  for (const Case& C : Cases)
    EXPECT_EQ(IniFile::SetValue(C.Before, "InternetShortcut", "URL", "new"), C.After) << C.Before;
}

TEST(IniFile, LineBreaksInAValueCannotAddLines) {
  std::string Text = IniFile::SetValue("", "InternetShortcut", "URL", "http://a/\r\n[Evil]\nX=1");
  EXPECT_EQ(Text, "[InternetShortcut]\r\nURL=http://a/[Evil]X=1\r\n");
  EXPECT_EQ(IniFile::FindValue(Text, "Evil", "X"), std::nullopt);
}

TEST(IniFile, FilesAreReadAsGb18030WhenNotUtf8AndWrittenAsUtf8) {
  auto Dir = FreshDir("ini-codepage");
  auto File = Dir / "gbk.url";
  std::ofstream(File, std::ios::binary) << "[InternetShortcut]\r\nURL=http://a/\xD6\xD0\r\nName=\xCE\xC4\r\n";
  EXPECT_EQ(IniFile::ReadString(File, "InternetShortcut", "URL"), "http://a/中");
  ASSERT_TRUE(IniFile::WriteString(File, "InternetShortcut", "URL", "http://b/"));
  EXPECT_EQ(Slurp(File), "[InternetShortcut]\r\nURL=http://b/\r\nName=文\r\n");
  // A byte order mark is no part of the first line.
  std::ofstream(Dir / "bom.url", std::ios::binary) << "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://bom/\r\n";
  EXPECT_EQ(IniFile::ReadString(Dir / "bom.url", "InternetShortcut", "URL"), "http://bom/");
  std::ofstream(Dir / "utf16.url", std::ios::binary) << std::string("\xFF\xFE[\0S\0]\0\n\0K\0=\0-N", 16);
  EXPECT_EQ(IniFile::ReadString(Dir / "utf16.url", "S", "K"), "中");
}

TEST(IniFile, ReplacingKeepsPermissionsAndLeavesNoTemporaryFiles) {
  auto Dir = FreshDir("ini-replace");
  auto File = Dir / "a.url";
  ASSERT_TRUE(IniFile::WriteString(File, "InternetShortcut", "URL", "one"));
  std::filesystem::permissions(File, std::filesystem::perms(0640));
  ASSERT_TRUE(IniFile::WriteString(File, "InternetShortcut", "URL", "two"));
  EXPECT_EQ(std::filesystem::status(File).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 1);
  EXPECT_EQ(IniFile::ReadString(File, "InternetShortcut", "URL"), "two");
}

TEST(IniFile, RefusedWritesReportFailureAndTouchNothing) {
  auto Dir = FreshDir("ini-refused");
  auto Outside = FreshDir("ini-outside") / "target.url";
  std::ofstream(Outside, std::ios::binary) << "[S]\r\nK=outside\r\n";
  std::ofstream(Dir / "plain", std::ios::binary) << "a file";
  std::filesystem::create_directory(Dir / "folder.url");
  std::filesystem::create_symlink(Outside, Dir / "link.url");
  std::filesystem::create_symlink("/dev/full", Dir / "full.url");
  ASSERT_EQ(::mkfifo((Dir / "fifo.url").c_str(), 0600), 0);
  std::ofstream(Dir / "huge.url", std::ios::binary) << "[S]\r\nK=v\r\n" << std::string(IniMaxFileBytes, ';');
  // Failures that no permission bit makes, so that they happen for root too.
  for (const char* Name : {"missing/a.url", "plain/a.url", "folder.url", "link.url", "full.url", "fifo.url",
                           "huge.url", "/dev/full"}) {
    std::filesystem::path File = Name[0] == '/' ? std::filesystem::path(Name) : Dir / Name;
    EXPECT_FALSE(IniFile::WriteString(File, "S", "K", "v")) << Name;
    if (File.filename() != "link.url") {
      EXPECT_EQ(IniFile::ReadString(File, "S", "K"), std::nullopt) << Name;
    }
  }
  EXPECT_FALSE(IniFile::WriteString(Dir / std::string(256, 'n'), "S", "K", "v"));
  EXPECT_EQ(Slurp(Outside), "[S]\r\nK=outside\r\n");
  EXPECT_EQ(IniFile::ReadString(Dir / "link.url", "S", "K"), "outside");  // reading follows a link to a file
  EXPECT_TRUE(std::filesystem::is_symlink(Dir / "link.url"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 6);  // no temporary files left
}

TEST(IniFile, AWriterKilledMidwayLeavesNoPartOfItsFile) {
  auto Dir = FreshDir("ini-killed");
  std::ofstream(Dir / "old.htm", std::ios::binary) << "old";
  for (const char* Name : {"new.htm", "old.htm"}) {
    pid_t Child = ::fork();
    if (Child == 0) {  // past the file-size limit the kernel kills the writer, root too
      rlimit Small{1000, 1000}, NoCore{0, 0};
      ::setrlimit(RLIMIT_CORE, &NoCore);
      ::setrlimit(RLIMIT_FSIZE, &Small);
      ReplaceFileContents(Dir / Name, std::string(5000, 'x'));
      ::_exit(0);
    }
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGXFSZ) << Name;
  }
  EXPECT_FALSE(std::filesystem::exists(Dir / "new.htm"));
  EXPECT_EQ(Slurp(Dir / "old.htm"), "old");
}

TEST(ConsoleDialogs, PrintsMessagesWithOneBreakPerLineAndGivesCautiousAnswers) {
  EXPECT_EQ(ConsoleDialogs::ConsoleText("a\n\rb"), "a\nb\n");
  EXPECT_EQ(ConsoleDialogs::ConsoleText("a\r\nb\n\nc"), "a\nb\n\nc\n");
  EXPECT_EQ(ConsoleDialogs::ConsoleText(""), "\n");

  std::FILE* Out = std::tmpfile();
  ASSERT_NE(Out, nullptr);
  ConsoleDialogs D(Out);
  std::optional<MessageResult> Answer;
  D.ShowMessage(MessageKind::Confirmation, "C", "Sure?", MessageButtons::YesNo,
                [&](MessageResult R) { Answer = R; });
  EXPECT_EQ(Answer, MessageResult::No);
  std::optional<std::string> Text = "unset";
  D.OpenFile("t", "s", {}, [&](std::optional<std::string> T) { Text = T; });
  EXPECT_EQ(Text, std::nullopt);
  std::rewind(Out);
  char Buffer[64] = {};
  EXPECT_EQ(std::string(Buffer, std::fread(Buffer, 1, sizeof Buffer, Out)), "Sure?\n");
  std::fclose(Out);
}

}  // namespace
