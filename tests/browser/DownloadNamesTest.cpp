// The name a download gets and the list's rows and texts.
#include "browser/DownloadList.h"
#include "browser/DownloadNames.h"
#include "browser/DownloadRecorder.h"
#include "platform/DownloadFiles.h"
#include "platform/DownloadRecords.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vorlane::browser {
namespace {

TEST(DownloadNames, NamesComeFromTheHeaderThenTheAddressAndNeverLeaveTheFolder) {
  const std::string Gb18030Name = "\xB1\xA8\xB8\xE6.txt";  // 报告.txt
  struct Case {
    std::string Disposition, Url, Mime, Expected;
  } Cases[] = {
      {"attachment; filename*=UTF-8''%E6%8A%A5%E5%91%8A.pdf; filename=\"r.pdf\"", "http://a/x", "", "报告.pdf"},
      {"attachment; filename=\"r.pdf\"; filename*=UTF-8''%E6%8A%A5.pdf", "http://a/x", "", "报.pdf"},
      {"attachment; filename*=gb18030''%B1%A8%B8%E6.txt", "http://a/x", "", "报告.txt"},
      {"attachment; filename=\"" + Gb18030Name + "\"", "http://a/x", "", "报告.txt"},
      {"attachment; filename=\"a \\\"quoted\\\" name.txt\"", "http://a/x", "", "a -quoted- name.txt"},
      {"attachment; filename=plain.txt", "http://a/x", "", "plain.txt"},
      {"attachment; filename=\"../../x\"", "http://a/x", "", "x"},
      {"attachment; filename=\"/etc/passwd\"", "http://a/x", "", "passwd"},
      {"attachment; filename=\"a\\\\b\"", "http://a/x", "", "b"},
      {"attachment; filename=\".bashrc\"", "http://a/x", "", "-bashrc"},
      {"attachment; filename=\"a\tb:c?.txt\"", "http://a/x", "", "ab-c-.txt"},
      {"", "http://a/dir/%E4%B8%AD%E6%96%87.zip?x=1", "", "中文.zip"},
      {"", "http://a/dir/..%2F..%2Fetc", "", "etc"},
      {"", "http://example.com/", "application/zip", "example.com.zip"},
      {"", "http://a/data", "application/pdf", "data.pdf"},
      {"", "http://a/data", "application/octet-stream", "data"},
      {"", "data:,x", "", "下载"},
      {"inline", "http://a/", "", "a"},
  };
  for (const Case& C : Cases) EXPECT_EQ(DownloadFileName(C.Disposition, C.Url, C.Mime), C.Expected) << C.Disposition << " " << C.Url;

  // A long Chinese name is cut on a character boundary, keeping its extension and room
  // for " (N)" and ".part".
  std::string Long;
  for (int I = 0; I < 100; ++I) Long += "长";
  std::string Cut = DownloadFileName("attachment; filename=\"" + Long + ".txt\"", "http://a/", "");
  EXPECT_LE(Cut.size() + 11, 255u);
  EXPECT_EQ(Cut.substr(Cut.size() - 4), ".txt");
  EXPECT_EQ(Cut.substr(0, 3), "长");
}

TEST(DownloadList, RowsFollowTheDownloadAndSayWhereItStands) {
  TDownloadList List;
  using namespace std::chrono;
  const auto T0 = TDownloadList::Clock::time_point{};
  int First = List.Started("https://files.test/a.zip", T0);
  int Second = List.Started("https://other.test/b.zip", T0);
  EXPECT_EQ(List.Items().front().Id, Second);  // newest first
  EXPECT_EQ(List.RunningCount(), 2);
  EXPECT_EQ(DownloadingStatusText(List.RunningCount()), "正在下载 2 个文件");

  List.Named(First, "a.zip", "/d/a.zip");
  List.Progress(First, 1 << 20, 10 << 20, T0 + seconds(1));
  const TDownloadItem& A = *List.Find(First);
  EXPECT_EQ(ProgressText(A), "1.0 MB / 10.0 MB，1.0 MB/秒，剩余 9 秒");
  EXPECT_EQ(StateText(A), "正在下载");
  EXPECT_EQ(SourceText(A), "files.test");

  List.Failed(First, "网络连接中断");
  List.Completed(First, "/d/a.zip");  // the first word on how it ended stands
  EXPECT_EQ(StateText(*List.Find(First)), "失败：网络连接中断");
  List.Completed(Second, "/d/b.zip");
  EXPECT_EQ(StateText(*List.Find(Second)), "已完成");
  EXPECT_EQ(StateText(*List.Find(Second), true), "文件已删除");
  EXPECT_EQ(DownloadingStatusText(List.RunningCount()), "");

  List.ClearFinished();
  EXPECT_TRUE(List.Items().empty());

  const std::pair<double, const char*> Times[] = {{0.2, "剩余 1 秒"}, {59, "剩余 59 秒"}, {61, "剩余 2 分钟"},
                                                  {3599, "剩余 60 分钟"}, {7300, "剩余 3 小时"}};
  for (auto [Seconds, Text] : Times) EXPECT_EQ(RemainingText(Seconds), Text) << Seconds;
  EXPECT_EQ(SizeText(980), "980 字节");
  EXPECT_EQ(SizeText(int64_t{3} << 30), "3.0 GB");
}

TEST(DownloadRecorder, TheListOfEarlierRunsComesBackAndRemovedRowsGoFromTheFile) {
  const auto File = platform::ShellFolders::DataHome() / "recorder-test" / "history.sqlite";
  const auto Folder = platform::ShellFolders::Home() / "recorder-downloads";
  const auto Done = Folder / "done.zip";
  std::filesystem::remove_all(Folder);
  std::string Error;
  {
    platform::TDownloadRecords Records(File);
    ASSERT_TRUE(Records.IsAvailable());
    TDownloadList List;
    TDownloadRecorder Recorder(List, Records);
    int First = List.Started("https://a.test/done.zip");
    List.Named(First, "done.zip", Done.string());
    List.Progress(First, 10, 10);
    List.Completed(First, Done.string());
    int Gone = List.Started("https://a.test/gone.zip");
    List.Failed(Gone, "磁盘已满");
    List.Remove(Gone);
    int Cut = List.Started("https://a.test/cut.zip");  // still running when the run is killed
    auto Part = platform::ReserveDownloadFile(Folder, "cut.zip", Error);
    ASSERT_TRUE(Part) << Error;
    List.Named(Cut, "cut.zip", Part->Final.string());
  }
  {  // a run started beside the one still downloading leaves that download alone
    platform::TDownloadRecords Records(File);
    TDownloadList List;
    TDownloadRecorder Beside(List, Records, false);
    EXPECT_EQ(List.Items().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(Folder / "cut.zip.part"));
  }
  std::ofstream(Folder / "done.zip.part") << "the user's own";
  const std::vector<std::string> Left{"done.zip.part"};
  platform::TDownloadRecords Records(File);
  TDownloadList List;
  TDownloadRecorder Recorder(List, Records);
  ASSERT_EQ(List.Items().size(), 2u);
  EXPECT_EQ(List.Items()[0].Url, "https://a.test/cut.zip");
  EXPECT_EQ(StateText(List.Items()[0]), "失败：下载已中断");  // it never completed
  // Its part file went with it; a file the list never made stays.
  std::vector<std::string> Files;
  for (auto& E : std::filesystem::directory_iterator(Folder)) Files.push_back(E.path().filename().string());
  EXPECT_EQ(Files, Left);
  EXPECT_EQ(Records.Load()[0].State, static_cast<int>(DownloadState::Failed));
  EXPECT_EQ(List.Items()[1].Name, "done.zip");
  EXPECT_EQ(List.Items()[1].State, DownloadState::Completed);
  EXPECT_EQ(List.Items()[1].Total, 10);
  EXPECT_EQ(List.RunningCount(), 0);

  Recorder.ClearAll();
  EXPECT_TRUE(List.Items().empty());
  EXPECT_TRUE(Records.Load().empty());
}

}  // namespace
}  // namespace vorlane::browser
