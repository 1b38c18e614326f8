#include "browser/DownloadList.h"

#include "browser/PageQuestions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vorlane::browser {

namespace {

// Speed is measured over at least this long, and smoothed, so the time left does not jump.
constexpr auto SampleSpan = std::chrono::milliseconds(500);
constexpr double Smoothing = 0.3;

std::string OneDecimal(double Value, const char* Unit) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.1f %s", Value, Unit);
  return Text;
}

}  // namespace

int TDownloadList::Started(const std::string& Url, Clock::time_point Now) {
  TDownloadItem Item;
  Item.Id = FNextId++;
  Item.Url = Url;
  FItems.insert(FItems.begin(), Item);
  FSampleTimes.insert(FSampleTimes.begin(), Now);
  FSampleBytes.insert(FSampleBytes.begin(), 0);
  if (OnBegun) OnBegun(FItems.front());
  Changed(-1);
  if (OnStarted) OnStarted(Item.Id);
  return Item.Id;
}

int TDownloadList::Restore(TDownloadItem Item) {
  Item.Id = FNextId++;
  // One that was still running when that run ended did not complete.
  if (Item.State == DownloadState::Running) {
    Item.State = DownloadState::Failed;
    Item.Failure = InterruptedText;
  }
  FItems.push_back(std::move(Item));
  FSampleTimes.emplace_back();
  FSampleBytes.push_back(0);
  Changed(-1);
  return FItems.back().Id;
}

TDownloadItem* TDownloadList::Get(int Id) {
  auto It = std::find_if(FItems.begin(), FItems.end(), [Id](auto& I) { return I.Id == Id; });
  return It == FItems.end() ? nullptr : &*It;
}

const TDownloadItem* TDownloadList::Find(int Id) const {
  return const_cast<TDownloadList*>(this)->Get(Id);
}

void TDownloadList::Changed(int Id) {
  if (OnChanged) OnChanged(Id);
}

void TDownloadList::Named(int Id, const std::string& Name, const std::string& Path) {
  if (TDownloadItem* Item = Get(Id)) {
    Item->Name = Name;
    Item->Path = Path;
    if (OnNamed) OnNamed(*Item);
    Changed(Id);
  }
}

void TDownloadList::Progress(int Id, int64_t Received, int64_t Total, Clock::time_point Now) {
  TDownloadItem* Item = Get(Id);
  if (!Item || Item->State != DownloadState::Running) return;
  size_t Index = static_cast<size_t>(Item - FItems.data());
  Item->Received = Received;
  Item->Total = Total;
  auto Span = Now - FSampleTimes[Index];
  if (Span >= SampleSpan) {
    double Rate = double(Received - FSampleBytes[Index]) / std::chrono::duration<double>(Span).count();
    Item->BytesPerSecond = Item->BytesPerSecond > 0 ? Smoothing * Rate + (1 - Smoothing) * Item->BytesPerSecond : Rate;
    FSampleTimes[Index] = Now;
    FSampleBytes[Index] = Received;
  }
  Changed(Id);
}

void TDownloadList::Finish(int Id, DownloadState State, const std::string& Failure) {
  TDownloadItem* Item = Get(Id);
  if (!Item || Item->State != DownloadState::Running) return;  // the first word on how it ended stands
  Item->State = State;
  Item->Failure = Failure;
  Item->BytesPerSecond = 0;
  if (OnEnded) OnEnded(*Item);
  Changed(Id);
}

void TDownloadList::Completed(int Id, const std::string& Path) {
  if (TDownloadItem* Item = Get(Id); Item && Item->State == DownloadState::Running) {
    Item->Path = Path;
    if (Item->Total < 0) Item->Total = Item->Received;
  }
  Finish(Id, DownloadState::Completed, {});
}

void TDownloadList::Cancelled(int Id) { Finish(Id, DownloadState::Cancelled, {}); }

