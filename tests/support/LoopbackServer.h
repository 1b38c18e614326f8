#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (a free port chosen by the system) that runs on the
// GLib main context, so tests pump the main loop and the server answers meanwhile. It
// serves registered paths, answers 404 otherwise, and counts the requests per path.
#include <giomm/socketservice.h>
#include <giomm/tlscertificate.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::test {

class LoopbackServer {
public:
  // Address: a loopback address of 127.0.0.0/8; each is a site of its own to the engine.
  explicit LoopbackServer(const std::string& Address = "127.0.0.1");
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  uint16_t Port() const { return FPort; }
  // "http://ADDRESS:<port>" followed by Path ("https://" once it uses TLS).
  std::string Url(const std::string& Path) const;
  // Answers over TLS with the certificate and key of PemFile from now on.
  void UseTls(const std::string& PemFile);

  // Path is matched without its query; a later call for the same path replaces the page.
  // Headers: more header lines, each ending in "\r\n"; answers are "no-store" unless they
  // name a Cache-Control of their own.
  void Serve(const std::string& Path, std::string Body, std::string MimeType = "text/html; charset=utf-8",
             int Status = 200, std::string Headers = {});

  // Requests for Path get no answer for as long as the server lives (a slow site).
  void Hold(const std::string& Path);
  // Requests for Path get the head for Body and its first half, then the connection closes
  // (a server that goes away in the middle).
  void CutOff(const std::string& Path, std::string Body, std::string MimeType);

  // Requests seen for Path (query ignored), answered or not.
  int RequestCount(const std::string& Path) const;
  // A header of the latest request for Path (name in any case); empty when absent.
  std::string LastHeader(const std::string& Path, const std::string& Name) const;

  struct Route {
    std::string Body;
    std::string MimeType;
    int Status = 200;
    std::string Headers;
    bool CutOff = false;
  };
  struct Seen {
    int Count = 0;
    std::map<std::string, std::string> LastHeaders;  // lower-case names
  };
  // Shared with the connections in flight, which may outlive the server by a moment.
  struct State {
    std::map<std::string, Route> Routes;
    std::map<std::string, Seen> Requests;
    std::vector<std::shared_ptr<void>> Held;  // connections left waiting
  };

private:
  bool OnIncoming(const Glib::RefPtr<Gio::SocketConnection>& Connection,
                  const Glib::RefPtr<Glib::Object>& Source);

  Glib::RefPtr<Gio::SocketService> FService;
  Glib::RefPtr<Gio::TlsCertificate> FCertificate;
  std::shared_ptr<State> FState = std::make_shared<State>();
  std::string FAddress;
  uint16_t FPort = 0;
};

}  // namespace vorlane::test
