#include "engine/DownloadDriver.h"

#include "browser/DownloadNames.h"
#include "engine/GObjectPtr.h"
#include "engine/NetworkSession.h"
#include "platform/DownloadFiles.h"

#include <glibmm/main.h>
#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include <cerrno>
#include <cstring>
#include <locale.h>
#include <optional>

namespace vorlane::engine {

namespace {

std::string OrEmpty(const char* Text) { return Text ? Text : ""; }

// WebKit passes on GIO's words for a write error, not its code. GIO words the system's
// errors as strerror does, in the network process's language, which need not be ours:
// both ours and the untranslated words are looked for.
bool SaysDiskFull(const char* Message) {
  if (!Message) return false;
  static const locale_t Untranslated = newlocale(LC_ALL_MASK, "C", locale_t(0));
  for (int Code : {ENOSPC, EDQUOT, EFBIG})
    if (std::strstr(Message, g_strerror(Code)) || (Untranslated && std::strstr(Message, strerror_l(Code, Untranslated))))
      return true;
  return false;
}

std::string FailureText(const GError* Error) {
  if (g_error_matches(Error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_DESTINATION)) {
    if (SaysDiskFull(Error->message)) return "磁盘空间不足，无法写入文件";
    return "无法写入文件（" + OrEmpty(Error->message) + "）";
  }
  if (Error->domain == G_IO_ERROR && Error->code == G_IO_ERROR_NO_SPACE) return "磁盘空间不足，无法写入文件";
  return "网络连接中断（" + OrEmpty(Error->message) + "）";
}

}  // namespace

struct TDownloadDriver::Running {
  TDownloadDriver* Owner = nullptr;
  int Id = 0;
  GObjectPtr<WebKitDownload> Download;
  std::optional<platform::TDownloadFile> File;
  bool Ended = false;  // failed, cancelled or finished: nothing more to report or cancel
};

struct TDownloadDriver::Signals {
  static void Started(WebKitNetworkSession*, WebKitDownload* Download, gpointer Data) {
    static_cast<TDownloadDriver*>(Data)->Adopt(Download);
  }

  // The name and the part file, chosen before any byte is written.
  static gboolean DecideDestination(WebKitDownload* Download, gchar*, gpointer Data) {
    auto* R = static_cast<Running*>(Data);
    WebKitURIResponse* Response = webkit_download_get_response(Download);
    const guint Status = Response ? webkit_uri_response_get_status_code(Response) : 0;
    if (Status >= 400) {
      R->Ended = true;
      R->Owner->FList.Failed(R->Id, "服务器返回错误 " + std::to_string(Status));
      webkit_download_cancel(Download);
      return TRUE;
    }
    std::string Disposition, Mime;
    if (Response) {
      if (SoupMessageHeaders* Headers = webkit_uri_response_get_http_headers(Response))
        Disposition = OrEmpty(soup_message_headers_get_one(Headers, "Content-Disposition"));
      Mime = OrEmpty(webkit_uri_response_get_mime_type(Response));
    }
    const std::string Url = OrEmpty(webkit_uri_request_get_uri(webkit_download_get_request(Download)));
    const std::string Name = browser::DownloadFileName(Disposition, Url, Mime);
    TDownloadDriver* Owner = R->Owner;
    const std::filesystem::path Folder = Owner->FFolder();
    if (!Owner->ChooseDestination) {
      Owner->Place(R->Id, Folder, Name);
      return TRUE;
    }
    // WebKit waits with the download until a destination is set or it is cancelled.
    std::weak_ptr<int> Alive = Owner->FLifeToken;
    const int Id = R->Id;
    Owner->ChooseDestination(Folder / Name, [Owner, Alive, Id](std::optional<std::filesystem::path> Chosen) {
      if (Alive.expired()) return;
      if (Chosen) return Owner->Place(Id, Chosen->parent_path(), Chosen->filename().string());
      Owner->Cancel(Id);
    });
    return TRUE;
  }

  static void ReceivedData(WebKitDownload* Download, guint64, gpointer Data) {
    auto* R = static_cast<Running*>(Data);
    WebKitURIResponse* Response = webkit_download_get_response(Download);
    guint64 Length = Response ? webkit_uri_response_get_content_length(Response) : 0;
    R->Owner->FList.Progress(R->Id, static_cast<int64_t>(webkit_download_get_received_data_length(Download)),
                             Length > 0 ? static_cast<int64_t>(Length) : -1);
  }

  static void Failed(WebKitDownload*, GError* Error, gpointer Data) {
    auto* R = static_cast<Running*>(Data);
    if (R->File) platform::DiscardDownloadFile(*R->File);
    if (std::exchange(R->Ended, true)) return;
    if (g_error_matches(Error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER))
      R->Owner->FList.Cancelled(R->Id);
    else
      R->Owner->FList.Failed(R->Id, FailureText(Error));
  }

