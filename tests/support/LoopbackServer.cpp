#include "support/LoopbackServer.h"

#include <giomm/inetaddress.h>
#include <giomm/inetsocketaddress.h>
#include <gio/gio.h>
#include <glibmm/ustring.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

namespace vorlane::test {
namespace {

constexpr int HeldStatus = -1;

std::string Lower(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char C) { return std::tolower(C); });
  return Text;
}

const char* Reason(int Status) {
  switch (Status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

// One accepted connection: reads the request head, answers, closes (Connection: close).
class Exchange : public std::enable_shared_from_this<Exchange> {
public:
  Exchange(Glib::RefPtr<Gio::IOStream> Connection, std::shared_ptr<LoopbackServer::State> State)
      : FConnection(std::move(Connection)), FState(std::move(State)) {}

  void ReadMore() {
    auto Self = shared_from_this();
    FConnection->get_input_stream()->read_async(
        FChunk.data(), FChunk.size(), [Self](Glib::RefPtr<Gio::AsyncResult>& Result) {
          gssize Got = 0;
          try {
            Got = Self->FConnection->get_input_stream()->read_finish(Result);
          } catch (const Glib::Error&) {
            return;
          }
          if (Got <= 0) return;  // peer went away before a whole request
          Self->FRequest.append(Self->FChunk.data(), static_cast<size_t>(Got));
          if (Self->FRequest.find("\r\n\r\n") == std::string::npos) return Self->ReadMore();
          Self->Answer();
        });
  }

private:
  void Answer() {
    size_t LineEnd = FRequest.find("\r\n");
    std::string RequestLine = FRequest.substr(0, LineEnd);
    size_t Sp1 = RequestLine.find(' ');
    size_t Sp2 = RequestLine.find(' ', Sp1 + 1);
    std::string Target = Sp1 == std::string::npos ? "/" : RequestLine.substr(Sp1 + 1, Sp2 - Sp1 - 1);
    std::string Path = Target.substr(0, Target.find_first_of("?#"));

    auto& Seen = FState->Requests[Path];
    ++Seen.Count;
    Seen.LastHeaders.clear();
    size_t At = LineEnd + 2;
    while (At < FRequest.size()) {
      size_t End = FRequest.find("\r\n", At);
      if (End == std::string::npos || End == At) break;
      std::string Line = FRequest.substr(At, End - At);
      size_t Colon = Line.find(':');
      if (Colon != std::string::npos) {
        size_t ValueStart = Line.find_first_not_of(' ', Colon + 1);
        Seen.LastHeaders[Lower(Line.substr(0, Colon))] =
            ValueStart == std::string::npos ? "" : Line.substr(ValueStart);
      }
      At = End + 2;
    }

    LoopbackServer::Route Reply{"not found", "text/plain", 404};
    if (auto It = FState->Routes.find(Path); It != FState->Routes.end()) Reply = It->second;
    if (Reply.Status == HeldStatus) return FState->Held.push_back(shared_from_this());
    std::string Response = "HTTP/1.1 " + std::to_string(Reply.Status) + " " + Reason(Reply.Status) +
                           "\r\nContent-Type: " + Reply.MimeType +
                           "\r\nContent-Length: " + std::to_string(Reply.Body.size()) +
                           // Nothing is cached unless the page's own headers say how.
                           (Reply.Headers.find("Cache-Control:") == std::string::npos ? "\r\nCache-Control: no-store" : "") +
                           "\r\nConnection: close\r\n" + Reply.Headers + "\r\n" +
                           (Reply.CutOff ? Reply.Body.substr(0, Reply.Body.size() / 2) : Reply.Body);
    try {
      // Small answers on a loopback socket: the kernel buffer takes them at once.
      gsize Written = 0;
      FConnection->get_output_stream()->write_all(Response, Written);
      FConnection->close();
    } catch (const Glib::Error&) {
      // The client gave up; nothing to tell anyone.
    }
  }

  Glib::RefPtr<Gio::IOStream> FConnection;  // the socket, or TLS over it
  std::shared_ptr<LoopbackServer::State> FState;
  std::array<char, 4096> FChunk{};
  std::string FRequest;
};

}  // namespace

LoopbackServer::LoopbackServer(const std::string& Address)
    : FService(Gio::SocketService::create()), FAddress(Address) {
  auto Any = Gio::InetSocketAddress::create(Gio::InetAddress::create(Address), 0);
  Glib::RefPtr<Gio::SocketAddress> Effective;
  FService->add_address(Any, Gio::Socket::Type::STREAM, Gio::Socket::Protocol::TCP, Effective);
  auto Bound = std::dynamic_pointer_cast<Gio::InetSocketAddress>(Effective);
  if (!Bound) throw std::runtime_error("loopback server: no port");
  FPort = Bound->get_port();
  FService->signal_incoming().connect(sigc::mem_fun(*this, &LoopbackServer::OnIncoming), false);
  FService->start();
}

LoopbackServer::~LoopbackServer() {
  FState->Held.clear();
  FService->stop();
  FService->close();
}

std::string LoopbackServer::Url(const std::string& Path) const {
  return (FCertificate ? "https://" : "http://") + FAddress + ":" + std::to_string(FPort) + Path;
}

void LoopbackServer::UseTls(const std::string& PemFile) {
  GError* Error = nullptr;
  GTlsCertificate* Certificate = g_tls_certificate_new_from_file(PemFile.c_str(), &Error);
  if (!Certificate) {
    std::string Why = Error ? Error->message : "no certificate";
    g_clear_error(&Error);
    throw std::runtime_error("loopback server: " + Why);
  }
  FCertificate = Glib::wrap(Certificate);
}

void LoopbackServer::Serve(const std::string& Path, std::string Body, std::string MimeType, int Status,
                           std::string Headers) {
  FState->Routes[Path] = Route{std::move(Body), std::move(MimeType), Status, std::move(Headers)};
}

void LoopbackServer::CutOff(const std::string& Path, std::string Body, std::string MimeType) {
  FState->Routes[Path] = Route{std::move(Body), std::move(MimeType), 200, {}, true};
}

void LoopbackServer::Hold(const std::string& Path) { FState->Routes[Path] = Route{"", "", HeldStatus, {}}; }

int LoopbackServer::RequestCount(const std::string& Path) const {
  auto It = FState->Requests.find(Path);
  return It == FState->Requests.end() ? 0 : It->second.Count;
}

std::string LoopbackServer::LastHeader(const std::string& Path, const std::string& Name) const {
  auto It = FState->Requests.find(Path);
  if (It == FState->Requests.end()) return {};
  auto Header = It->second.LastHeaders.find(Lower(Name));
  return Header == It->second.LastHeaders.end() ? std::string() : Header->second;
}

bool LoopbackServer::OnIncoming(const Glib::RefPtr<Gio::SocketConnection>& Connection,
                                const Glib::RefPtr<Glib::Object>&) {
  Glib::RefPtr<Gio::IOStream> Stream = Connection;
  // The handshake runs with the first read.
  if (FCertificate) {
    GIOStream* Tls = g_tls_server_connection_new(G_IO_STREAM(Connection->gobj()), FCertificate->gobj(), nullptr);
    if (!Tls) return true;
    Stream = Glib::wrap(Tls);
  }
  std::make_shared<Exchange>(Stream, FState)->ReadMore();
  return true;
}

}  // namespace vorlane::test
