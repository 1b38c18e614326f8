#include "platform/DamagedFile.h"
#include "platform/SessionFile.h"
#include "platform/ShellFolders.h"
#include "platform/TextCodec.h"
#include "support/MainLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <csignal>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace vorlane::platform {
// Failures show a session as its text rather than as raw bytes.
void PrintTo(const TSavedSession& Session, std::ostream* Out) { *Out << EncodeSession(Session); }
}  // namespace vorlane::platform

using namespace vorlane::platform;
namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const char* Name) {
  auto Dir = ShellFolders::DataHome() / "session-tests" / Name;
  fs::remove_all(Dir);
  fs::create_directories(Dir);
  return Dir;
}

std::string ReadAll(const fs::path& File) {
  std::ifstream In(File, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

void WriteAll(const fs::path& File, const std::string& Text) { std::ofstream(File, std::ios::binary) << Text; }

std::vector<std::string> Entries(const fs::path& Dir) {
  std::vector<std::string> Names;
  for (auto& E : fs::directory_iterator(Dir)) Names.push_back(E.path().filename().string());
  std::sort(Names.begin(), Names.end());
  return Names;
}

std::vector<uint8_t> Bytes(std::size_t Count) {
  std::vector<uint8_t> Out(Count);
  for (std::size_t I = 0; I < Count; ++I) Out[I] = static_cast<uint8_t>(I * 7 + 3);
  return Out;
}

// The two-page session of TwoPagesText.
TSavedSession TwoPages() {
  return {{{"https://a.example/", "A", {1, 2, 3}}, {"about:blank", "", {}}}, 1, false, 0};
}

const std::string TwoPagesText =
    "Vorlane session 1\nended-cleanly=0\nrestore-attempts=0\nselected=1\npages=2\n"
    "page\nurl=https://a.example/\ntitle=A\nhistory=AQID\n"
    "page\nurl=about:blank\ntitle=\nhistory=\nend\n";

std::string Replace(std::string Text, const std::string& From, const std::string& To) {
  std::size_t At = Text.find(From);
  EXPECT_NE(At, std::string::npos) << From;
  return At == std::string::npos ? Text : Text.replace(At, From.size(), To);
}

TEST(SessionFile, EveryFieldSurvivesTheText) {
  TSavedSession Odd{{{"https://a.example/q?x=1&y=%41#frag", "Line one\nline two\r\nend\npage\nurl=https://evil/",
                      Bytes(256)},
                     {"", "", {}},
                     {"file:///home/用户/页面.html", "中文标题 = 50% off\t%0A", {0}},
                     {"x", "bad UTF-8 \xFF\xC3( \xED\xA0\x80 and controls \x01\x7F", {0, 0}}},
                    2, true, INT_MAX};
  std::vector<TSavedSession> Cases{TSavedSession{}, TwoPages(), Odd};
  // Every remainder of the history length modulo 3, which base64 pads differently.
  for (std::size_t N = 1; N <= 5; ++N) Cases.push_back({{{"u", "t", Bytes(N)}}, 0, false, 1});
  for (const TSavedSession& S : Cases) {
    std::string Text = EncodeSession(S);
    EXPECT_EQ(DecodeSession(Text), S) << Text;
    // No value spills into a line of its own, and the file stays UTF-8 whatever the titles hold.
    EXPECT_EQ(std::count(Text.begin(), Text.end(), '\n'), 6 + 4 * static_cast<long>(S.Pages.size())) << Text;
    EXPECT_TRUE(IsValidUtf8(Text)) << Text;
  }
}

TEST(SessionFile, ReadsTheTextThisVersionWritesAndSkipsKeysItDoesNotKnow) {
  EXPECT_EQ(EncodeSession(TwoPages()), TwoPagesText);
  std::string Later = Replace(Replace(TwoPagesText, "pages=2\n", "pages=2\nwindow-size=800x600\n"), "title=A\n",
                              "title=A\nzoom=1.5\n=\n");
  EXPECT_EQ(DecodeSession(Later), TwoPages());
}

TEST(SessionFile, WritesOnlyWhatItCanReadBack) {
  struct TCase {
    TSavedSession Given;
    int Selected;
    int RestoreAttempts;
  } Cases[] = {
      {{{{"a", "", {}}, {"b", "", {}}}, 2, false, 0}, -1, 0},
      {{{{"a", "", {}}}, -5, false, -3}, -1, 0},
      {{{}, 0, true, 2}, -1, 2},
  };
  for (const TCase& C : Cases) {
    auto Back = DecodeSession(EncodeSession(C.Given));
    ASSERT_TRUE(Back);
    EXPECT_EQ(Back->Selected, C.Selected);
    EXPECT_EQ(Back->RestoreAttempts, C.RestoreAttempts);
    EXPECT_EQ(Back->Pages, C.Given.Pages);
  }
}

TEST(SessionFile, TextCutAnywhereIsRefused) {
  std::string Text = EncodeSession({{{"https://a.example/", "Title", Bytes(40)}, {"b", "中文", Bytes(2)}}, 0, true, 0});
  std::vector<std::size_t> Accepted;
  for (std::size_t Length = 0; Length < Text.size(); ++Length)
    if (DecodeSession(std::string_view(Text).substr(0, Length))) Accepted.push_back(Length);
  EXPECT_TRUE(Accepted.empty()) << "accepted a cut at " << Accepted.front();
}

TEST(SessionFile, RefusesWhatIsNotAWholeSessionOfThisVersion) {
  std::string Random;
  for (int I = 0; I < 4096; ++I) Random += static_cast<char>((I * 2654435761u) >> 13);
  std::string Crlf;
  for (char C : TwoPagesText) Crlf += C == '\n' ? std::string("\r\n") : std::string(1, C);
  const std::string& T = TwoPagesText;
  struct TCase {
    const char* Name;
    std::string Text;
  } Cases[] = {
      {"empty", ""},
      {"random bytes", Random},
      {"another program's", "<!DOCTYPE html>\n<html></html>\nend\n"},
      {"next version", Replace(T, "session 1", "session 2")},
      {"byte order mark", "\xEF\xBB\xBF" + T},
      {"CRLF line ends", Crlf},
      {"text after the end", T + "page\n"},
      {"no end line", Replace(T, "end\n", "")},
      {"selected past the pages", Replace(T, "selected=1", "selected=2")},
      {"selected below -1", Replace(T, "selected=1", "selected=-2")},
      {"selected with a sign", Replace(T, "selected=1", "selected=+1")},
      {"more pages counted", Replace(T, "pages=2", "pages=3")},
      {"fewer pages counted", Replace(T, "pages=2", "pages=1")},
      {"page count past the limit", Replace(T, "pages=2", "pages=100001")},
      {"negative restore attempts", Replace(T, "restore-attempts=0", "restore-attempts=-1")},
      {"restore attempts overflow", Replace(T, "restore-attempts=0", "restore-attempts=99999999999")},
      {"ended-cleanly not 0 or 1", Replace(T, "ended-cleanly=0", "ended-cleanly=yes")},
      {"header key missing", Replace(T, "restore-attempts=0\n", "")},
      {"header key twice", Replace(T, "selected=1\n", "selected=1\nselected=0\n")},
      {"page without history", Replace(T, "history=AQID\n", "")},
      {"line without a key", Replace(T, "title=A\n", "title=A\nstray words\n")},
      {"bad escape", Replace(T, "title=A", "title=A%ZZ")},
      {"escape cut short", Replace(T, "title=A", "title=A%4")},
      {"history not in groups of 4", Replace(T, "AQID", "AQI")},
      {"history padding inside", Replace(T, "AQID", "AQ==AQID")},
      {"history with stray bits before the padding", Replace(T, "AQID", "AB==")},
      {"history in the URL-safe alphabet", Replace(T, "AQID", "-_-_")},
  };
  for (const TCase& C : Cases) EXPECT_FALSE(DecodeSession(C.Text)) << C.Name;
}

TEST(SessionFile, StartDecision) {
  using enum TSessionStart;
  struct TCase {
    bool Pages;
    bool EndedCleanly;
    int RestoreAttempts;
    bool RestoreOption;
    TSessionStart Expected;
  } Cases[] = {
      {false, false, 0, true, Nothing},     {false, true, 0, true, Nothing},
      {true, true, 0, true, Restore},       {true, true, 0, false, Nothing},
      {true, true, 3, true, Restore},       {true, false, 0, false, Restore},
      {true, false, 0, true, Restore},      {true, false, 1, true, OfferLinks},
      {true, false, 2, false, OfferLinks},
  };
  for (const TCase& C : Cases) {
    TSavedSession S;
    if (C.Pages) S.Pages.push_back({"https://a.example/", "", {}});
    S.EndedCleanly = C.EndedCleanly;
    S.RestoreAttempts = C.RestoreAttempts;
    EXPECT_EQ(DecideSessionStart(S, C.RestoreOption), C.Expected)
        << C.Pages << C.EndedCleanly << C.RestoreAttempts << C.RestoreOption;
  }
}

TEST(SessionFile, LoadReadsAGoodFileAndFindsNothingWhereThereIsNone) {
  auto Dir = FreshFolder("load-good");
  EXPECT_FALSE(LoadSessionFile(Dir / "session").Session);
  EXPECT_FALSE(LoadSessionFile(Dir / "session").SetAside);
  EXPECT_FALSE(LoadSessionFile(Dir / "no-folder" / "session").Session);

  ASSERT_EQ(SaveSessionFile(Dir / "session", TwoPages()), std::nullopt);
  TSessionLoad Load = LoadSessionFile(Dir / "session");
  EXPECT_EQ(Load.Session, TwoPages());
  EXPECT_FALSE(Load.SetAside);
  EXPECT_EQ(Entries(Dir), std::vector<std::string>{"session"});
}

TEST(SessionFile, LoadRemovesTheTemporariesOfAKilledSaveButNotOneUnderWay) {
  auto Dir = FreshFolder("load-temporaries");
  const auto Old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const char* Name : {"session.tmp-AbC123", "session.tmp-new123", "session.tmp-busy12", "session.tmp-toolong",
                           "history.sqlite.tmp-AbC123"})
    WriteAll(Dir / Name, "x");
  for (const char* Name : {"session.tmp-AbC123", "session.tmp-toolong", "history.sqlite.tmp-AbC123"})
    fs::last_write_time(Dir / Name, Old);
  // A save under way (in another instance) holds its temporary file locked.
  const int Writer = ::open((Dir / "session.tmp-busy12").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(Writer, LOCK_EX), 0);
  LoadSessionFile(Dir / "session");
  ::close(Writer);
  EXPECT_EQ(Entries(Dir), (std::vector<std::string>{"history.sqlite.tmp-AbC123", "session.tmp-busy12",
                                                    "session.tmp-toolong"}));
}

TEST(SessionFile, LoadSetsADamagedFileAsideWithItsContents) {
  std::string Random(5000, '\0');
  for (std::size_t I = 0; I < Random.size(); ++I) Random[I] = static_cast<char>(I * 31 + I / 7);
  struct TCase {
    const char* Name;
    std::function<void(const fs::path&)> Make;
  } Cases[] = {
      {"random bytes", [&](const fs::path& F) { WriteAll(F, Random); }},
      {"empty file", [](const fs::path& F) { WriteAll(F, ""); }},
      {"cut short", [](const fs::path& F) { WriteAll(F, TwoPagesText.substr(0, 60)); }},
      {"folder", [](const fs::path& F) { fs::create_directories(F / "inside"); }},
      // Opening a pipe for reading would wait for a writer; the start must not.
      {"pipe", [](const fs::path& F) { ASSERT_EQ(mkfifo(F.c_str(), 0600), 0); }},
      // Sparse, so the test costs no disk; it must not be read at all.
      {"too large", [](const fs::path& F) {
         WriteAll(F, TwoPagesText);
         fs::resize_file(F, MaxSessionFileSize + 1);
       }},
  };
  auto Dir = FreshFolder("load-damaged");
  for (const TCase& C : Cases) {
    fs::path File = Dir / "session";
    C.Make(File);
    auto Before = fs::status(File);
    std::string Contents = fs::is_regular_file(Before) && fs::file_size(File) < 100000 ? ReadAll(File) : "";
    TSessionLoad Load = LoadSessionFile(File);
    EXPECT_FALSE(Load.Session) << C.Name;
    ASSERT_TRUE(Load.SetAside) << C.Name;
    EXPECT_FALSE(fs::exists(fs::symlink_status(File))) << C.Name;
    EXPECT_EQ(fs::status(*Load.SetAside).type(), Before.type()) << C.Name;
    if (!Contents.empty()) {
      EXPECT_EQ(ReadAll(*Load.SetAside), Contents) << C.Name;
    }
    fs::remove_all(*Load.SetAside);
  }
}

TEST(DamagedFile, NamesCarryTheTimeAndNeverReplaceEachOther) {
  auto Dir = FreshFolder("damaged-names");
  auto Now = std::chrono::system_clock::now();
  std::vector<fs::path> Aside;
  for (const char* Text : {"first", "second", "third"}) {
    WriteAll(Dir / "session", Text);
    auto Moved = SetDamagedFileAside(Dir / "session", Now);
    ASSERT_TRUE(Moved);
    Aside.push_back(*Moved);
  }
  // "session.damaged-YYYYMMDD-HHMMSS"
  std::string First = Aside[0].filename().string(), Prefix = "session.damaged-";
  ASSERT_EQ(First.size(), Prefix.size() + 15) << First;
  ASSERT_EQ(First.substr(0, Prefix.size()), Prefix);
  for (std::size_t I = 0; I < 15; ++I) {
    char C = First[Prefix.size() + I];
    EXPECT_TRUE(I == 8 ? C == '-' : std::isdigit(static_cast<unsigned char>(C)) != 0) << First;
  }
  EXPECT_EQ(Aside[1].filename(), First + "-1");
  EXPECT_EQ(Aside[2].filename(), First + "-2");
  EXPECT_EQ(ReadAll(Aside[0]), "first");
  EXPECT_EQ(ReadAll(Aside[2]), "third");
  EXPECT_FALSE(SetDamagedFileAside(Dir / "session"));
}

TEST(SessionFile, SaveReplacesTheFileAndLeavesNothingElse) {
  auto Dir = FreshFolder("save") / "created" / "too";
  fs::path File = Dir / "session";
  ASSERT_EQ(SaveSessionFile(File, TSavedSession{}), std::nullopt);
  ASSERT_EQ(SaveSessionFile(File, TwoPages()), std::nullopt);
  EXPECT_EQ(DecodeSession(ReadAll(File)), TwoPages());
  EXPECT_EQ(Entries(Dir), std::vector<std::string>{"session"});
  // The addresses someone visited are theirs alone.
  EXPECT_EQ(fs::status(File).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}

// A file size limit makes writes fail without relying on permissions (the tests may run as root).
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    getrlimit(RLIMIT_FSIZE, &FSaved);
    FSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit Limit{Bytes, FSaved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &Limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FSaved);
    std::signal(SIGXFSZ, FSignal);
  }

private:
  rlimit FSaved{};
  void (*FSignal)(int) = nullptr;
};

