#include "browser/DownloadRecorder.h"

#include "platform/DownloadRecords.h"

#include <chrono>

namespace vorlane::browser {

namespace {

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

platform::TDownloadRecord RecordOf(const TDownloadItem& Item) {
  platform::TDownloadRecord Record;
  Record.Id = Item.Record;
  Record.Url = Item.Url;
  Record.Path = Item.Path;
  Record.Size = Item.Total >= 0 ? Item.Total : Item.Received;
  Record.State = static_cast<int>(Item.State);
  Record.Failure = Item.Failure;
  return Record;
}

}  // namespace

TDownloadRecorder::TDownloadRecorder(TDownloadList& List, platform::TDownloadRecords& Records)
    : FList(List), FRecords(Records) {
  for (const platform::TDownloadRecord& Record : FRecords.Load()) {
    TDownloadItem Item;
    Item.Url = Record.Url;
    Item.Path = Record.Path;
    Item.Name = std::filesystem::path(Record.Path).filename().string();
    Item.Received = Item.Total = Record.Size;
    Item.State = Record.State >= 0 && Record.State <= static_cast<int>(DownloadState::Failed)
                     ? static_cast<DownloadState>(Record.State)
                     : DownloadState::Failed;
    Item.Failure = Record.Failure;
    Item.Record = Record.Id;
    FList.Restore(std::move(Item));
  }
  FList.OnBegun = [this](TDownloadItem& Item) {
    auto Record = RecordOf(Item);
    Record.Started = Now();
    Item.Record = FRecords.Add(Record);
  };
  FList.OnEnded = [this](TDownloadItem& Item) {
    auto Record = RecordOf(Item);
    Record.Ended = Now();
    FRecords.Update(Record);
  };
  FList.OnRemoving = [this](TDownloadItem& Item) {
    if (Item.Record) FRecords.Remove(Item.Record);
  };
}

TDownloadRecorder::~TDownloadRecorder() { FList.OnBegun = FList.OnEnded = FList.OnRemoving = nullptr; }

void TDownloadRecorder::ClearAll() {
  FList.ClearFinished();
  FRecords.Clear();
}

}  // namespace vorlane::browser
