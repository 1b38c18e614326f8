// Kept files checked at start: what is set aside as damaged, and what is left alone.
#include "platform/KeptFiles.h"
#include "platform/SqliteDb.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace {

using namespace vorlane::platform;
namespace fs = std::filesystem;

void Write(const fs::path& File, const std::string& Bytes) { std::ofstream(File, std::ios::binary) << Bytes; }

std::string RandomBytes() {
  std::string Bytes(4096, '\0');
  unsigned Seed = 7;
  for (char& C : Bytes) C = static_cast<char>((Seed = Seed * 1103515245 + 12345) >> 16);
  return Bytes;
}

struct Case {
  const char* Name;
  std::function<void(const fs::path&)> Make;
  bool SetAside;
};

void Check(const std::vector<Case>& Cases, std::optional<fs::path> (*SetAsideUnreadable)(const fs::path&)) {
  vorlane::test::TempHome Home;
  for (auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    const fs::path File = Home.Path() / C.Name;
    C.Make(File);
    const bool Existed = fs::exists(fs::symlink_status(File));
    auto Aside = SetAsideUnreadable(File);
    EXPECT_EQ(Aside.has_value(), C.SetAside);
    if (C.SetAside && Aside) {
      EXPECT_FALSE(fs::exists(fs::symlink_status(File)));  // this run starts afresh
      EXPECT_NE(Aside->filename().string().find(".damaged-"), std::string::npos);
    } else {
      EXPECT_EQ(fs::exists(fs::symlink_status(File)), Existed);  // left as it was
    }
  }
}

TEST(KeptFiles, ARegistryFileIsKeptOnlyWhenItIsOneWeWrote) {
  const std::string Whole = "; Vorlane registry: one [key] per block\n\n[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\"\n";
  Check({{"missing", [](auto&) {}, false},
         {"whole", [&](auto& F) { Write(F, Whole); }, false},
         {"random", [](auto& F) { Write(F, RandomBytes()); }, true},
         {"empty", [](auto& F) { Write(F, ""); }, true},
         {"folder", [](auto& F) { fs::create_directory(F); }, true},
         {"nul", [&](auto& F) { Write(F, Whole + std::string(1, '\0') + "x"); }, true},
         {"huge", [&](auto& F) {
            Write(F, Whole);
            fs::resize_file(F, MaxRegistryFileSize + 1);  // sparse: never read
          }, true}},
        &SetAsideUnreadableRegistry);
}

TEST(KeptFiles, ADatabaseIsSetAsideWithItsJournalOnlyWhenSqliteCannotReadIt) {
  Check({{"missing", [](auto&) {}, false},
         {"empty", [](auto& F) { Write(F, ""); }, false},  // SQLite starts an empty file afresh itself
         {"whole", [](auto& F) {
            SqliteDb Db;
            ASSERT_EQ(Db.Open(F), 0);
            ASSERT_EQ(Db.Exec("CREATE TABLE t(x); INSERT INTO t VALUES (1);"), 0);
          }, false},
         {"random", [](auto& F) {
            Write(F, RandomBytes());
            Write(fs::path(F) += "-wal", "journal");
          }, true},
         {"folder", [](auto& F) { fs::create_directory(F); }, true}},
        &SetAsideUnreadableDatabase);
  vorlane::test::TempHome Home;
  const fs::path File = Home.Path() / "cookies.sqlite";
  Write(File, RandomBytes());
  Write(fs::path(File) += "-wal", "journal");
  auto Aside = SetAsideUnreadableDatabase(File);
  ASSERT_TRUE(Aside);
  EXPECT_TRUE(fs::exists(fs::path(*Aside) += "-wal"));
  EXPECT_FALSE(fs::exists(fs::path(File) += "-wal"));  // it would be replayed into the new file
}

TEST(KeptFiles, OneMessageNamesEveryResetDataAndWhereItsFileWent) {
  EXPECT_EQ(ResetDataText({}), "");
  EXPECT_EQ(ResetDataText({{"设置和输入过的网址", "/h/registry.reg.damaged-1"}, {"上次打开的网页", "/h/session.damaged-1"}}),
            "下列数据的文件已损坏，无法读取，已重新开始：\n"
            "· 设置和输入过的网址（损坏的文件已移到 /h/registry.reg.damaged-1）\n"
            "· 上次打开的网页（损坏的文件已移到 /h/session.damaged-1）");
}

}  // namespace