TEST(SessionFile, FailedSaveReportsAndKeepsWhatWasThere) {
  auto Dir = FreshFolder("save-fails");
  WriteAll(Dir / "blocker", "a file where the folder should be");
  auto Failure = SaveSessionFile(Dir / "blocker" / "session", TwoPages());
  ASSERT_TRUE(Failure);
  EXPECT_NE(Failure->find("blocker"), std::string::npos) << *Failure;
  EXPECT_EQ(ReadAll(Dir / "blocker"), "a file where the folder should be");

  // A folder in the file's place cannot be replaced by a rename.
  fs::create_directories(Dir / "folder" / "inside");
  EXPECT_TRUE(SaveSessionFile(Dir / "folder", TwoPages()));

  // The disk fills up (or the size limit strikes) half-way through the new file.
  ASSERT_EQ(SaveSessionFile(Dir / "session", TwoPages()), std::nullopt);
  {
    TFileSizeLimit Limit(64);
    EXPECT_TRUE(SaveSessionFile(Dir / "session", {{{"https://b.example/", "B", Bytes(1000)}}, 0, true, 0}));
  }
  EXPECT_EQ(DecodeSession(ReadAll(Dir / "session")), TwoPages());
  EXPECT_EQ(Entries(Dir), (std::vector<std::string>{"blocker", "folder", "session"}));
  EXPECT_EQ(Entries(Dir / "folder"), std::vector<std::string>{"inside"});
}

