#pragma once
// Every download WebKit starts in the profile's network session (a response no page can
// show, an attachment, a link with a download attribute, an address handed to Download)
// goes to a part file under the download rule and is reported into the download list.
#include "browser/DownloadList.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

typedef struct _WebKitDownload WebKitDownload;

namespace vorlane::engine {

class TDownloadDriver final : public browser::IDownloadActions {
public:
  // Folder: where downloads go, asked for each one (it may change while the browser runs).
  TDownloadDriver(browser::TDownloadList& List, std::function<std::filesystem::path()> Folder);
  // Cancels what still runs and removes its part files.
  ~TDownloadDriver() override;
  TDownloadDriver(const TDownloadDriver&) = delete;
  TDownloadDriver& operator=(const TDownloadDriver&) = delete;

  // Asks where a download goes before any byte is written: Proposed is the download
  // folder and the download's name; Done gets the place chosen, or nullopt to cancel. It
  // may answer later (a dialog). Unset: the download folder, without asking.
  using TChooseDestination = std::function<void(const std::filesystem::path& Proposed,
                                                std::function<void(std::optional<std::filesystem::path>)> Done)>;
  TChooseDestination ChooseDestination;

  void Cancel(int Id) override;
  void Download(const std::string& Url) override;
  void CancelAll();

private:
  struct Running;
  struct Signals;
  void Adopt(WebKitDownload* Download);
  // Holds a part file for the download at Folder/Name and lets WebKit write there.
  void Place(int Id, const std::filesystem::path& Folder, const std::string& Name);
  void Forget(int Id);

  browser::TDownloadList& FList;
  std::function<std::filesystem::path()> FFolder;
  std::map<int, std::unique_ptr<Running>> FRunning;
  unsigned long FStartedHandler = 0;
  std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);
};

}  // namespace vorlane::engine
