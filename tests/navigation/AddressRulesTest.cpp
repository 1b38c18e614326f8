// The address box's rules without a display: typed list storage, default protocol,
// special folders, icons, completion flags, keys and the disk look-ups.
#include "navigation/AddressRules.h"
#include "navigation/CompletionSource.h"
#include "navigation/PathLookup.h"
#include "navigation/TypedUrls.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "support/MainLoop.h"

#include <giomm/init.h>
#include <gtest/gtest.h>

#include <fstream>

namespace vorlane::navigation {
namespace {

const bool GioReady = (Gio::init(), true);

using platform::Registry;
using platform::RootKey;

std::filesystem::path FreshDir(const std::string& Name) {
  auto Dir = platform::ShellFolders::ConfigHome() / Name;
  std::filesystem::remove_all(Dir);
  std::filesystem::create_directories(Dir);
  return Dir;
}

TEST(TypedUrls, MissingAndEmptyValuesAreSkippedAndLaterOnesStillRead) {
  Registry Reg(FreshDir("typed-load"));
  EXPECT_TRUE(LoadTypedUrls(Reg).empty());
  Reg.WriteString(RootKey::CurrentUser, TypedUrlsKey, "Url1", "");
  Reg.WriteString(RootKey::CurrentUser, TypedUrlsKey, "Url3", "http://three.example/");
  Reg.WriteString(RootKey::CurrentUser, TypedUrlsKey, "Url25", "http://last.example/");
  Reg.WriteString(RootKey::CurrentUser, TypedUrlsKey, "Url26", "http://beyond.example/");
  EXPECT_EQ(LoadTypedUrls(Reg), (std::vector<std::string>{"http://three.example/", "http://last.example/"}));
}

TEST(TypedUrls, SavingWritesAtMost25AndLeavesHigherValuesAlone) {
  auto Dir = FreshDir("typed-save");
  Registry Reg(Dir);
  std::vector<std::string> Thirty;
  for (int I = 1; I <= 30; ++I) Thirty.push_back("http://e" + std::to_string(I) + ".example/");
  ASSERT_TRUE(SaveTypedUrls(Reg, Thirty));
  Registry Again(Dir);
  EXPECT_EQ(LoadTypedUrls(Again), std::vector<std::string>(Thirty.begin(), Thirty.begin() + 25));
  EXPECT_FALSE(Again.ReadString(RootKey::CurrentUser, TypedUrlsKey, "Url26"));
  ASSERT_TRUE(SaveTypedUrls(Again, {"a", "b", "c"}));
  auto Loaded = LoadTypedUrls(Registry(Dir));
  ASSERT_EQ(Loaded.size(), 25u);
  EXPECT_EQ(std::vector<std::string>(Loaded.begin(), Loaded.begin() + 4),
            (std::vector<std::string>{"a", "b", "c", "http://e4.example/"}));
}

TEST(AddressRules, DefaultProtocol) {
  struct Case { const char* Text; const char* Protocol; PathKind Kind; const char* Expected; };
  const Case Cases[] = {
      {"example.com", "http://", PathKind::Unknown, "http://example.com"},
      {"example.com", "", PathKind::Unknown, "example.com"},
      {"https://example.com", "http://", PathKind::Unknown, "https://example.com"},
      {"/etc/hosts", "http://", PathKind::File, "/etc/hosts"},
      {"/etc/hosts", "http://", PathKind::Unknown, "/etc/hosts"},  // not known to be missing
      {"/no/such", "http://", PathKind::Missing, "http:///no/such"},
      {"", "http://", PathKind::Unknown, "http://"},
  };
  for (const auto& C : Cases) EXPECT_EQ(WithDefaultProtocol(C.Text, C.Protocol, C.Kind), C.Expected) << C.Text;
}

TEST(AddressRules, SpecialFolderIds) {
  const std::pair<const char*, int> Cases[] = {
      {"my computer", 17}, {"My Documents", 5}, {"DESKTOP", 0}, {"desktop directory", 16},
      {"Network Neighborhood", 18}, {"printhood", 27}, {"appdata", 26}, {"RECYCLE BIN", 10},
      {"recycle bin ", 3000}, {"desk", 3000}, {"", 3000}, {"http://desktop", 3000},
  };
  for (const auto& [Name, Id] : Cases) EXPECT_EQ(SpecialFolderId(Name), Id) << Name;
}

TEST(AddressRules, IconsFollowTheOrderOfTheRules) {
  platform::SystemIcons Icons;
  auto NameOf = [&](const std::string& Text, PathKind Kind) { return Icons.Name(IconIndexOf(Text, Kind, Icons)); };
  EXPECT_EQ(NameOf("www.example.com", PathKind::Unknown), "text-html");
  EXPECT_EQ(NameOf("/home", PathKind::Folder), "folder");
  EXPECT_EQ(NameOf("My Computer", PathKind::Unknown), "computer");
  EXPECT_EQ(NameOf("file:///tmp/a.png", PathKind::Unknown), "image-png");
  EXPECT_EQ(IconIndexOf("", PathKind::Unknown, Icons), platform::SystemIcons::NoIcon);
  // The same icon always gets the same index.
  EXPECT_EQ(IconIndexOf("a.example", PathKind::Unknown, Icons), IconIndexOf("b.example", PathKind::Unknown, Icons));
  EXPECT_EQ(Icons.FileIcon("/x/page.htm"), Icons.PageIcon());
}

TEST(AddressRules, CompletionFlagSum) {
  EXPECT_EQ(CompletionFlags(0, TAutoSuggest::asDefault, TAutoComplete::acDefault), 0u);
  EXPECT_EQ(CompletionFlags(TFileOption::FileSystem | TFileOption::UrlMRU, TAutoSuggest::asForceOn,
                            TAutoComplete::acForceOff),
            0x90000005u);
  EXPECT_EQ(CompletionFlags(static_cast<TFileOptions>(TFileOption::UrlHistory), TAutoSuggest::asForceOff,
                            TAutoComplete::acForceOn),
            0x60000002u);
  CompletionPlan Plan = PlanOf(0x20000004u);
  EXPECT_FALSE(Plan.Suggest);
  EXPECT_TRUE(Plan.Typed);
  EXPECT_FALSE(Plan.Files || Plan.History);
}

TEST(AddressRules, KeyTable) {
  struct Case { bool Open; AddressKey Key; bool Alt; int Highlighted; KeyAction Expected; };
  const Case Cases[] = {
      {false, AddressKey::Enter, false, -1, KeyAction::CommitTyped},
      {false, AddressKey::Down, false, -1, KeyAction::OpenList},
      {false, AddressKey::Down, true, -1, KeyAction::OpenList},
      {false, AddressKey::Up, false, -1, KeyAction::Consume},
      {false, AddressKey::Escape, false, -1, KeyAction::PassOn},
      {true, AddressKey::Enter, false, 1, KeyAction::CommitFromList},
      {true, AddressKey::Enter, false, -1, KeyAction::CloseAndCommitTyped},
      {true, AddressKey::Escape, false, 1, KeyAction::CloseList},
      {true, AddressKey::Up, true, 1, KeyAction::CloseList},
      {true, AddressKey::Down, false, -1, KeyAction::HighlightNext},
      {true, AddressKey::Down, false, 2, KeyAction::Consume},  // last of three
      {true, AddressKey::Up, false, 2, KeyAction::HighlightPrevious},
      {true, AddressKey::Up, false, 0, KeyAction::HighlightPrevious},  // back to the typed text
      {true, AddressKey::Up, false, -1, KeyAction::Consume},
      {true, AddressKey::Other, false, 0, KeyAction::PassOn},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(DecideKey(C.Open, C.Key, C.Alt, C.Highlighted, 3), C.Expected)
        << C.Open << " " << static_cast<int>(C.Key) << " " << C.Alt << " " << C.Highlighted;
  EXPECT_EQ(DecideKey(true, AddressKey::Down, false, 24, 30), KeyAction::Consume);
}

TEST(AddressRules, AddressesShowDecodedWhereThatIsSafe) {
  const std::pair<const char*, const char*> Cases[] = {
      {"vorlane://home.vorlane/search.html?word=%E4%B8%AD%E6%96%87", "vorlane://home.vorlane/search.html?word=中文"},
      {"http://h.example/%e4%b8%ad/%20%2F%25#%E6%96%87", "http://h.example/中/%20%2F%25#文"},
      {"http://%E4%B8%AD.example/", "http://%E4%B8%AD.example/"},            // the host as it came
      {"http://h.example/%E4%B8", "http://h.example/%E4%B8"},                // a broken character
      {"http://h.example/%E2%80%AEtxt%E3%80%80", "http://h.example/%E2%80%AEtxt%E3%80%80"},  // bidi, wide space
      {"http://h.example/%C3%A9%FF%E4%B8%AD", "http://h.example/é%FF中"},
      {"about:%E4%B8%AD", "about:中"},
      {"http://h.example/100%", "http://h.example/100%"},
  };
  for (const auto& [Url, Shown] : Cases) EXPECT_EQ(DisplayAddress(Url), Shown) << Url;
}

TEST(AddressRules, CtrlEnterMakesABareWordACom) {
  const std::pair<const char*, const char*> Cases[] = {
      {"baidu", "www.baidu.com"}, {" sina/news?a b ", "www.sina.com/news?a b"}, {"baidu.com", "baidu.com"},
      {"http://x", "http://x"},   {"two words", "two words"},                   {"", ""},
      {"/tmp", "/tmp"},           {"localhost:8080", "localhost:8080"},
  };
  for (const auto& [Text, Completed] : Cases) EXPECT_EQ(WithWwwCom(Text), Completed) << Text;
}

TEST(Completion, SourcesMatchAfterSchemeAndWwwAndDropDuplicates) {
  std::vector<std::string> Typed{"http://www.Example.com/", "https://exam.cn/", "ftp://other.example/"};
  std::vector<std::string> More{"https://exam.cn/", "exact.example"};
  TStringListSource A(Typed), B(More);
  TEmptyHistorySource History;
  EXPECT_EQ(CollectSuggestions({&A, &History, &B}, "EXA", 10),
            (std::vector<std::string>{"http://www.Example.com/", "https://exam.cn/", "exact.example"}));
  EXPECT_EQ(CollectSuggestions({&A, &B}, "http://www.e", 10), std::vector<std::string>{"http://www.Example.com/"});
  EXPECT_EQ(CollectSuggestions({&A, &B}, "ex", 2).size(), 2u);
  EXPECT_TRUE(CollectSuggestions({&A}, "", 10).empty());
}

TEST(PathLookup, OnlyPathLikeTextIsLookedUpAndNeverRelativeNames) {
  auto Dir = FreshDir("probe");
  std::filesystem::create_directories(Dir / "example.com");
  std::filesystem::current_path(Dir);
  EXPECT_EQ(LocalPathOf("~/x"), std::string(g_get_home_dir()) + "/x");
  EXPECT_EQ(LocalPathOf("file:///tmp/a%20b"), "/tmp/a b");
  EXPECT_FALSE(LocalPathOf("example.com"));

  TPathProbe Probe;
  std::vector<std::string> Answers;
  Probe.OnKnown = [&](const std::string& Text, PathKind) { Answers.push_back(Text); };
  EXPECT_EQ(Probe.Probe("example.com"), PathKind::Unknown);
  Probe.Probe((Dir / "missing").string());  // cancelled by the next one
  std::string Folder = "file://" + (Dir / "example.com").string();
  Probe.Probe(Folder);
  ASSERT_TRUE(test::PumpUntil([&] { return !Answers.empty(); }));
  EXPECT_EQ(Answers, std::vector<std::string>{Folder});
  EXPECT_EQ(Probe.KindOf(Folder), PathKind::Folder);
  EXPECT_EQ(Probe.KindOf("example.com"), PathKind::Unknown);
}

TEST(PathLookup, ListsTheFolderBeingTypedIntoAsTheTextSpellsIt) {
  auto Dir = FreshDir("lister");
  for (const char* Name : {"notes.txt", "novel", "other", ".nope"}) std::filesystem::create_directories(Dir / Name);
  std::filesystem::remove(Dir / "notes.txt");
  std::ofstream(Dir / "notes.txt") << "x";
  TPathLister Lister;
  std::vector<std::string> Got;
  bool Done = false;
  ASSERT_TRUE(Lister.Request(Dir.string() + "/no", 10, [&](std::vector<std::string> R) { Got = R, Done = true; }));
  ASSERT_TRUE(test::PumpUntil([&] { return Done; }));
  EXPECT_EQ(Got, (std::vector<std::string>{Dir.string() + "/notes.txt", Dir.string() + "/novel/"}));
  // The same folder answers at once from what was listed.
  Done = false;
  Lister.Request("file://" + Dir.string() + "/.n", 10, [&](std::vector<std::string> R) { Got = R, Done = true; });
  EXPECT_TRUE(Done);
  EXPECT_EQ(Got, std::vector<std::string>{"file://" + Dir.string() + "/.nope/"});
  EXPECT_FALSE(Lister.Request("example.com/no", 10, [&](std::vector<std::string>) { ADD_FAILURE(); }));
}

TEST(PathLookup, AFolderIsListedOnceWhileTypingAndWhole) {
  auto Dir = FreshDir("big-folder");
  constexpr int Count = 20050;
  for (int I = 0; I < Count; ++I) {
    char Name[16];
    std::snprintf(Name, sizeof Name, "f%05d", I);
    std::ofstream(Dir / Name).put('x');
  }
  TPathLister Lister;
  std::vector<std::string> Got;
  int Answers = 0;
  auto Keep = [&](std::vector<std::string> R) { Got = std::move(R), ++Answers; };
  // Keystrokes while the folder is being listed, the list closing between two of them.
  ASSERT_TRUE(Lister.Request(Dir.string() + "/f", Count, Keep));
  Lister.Drop();
  ASSERT_TRUE(Lister.Request(Dir.string() + "/f2", Count, Keep));
  ASSERT_TRUE(Lister.Request(Dir.string() + "/f200", Count, Keep));
  ASSERT_TRUE(test::PumpUntil([&] { return Answers > 0; }));
  EXPECT_EQ(Lister.ListingsStarted(), 1u);
  EXPECT_EQ(Answers, 1);
  EXPECT_EQ(Got.size(), 50u);  // f20000 … f20049: the names past 20,000 too
  Lister.Request(Dir.string() + "/", Count + 1, Keep);
  EXPECT_EQ(Got.size(), static_cast<size_t>(Count));
  EXPECT_EQ(Lister.ListingsStarted(), 1u);
  std::filesystem::remove_all(Dir);
}

}  // namespace
}  // namespace vorlane::navigation