  static void Finished(WebKitDownload* Download, gpointer Data) {
    auto* R = static_cast<Running*>(Data);
    TDownloadDriver* Owner = R->Owner;
    const int Id = R->Id;
    // WebKit counts a server that closes the connection before the length it announced as
    // finished; a file cut short is no complete download.
    WebKitURIResponse* Response = webkit_download_get_response(Download);
    const guint64 Announced = Response ? webkit_uri_response_get_content_length(Response) : 0;
    if (!R->Ended && Announced > 0 && webkit_download_get_received_data_length(Download) < Announced) {
      R->Ended = true;
      if (R->File) platform::DiscardDownloadFile(*R->File);
      Owner->FList.Failed(Id, "服务器在传输中途断开了连接");
    }
    // WebKit is done with it: nothing may cancel it any more.
    if (!std::exchange(R->Ended, true) && R->File) {
      std::string Error;
      if (auto Path = platform::CompleteDownloadFile(*R->File, Error))
        Owner->FList.Completed(Id, Path->string());
      else
        Owner->FList.Failed(Id, Error);
    }
    // Let go once WebKit's emission is over.
    std::weak_ptr<int> Alive = Owner->FLifeToken;
    Glib::signal_idle().connect_once([Owner, Alive, Id] {
      if (!Alive.expired()) Owner->Forget(Id);
    });
  }
};

TDownloadDriver::TDownloadDriver(browser::TDownloadList& List, std::function<std::filesystem::path()> Folder)
    : FList(List), FFolder(std::move(Folder)) {
  FList.Actions = this;
  FStartedHandler = g_signal_connect(ProfileNetworkSession(), "download-started", G_CALLBACK(Signals::Started), this);
}

TDownloadDriver::~TDownloadDriver() {
  g_signal_handler_disconnect(ProfileNetworkSession(), FStartedHandler);
  CancelAll();
  for (auto& [Id, R] : FRunning) g_signal_handlers_disconnect_by_data(R->Download.Get(), R.get());
  FRunning.clear();
  if (FList.Actions == this) FList.Actions = nullptr;
}

void TDownloadDriver::Adopt(WebKitDownload* Download) {
  auto R = std::make_unique<Running>();
  R->Owner = this;
  R->Download = GObjectPtr<WebKitDownload>::Share(Download);
  R->Id = FList.Started(OrEmpty(webkit_uri_request_get_uri(webkit_download_get_request(Download))));
  g_signal_connect(Download, "decide-destination", G_CALLBACK(Signals::DecideDestination), R.get());
  g_signal_connect(Download, "received-data", G_CALLBACK(Signals::ReceivedData), R.get());
  g_signal_connect(Download, "failed", G_CALLBACK(Signals::Failed), R.get());
  g_signal_connect(Download, "finished", G_CALLBACK(Signals::Finished), R.get());
  FRunning[R->Id] = std::move(R);
}

void TDownloadDriver::Place(int Id, const std::filesystem::path& Folder, const std::string& Name) {
  auto It = FRunning.find(Id);
  if (It == FRunning.end() || It->second->Ended) return;  // cancelled while the user chose
  Running& R = *It->second;
  std::string Error;
  R.File = platform::ReserveDownloadFile(Folder, Name, Error);
  if (!R.File) {
    R.Ended = true;
    FList.Failed(Id, Error);
    webkit_download_cancel(R.Download.Get());
    return;
  }
  FList.Named(Id, R.File->Final.filename().string(), R.File->Final.string());
  // Our own part file, made just now: WebKit may write over it.
  webkit_download_set_allow_overwrite(R.Download.Get(), TRUE);
  webkit_download_set_destination(R.Download.Get(), R.File->Part.c_str());
}

void TDownloadDriver::Forget(int Id) {
  auto It = FRunning.find(Id);
  if (It == FRunning.end()) return;
  g_signal_handlers_disconnect_by_data(It->second->Download.Get(), It->second.get());
  FRunning.erase(It);
}

void TDownloadDriver::Cancel(int Id) {
  auto It = FRunning.find(Id);
  if (It != FRunning.end() && !It->second->Ended) webkit_download_cancel(It->second->Download.Get());
}

void TDownloadDriver::Download(const std::string& Url) {
  // WebKit raises download-started for it, like any other.
  GObjectPtr<WebKitDownload>::Adopt(webkit_network_session_download_uri(ProfileNetworkSession(), Url.c_str()));
}

void TDownloadDriver::CancelAll() {
  for (auto& [Id, R] : FRunning) {
    if (R->Ended) continue;
    R->Ended = true;
    g_signal_handlers_disconnect_by_data(R->Download.Get(), R.get());
    webkit_download_cancel(R->Download.Get());
    if (R->File) platform::DiscardDownloadFile(*R->File);
    FList.Cancelled(Id);
  }
}

}  // namespace vorlane::engine