void TDownloadList::Failed(int Id, const std::string& Reason) { Finish(Id, DownloadState::Failed, Reason); }

void TDownloadList::Cancel(int Id) {
  const TDownloadItem* Item = Find(Id);
  if (Item && Item->State == DownloadState::Running && Actions) Actions->Cancel(Id);
}

void TDownloadList::Retry(int Id) {
  const TDownloadItem* Item = Find(Id);
  if (!Item || Item->State == DownloadState::Running || !Actions) return;
  std::string Url = Item->Url;
  Remove(Id);  // the new attempt takes its place at the top
  Actions->Download(Url);
}

void TDownloadList::Remove(int Id) {
  TDownloadItem* Item = Get(Id);
  if (!Item) return;
  if (Item->State == DownloadState::Running) return Cancel(Id);  // a running one goes once it ended
  Erase(static_cast<size_t>(Item - FItems.data()));
  Changed(-1);
}

void TDownloadList::ClearFinished() {
  for (size_t I = FItems.size(); I-- > 0;)
    if (FItems[I].State != DownloadState::Running) Erase(I);
  Changed(-1);
}

void TDownloadList::Erase(size_t Index) {
  if (OnRemoving) OnRemoving(FItems[Index]);
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(Index));
  FSampleTimes.erase(FSampleTimes.begin() + static_cast<std::ptrdiff_t>(Index));
  FSampleBytes.erase(FSampleBytes.begin() + static_cast<std::ptrdiff_t>(Index));
}

int TDownloadList::RunningCount() const {
  return static_cast<int>(std::count_if(FItems.begin(), FItems.end(),
                                        [](auto& I) { return I.State == DownloadState::Running; }));
}

std::string SizeText(int64_t Bytes) {
  if (Bytes < 1024) return std::to_string(std::max<int64_t>(Bytes, 0)) + " 字节";
  if (Bytes < 1024 * 1024) return OneDecimal(Bytes / 1024.0, "KB");
  if (Bytes < int64_t{1024} * 1024 * 1024) return OneDecimal(Bytes / (1024.0 * 1024), "MB");
  return OneDecimal(Bytes / (1024.0 * 1024 * 1024), "GB");
}

std::string RemainingText(double Seconds) {
  long Whole = std::lround(std::ceil(std::max(Seconds, 1.0)));
  if (Whole < 60) return "剩余 " + std::to_string(Whole) + " 秒";
  if (Whole < 3600) return "剩余 " + std::to_string((Whole + 59) / 60) + " 分钟";
  return "剩余 " + std::to_string((Whole + 3599) / 3600) + " 小时";
}

std::string ProgressText(const TDownloadItem& Item) {
  if (Item.State != DownloadState::Running) return Item.Received > 0 || Item.Total > 0 ? SizeText(std::max(Item.Received, Item.Total)) : "";
  std::string Text = SizeText(Item.Received);
  if (Item.Total > 0) Text += " / " + SizeText(Item.Total);
  if (Item.BytesPerSecond > 0) {
    Text += "，" + SizeText(static_cast<int64_t>(Item.BytesPerSecond)) + "/秒";
    if (Item.Total > Item.Received) Text += "，" + RemainingText((Item.Total - Item.Received) / Item.BytesPerSecond);
  }
  return Text;
}

std::string StateText(const TDownloadItem& Item, bool FileMissing) {
  switch (Item.State) {
    case DownloadState::Running: return "正在下载";
    case DownloadState::Completed: return FileMissing ? "文件已删除" : "已完成";
    case DownloadState::Cancelled: return "已取消";
    case DownloadState::Failed: break;
  }
  return "失败：" + Item.Failure;
}

std::string SourceText(const TDownloadItem& Item) { return SiteForDisplay(Item.Url); }

std::string DownloadingStatusText(int Running) {
  return Running > 0 ? "正在下载 " + std::to_string(Running) + " 个文件" : std::string();
}

}  // namespace vorlane::browser
