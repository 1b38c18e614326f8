// A download that fills the disk. A file-size limit stands in for a full disk (it works as
// root and needs no mount); WebKit's network process inherits it when it starts, so this
// program sets it before anything starts one, and runs on its own.
#include "engine/DownloadDriver.h"
#include "platform/ShellFolders.h"
#include "support/LoopbackServer.h"
#include "support/MainLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace vorlane::test {
namespace {

namespace fs = std::filesystem;

TEST(DownloadDiskFull, AFullDiskIsAFailureThatLeavesNoFileBehind) {
  constexpr rlim_t Limit = 64 * 1024;
  std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit then fail with EFBIG
  rlimit Small{Limit, Limit};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);

  LoopbackServer Server;
  Server.Serve("/big.bin", std::string(1 << 20, 'b'), "application/octet-stream");
  const fs::path Folder = platform::ShellFolders::Home() / "下载";
  browser::TDownloadList List;
  engine::TDownloadDriver Driver(List, [&] { return Folder; });
  Driver.Download(Server.Url("/big.bin"));
  ASSERT_TRUE(PumpUntil([&] { return !List.Items().empty() && List.RunningCount() == 0; }, std::chrono::seconds(60)));
  const browser::TDownloadItem& Item = List.Items().front();
  EXPECT_EQ(Item.State, browser::DownloadState::Failed);
  EXPECT_EQ(browser::StateText(Item), "失败：磁盘空间不足，无法写入文件");
  std::error_code Ec;
  EXPECT_TRUE(fs::is_empty(Folder, Ec));  // neither the file nor its part file
}

}  // namespace
}  // namespace vorlane::test
