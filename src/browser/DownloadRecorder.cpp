#include "browser/DownloadRecorder.h"

#include "platform/DownloadFiles.h"
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

TDownloadRecorder::TDownloadRecorder(TDownloadList& List, platform::TDownloadRecords& Records,
                                     bool EarlierRunsEnded)
    : FList(List), FRecords(Records) {
  for (platform::TDownloadRecord Record : FRecords.Load()) {
    const bool Running = Record.State == static_cast<int>(DownloadState::Running);
    if (Running && !EarlierRunsEnded) continue;  // still coming, in the run beside this one
    // Still running when its run ended (killed, or the power went): it stays failed, and
    // the part file it left is removed. WebKit cannot resume a download; the row's retry
    // starts it again.
    if (Running) {
      if (!Record.Path.empty()) platform::DiscardInterruptedDownloadFile(Record.Path);
      Record.State = static_cast<int>(DownloadState::Failed);
      Record.Failure = InterruptedText;
      Record.Ended = Now();
      FRecords.Update(Record);
    }
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
  // Where its part file is, for the next start when this run does not end it.
  FList.OnNamed = [this](TDownloadItem& Item) { FRecords.Update(RecordOf(Item)); };
  FList.OnEnded = [this](TDownloadItem& Item) {
    auto Record = RecordOf(Item);
    Record.Ended = Now();
    FRecords.Update(Record);
  };
  FList.OnRemoving = [this](TDownloadItem& Item) {
    if (Item.Record) FRecords.Remove(Item.Record);
  };
}

TDownloadRecorder::~TDownloadRecorder() { FList.OnBegun = FList.OnNamed = FList.OnEnded = FList.OnRemoving = nullptr; }

void TDownloadRecorder::ClearAll() {
  FList.ClearFinished();
  FRecords.Clear();
}

}  // namespace vorlane::browser
