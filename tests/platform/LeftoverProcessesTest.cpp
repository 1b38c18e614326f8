#include "platform/LeftoverProcesses.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace {

using namespace vorlane::platform;

// A helper of an earlier run, stood in for by a child named like one, that holds File open
// until End is closed.
pid_t StartHolder(const std::filesystem::path& File, int& End) {
  int Ready[2], Stop[2];
  if (pipe(Ready) != 0 || pipe(Stop) != 0) return -1;
  const pid_t Child = fork();
  if (Child == 0) {
    close(Stop[1]);  // or the child would hold its own end open
    prctl(PR_SET_NAME, "WebKitNetworkPr");
    char C = open(File.c_str(), O_RDONLY) >= 0;
    (void)!write(Ready[1], &C, 1);
    (void)!read(Stop[0], &C, 1);
    _exit(0);
  }
  char C;
  (void)!read(Ready[0], &C, 1);
  close(Stop[0]);
  End = Stop[1];
  return Child;
}

TEST(LeftoverProcesses, AHelperWhoseProgramIsGoneIsFoundAndWaitedForUntilItEnds) {
  const auto File = ShellFolders::DataHome() / "cookies.sqlite", Other = ShellFolders::DataHome() / "other";
  std::filesystem::create_directories(ShellFolders::DataHome());
  std::ofstream(File) << "x";
  std::ofstream(Other) << "x";
  int End = -1;
  const pid_t Holder = StartHolder(File, End);
  ASSERT_GT(Holder, 0);
  struct Case {
    const char* Name;
    std::filesystem::path File;
    std::string Parent;  // the name of the program the helpers belong to
    std::vector<pid_t> Found;
  } Cases[] = {
      {"its program is gone", File, "vorlane", {Holder}},
      {"its program runs", File, program_invocation_short_name, {}},
      {"another file", Other, "vorlane", {}},
  };
  for (const Case& C : Cases) EXPECT_EQ(LeftoverProcessesHolding(C.File, "WebKitNetwork", C.Parent), C.Found) << C.Name;
  EXPECT_FALSE(WaitForProcessesToEnd({Holder}, std::chrono::milliseconds(0)));
  close(End);
  EXPECT_TRUE(WaitForProcessesToEnd({Holder}, std::chrono::seconds(30)));
  kill(Holder, SIGKILL);  // should it not have ended, the test still does
  waitpid(Holder, nullptr, 0);
}

}  // namespace
