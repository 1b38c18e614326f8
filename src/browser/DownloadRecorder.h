#pragma once
// Keeps the downloads list across runs in the history database: the downloads of earlier
// runs come back as rows below this run's, each new download is written when it starts
// and when it ends, and a row the user removes (or clears) goes from the file too.
#include "browser/DownloadList.h"

namespace vorlane::platform { class TDownloadRecords; }

namespace vorlane::browser {

class TDownloadRecorder {
public:
  // EarlierRunsEnded: no other live run shares the file, so a download it records as
  // running was cut off; otherwise such a row belongs to that run and is left to it.
  TDownloadRecorder(TDownloadList& List, platform::TDownloadRecords& Records, bool EarlierRunsEnded = true);
  ~TDownloadRecorder();
  TDownloadRecorder(const TDownloadRecorder&) = delete;
  TDownloadRecorder& operator=(const TDownloadRecorder&) = delete;

  // "清除浏览数据": every kept row goes, and the finished rows of the list with them.
  void ClearAll();

private:
  TDownloadList& FList;
  platform::TDownloadRecords& FRecords;
};

}  // namespace vorlane::browser
