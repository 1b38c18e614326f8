#pragma once
// The downloads of this run as the user sees them: one row a download, newest first, with
// its state, progress and speed, and the texts the downloads window shows. The engine
// layer reports into it; the window only draws it. No display and no engine here.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorlane::browser {

enum class DownloadState { Running, Completed, Cancelled, Failed };

struct TDownloadItem {
  int Id = 0;
  std::string Url;
  std::string Name;  // empty until a name was chosen
  std::string Path;  // where the file is (or will be)
  int64_t Received = 0;
  int64_t Total = -1;  // -1: the server did not say
  DownloadState State = DownloadState::Running;
  std::string Failure;  // why, in words, when Failed
  double BytesPerSecond = 0;
  int64_t Record = 0;  // the row kept for it across runs (TDownloadRecorder), 0 none
};

// What the rows' buttons ask of the engine layer.
class IDownloadActions {
public:
  virtual ~IDownloadActions() = default;
  virtual void Cancel(int Id) = 0;
  // Starts the address again as a new download.
  virtual void Download(const std::string& Url) = 0;
};

class TDownloadList {
public:
  using Clock = std::chrono::steady_clock;

  int Started(const std::string& Url, Clock::time_point Now = Clock::now());
  // A download of an earlier run, listed below this run's.
  int Restore(TDownloadItem Item);
  void Named(int Id, const std::string& Name, const std::string& Path);
  void Progress(int Id, int64_t Received, int64_t Total, Clock::time_point Now = Clock::now());
  void Completed(int Id, const std::string& Path);
  void Cancelled(int Id);
  void Failed(int Id, const std::string& Reason);

  void Cancel(int Id);
  void Retry(int Id);
  void Remove(int Id);
  void ClearFinished();

  const std::vector<TDownloadItem>& Items() const { return FItems; }
  const TDownloadItem* Find(int Id) const;
  int RunningCount() const;

  IDownloadActions* Actions = nullptr;
  // A row changed (its Id), or rows came or went (-1).
  std::function<void(int)> OnChanged;
  // A download started (the window shows itself).
  std::function<void(int)> OnStarted;
  // For keeping the list across runs: a download began, got its file, ended; a row is
  // about to go.
  std::function<void(TDownloadItem&)> OnBegun, OnNamed, OnEnded, OnRemoving;

private:
  TDownloadItem* Get(int Id);
  void Changed(int Id);
  void Erase(size_t Index);
  void Finish(int Id, DownloadState State, const std::string& Failure);

  std::vector<TDownloadItem> FItems;
  std::vector<Clock::time_point> FSampleTimes;  // parallel to FItems: the last speed sample
  std::vector<int64_t> FSampleBytes;
  int FNextId = 1;
};

// Why a download of an earlier run that never ended failed: the browser went meanwhile.
inline constexpr const char* InterruptedText = "下载已中断";

// "980 字节", "1.5 KB", "12.3 MB", "1.0 GB".
std::string SizeText(int64_t Bytes);
// "剩余 20 秒", "剩余 3 分钟", "剩余 2 小时".
std::string RemainingText(double Seconds);
// "1.5 MB / 10.0 MB，2.0 MB/秒，剩余 5 秒" while running; the size when complete.
std::string ProgressText(const TDownloadItem& Item);
// "正在下载", "已完成", "已取消", "失败：原因"; FileMissing: "文件已删除".
std::string StateText(const TDownloadItem& Item, bool FileMissing = false);
// The host of the address the download came from.
std::string SourceText(const TDownloadItem& Item);
// The status bar while downloads run: "正在下载 2 个文件"; empty when none.
std::string DownloadingStatusText(int Running);

}  // namespace vorlane::browser
