#include "platform/LeftoverProcesses.h"

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace vorlane::platform {

namespace {

std::string ProcText(pid_t Pid, const char* What) {
  std::ifstream In("/proc/" + std::to_string(Pid) + "/" + What);
  std::stringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

std::string NameOf(pid_t Pid) {
  std::string Name = ProcText(Pid, "comm");
  if (!Name.empty() && Name.back() == '\n') Name.pop_back();
  return Name;
}

pid_t ParentOf(pid_t Pid) {
  // "pid (name) state ppid …": the name may hold spaces and brackets, so read after the last ')'.
  const std::string Stat = ProcText(Pid, "stat");
  const size_t Close = Stat.rfind(')');
  if (Close == std::string::npos) return 0;
  std::istringstream Rest(Stat.substr(Close + 1));
  char State = 0;
  pid_t Parent = 0;
  Rest >> State >> Parent;
  return Parent;
}

bool Holds(pid_t Pid, const std::filesystem::path& File) {
  std::error_code Ec;
  for (auto It = std::filesystem::directory_iterator("/proc/" + std::to_string(Pid) + "/fd", Ec);
       !Ec && It != std::filesystem::directory_iterator(); It.increment(Ec)) {
    std::error_code LinkEc;
    if (std::filesystem::read_symlink(It->path(), LinkEc) == File) return true;
  }
  return false;
}

}  // namespace

std::vector<pid_t> LeftoverProcessesHolding(const std::filesystem::path& File, std::string_view NamePrefix,
                                            std::string_view ParentName) {
  std::vector<pid_t> Found;
  std::error_code Ec;
  const std::filesystem::path Target = std::filesystem::weakly_canonical(File, Ec);
  if (Ec) return Found;
  for (auto It = std::filesystem::directory_iterator("/proc", Ec);
       !Ec && It != std::filesystem::directory_iterator(); It.increment(Ec)) {
    const std::string Entry = It->path().filename().string();
    char* End = nullptr;
    const long Pid = std::strtol(Entry.c_str(), &End, 10);
    if (Pid <= 0 || *End != '\0' || Pid == getpid()) continue;
    // The name first: it is cheap, and rules out nearly every process.
    if (!NameOf(static_cast<pid_t>(Pid)).starts_with(NamePrefix)) continue;
    if (NameOf(ParentOf(static_cast<pid_t>(Pid))) == ParentName) continue;
    if (Holds(static_cast<pid_t>(Pid), Target)) Found.push_back(static_cast<pid_t>(Pid));
  }
  return Found;
}

bool WaitForProcessesToEnd(const std::vector<pid_t>& Processes, std::chrono::milliseconds Limit) {
  const auto Until = std::chrono::steady_clock::now() + Limit;
  bool AllEnded = true;
  for (pid_t Pid : Processes) {
    // A process descriptor becomes readable when the process ends; no polling of /proc.
    const int Fd = static_cast<int>(syscall(SYS_pidfd_open, Pid, 0));
    if (Fd < 0) continue;  // already gone
    for (;;) {
      const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Until - std::chrono::steady_clock::now());
      pollfd Wait{Fd, POLLIN, 0};
      const int Ready = poll(&Wait, 1, static_cast<int>(std::max<long long>(Left.count(), 0)));
      if (Ready < 0 && errno == EINTR) continue;
      if (Ready <= 0) AllEnded = false;
      break;
    }
    close(Fd);
  }
  return AllEnded;
}

}  // namespace vorlane::platform
