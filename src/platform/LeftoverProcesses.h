#pragma once
// Helper processes of an earlier run that outlive it. A run that is killed takes its
// helpers down only as they notice: WebKit's network process ends a moment after the
// program, and until then holds the profile's cookie file. A start in that moment would
// find the file locked, and the logins it loads or sets then would be lost.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string_view>
#include <vector>

namespace vorlane::platform {

// Processes whose name begins with NamePrefix, that hold File open and whose parent is not
// a program named ParentName (theirs is gone, or they were never ours), seen through /proc.
std::vector<pid_t> LeftoverProcessesHolding(const std::filesystem::path& File, std::string_view NamePrefix,
                                            std::string_view ParentName);

// Waits until every one of Processes has ended, at most Limit; true when they all have.
bool WaitForProcessesToEnd(const std::vector<pid_t>& Processes, std::chrono::milliseconds Limit);

}  // namespace vorlane::platform