TEST(SessionFile, SaveInTheBackgroundAnswersOnTheCallersThread) {
  auto Dir = FreshFolder("save-async");
  WriteAll(Dir / "blocker", "");
  struct TAnswer {
    bool Arrived = false;
    std::optional<std::string> Failure;
    std::thread::id Thread;
  } Good, Bad;
  auto Record = [](TAnswer& A) {
    return [&A](std::optional<std::string> Failure) {
      A = {true, std::move(Failure), std::this_thread::get_id()};
    };
  };
  SaveSessionFileAsync(Dir / "session", TwoPages(), Record(Good));
  SaveSessionFileAsync(Dir / "blocker" / "session", TwoPages(), Record(Bad));
  SaveSessionFileAsync(Dir / "no-answer", TwoPages(), {});
  // The save without an answer is over once its file is in place.
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return Good.Arrived && Bad.Arrived && fs::exists(Dir / "no-answer"); }));
  EXPECT_EQ(Good.Failure, std::nullopt);
  EXPECT_EQ(Good.Thread, std::this_thread::get_id());
  EXPECT_EQ(DecodeSession(ReadAll(Dir / "session")), TwoPages());
  EXPECT_TRUE(Bad.Failure);
  EXPECT_EQ(Bad.Thread, std::this_thread::get_id());
}

}  // namespace
