// What a page asks of the user through the engine: windows it opens from script, the
// permissions it requests, and going on past a certificate WebKit does not trust. Each
// question goes to the host; the engine keeps what it needs to carry the answer out.
#include "engine/WebKitEngine.h"

#include "engine/NoticePages.h"

#include <glib.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

struct WebKitEngine::PendingPermission {
  GObjectPtr<WebKitPermissionRequest> Request;
  bool Answered = false;

  void Answer(bool Allow) {
    if (std::exchange(Answered, true)) return;
    if (Allow) webkit_permission_request_allow(Request.Get());
    else webkit_permission_request_deny(Request.Get());
  }
};

namespace {

std::string OrEmpty(const char* Text) { return Text ? Text : ""; }

// The address the error page's "继续前往" link leads to; the engine stops that navigation
// and asks the host instead.
constexpr std::string_view ProceedPrefix = "vorlane://home.vorlane/proceed-insecure?";

std::optional<browser::PagePermission> KindOf(WebKitPermissionRequest* Request) {
  if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(Request)) return browser::PagePermission::Geolocation;
  if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(Request)) return browser::PagePermission::Notifications;
  if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(Request)) {
    // Sharing the screen is not among the questions we put to the user.
    if (webkit_user_media_permission_is_for_display_device(WEBKIT_USER_MEDIA_PERMISSION_REQUEST(Request)))
      return std::nullopt;
    return browser::PagePermission::CameraAndMicrophone;
  }
  if (WEBKIT_IS_CLIPBOARD_PERMISSION_REQUEST(Request)) return browser::PagePermission::ReadClipboard;
  return std::nullopt;
}

std::string DateOf(GDateTime* Time) {
  if (!Time) return "?";
  GCharPtr Text(g_date_time_format(Time, "%Y-%m-%d"));
  g_date_time_unref(Time);
  return Text ? Text.get() : "?";
}

CertificateFaults FaultsOf(GTlsCertificate* Certificate, GTlsCertificateFlags Flags) {
  CertificateFaults Faults;
  Faults.Expired = Flags & G_TLS_CERTIFICATE_EXPIRED;
  Faults.NotYetValid = Flags & G_TLS_CERTIFICATE_NOT_ACTIVATED;
  Faults.WrongHost = Flags & G_TLS_CERTIFICATE_BAD_IDENTITY;
  Faults.UnknownIssuer = Flags & G_TLS_CERTIFICATE_UNKNOWN_CA;
  Faults.Revoked = Flags & G_TLS_CERTIFICATE_REVOKED;
  Faults.WeakAlgorithm = Flags & G_TLS_CERTIFICATE_INSECURE;
  GCharPtr Subject(g_tls_certificate_get_subject_name(Certificate));
  GCharPtr Issuer(g_tls_certificate_get_issuer_name(Certificate));
  Faults.SelfSigned = Faults.UnknownIssuer && Subject && Issuer && std::string_view(Subject.get()) == Issuer.get();
  return Faults;
}

CertificateDetails DetailsOf(GTlsCertificate* Certificate) {
  GCharPtr Subject(g_tls_certificate_get_subject_name(Certificate));
  GCharPtr Issuer(g_tls_certificate_get_issuer_name(Certificate));
  return {Subject ? Subject.get() : "?", Issuer ? Issuer.get() : "?",
          DateOf(g_tls_certificate_get_not_valid_before(Certificate)),
          DateOf(g_tls_certificate_get_not_valid_after(Certificate))};
}

}  // namespace

struct WebKitEngine::Questions {
  static WebKitEngine& Of(gpointer Data) { return *static_cast<WebKitEngine*>(Data); }

  static gboolean PermissionRequest(WebKitWebView*, WebKitPermissionRequest* Request, gpointer Data) {
    WebKitEngine& E = Of(Data);
    auto Pending = std::make_shared<PendingPermission>();
    Pending->Request = GObjectPtr<WebKitPermissionRequest>::Share(Request);
    auto Kind = KindOf(Request);
    if (!Kind || !E.FHost) {
      Pending->Answer(false);
      return TRUE;
    }
    E.FPermissions.push_back(Pending);
    std::weak_ptr<PendingPermission> Weak = Pending;
    E.FHost->RequestPermission(*Kind, [Weak](bool Allow) {
      // Gone with its document or its engine: already refused.
      if (auto Alive = Weak.lock()) Alive->Answer(Allow);
    });
    return TRUE;
  }

  // Our page in place of WebKit's: what is wrong with the certificate, and a way on that
  // the host confirms first.
  static gboolean TlsFailed(WebKitWebView* View, gchar* FailingUri, GTlsCertificate* Certificate,
                            GTlsCertificateFlags Flags, gpointer Data) {
    WebKitEngine& E = Of(Data);
    std::string Uri = OrEmpty(FailingUri);
    GUriPtr Parsed(g_uri_parse(Uri.c_str(), G_URI_FLAGS_NONE, nullptr));
    std::string Host = Parsed ? OrEmpty(g_uri_get_host(Parsed.get())) : "";
    GCharPtr Token(g_strdup_printf("%08x%08x", g_random_int(), g_random_int()));
    E.FUntrusted = UntrustedCertificate{GObjectPtr<GTlsCertificate>::Share(Certificate), Host, Uri, Token.get()};
    std::weak_ptr<int> Alive = E.FLifeToken;
    E.FErrorPageUri = Uri.empty() ? "about:blank" : Uri;
    if (E.FEvents) E.FEvents->NavigateError(Uri, false);  // a certificate fails before any commit
    if (Alive.expired()) return TRUE;
    std::string Page = UntrustedCertificatePage(Uri, FaultsOf(Certificate, Flags), DetailsOf(Certificate),
                                                std::string(ProceedPrefix) + Token.get());
    webkit_web_view_load_alternate_html(View, Page.c_str(), E.FErrorPageUri.c_str(), nullptr);
    return TRUE;
  }
};

bool WebKitEngine::InterceptProceed(const std::string& RequestUri) {
  if (RequestUri.rfind(ProceedPrefix, 0) != 0) return false;
  // Anything else that asks for it (another token, no failure shown) is simply stopped.
  if (!FUntrusted || RequestUri.substr(ProceedPrefix.size()) != FUntrusted->Token || !FHost) return true;
  UntrustedCertificate Failure = *FUntrusted;
  std::weak_ptr<int> Alive = FLifeToken;
  FHost->ConfirmInsecureProceed(Failure.Host, [this, Alive, Failure](bool Proceed) {
    if (!Proceed || Alive.expired() || !FView) return;
    // For this run only: the network session forgets it when the program ends.
    webkit_network_session_allow_tls_certificate_for_host(webkit_web_view_get_network_session(FView.Get()),
                                                          Failure.Certificate.Get(), Failure.Host.c_str());
    FUntrusted.reset();
    webkit_web_view_load_uri(FView.Get(), Failure.Uri.c_str());
  });
  return true;
}

void WebKitEngine::DocumentChanged(bool ErrorPage) {
  RefusePendingPermissions();
  if (!ErrorPage) FUntrusted.reset();
  GTlsCertificate* Certificate = nullptr;
  GTlsCertificateFlags Errors = GTlsCertificateFlags(0);
  bool Tls = webkit_web_view_get_tls_info(FView.Get(), &Certificate, &Errors);
  if (FEvents) FEvents->CertificateStateChange(Tls && Errors != 0);
}

void WebKitEngine::RefusePendingPermissions() {
  for (auto& Pending : std::exchange(FPermissions, {})) Pending->Answer(false);
}

void WebKitEngine::ConnectQuestions() {
  g_signal_connect(FView.Get(), "permission-request", G_CALLBACK(Questions::PermissionRequest), this);
  g_signal_connect(FView.Get(), "load-failed-with-tls-errors", G_CALLBACK(Questions::TlsFailed), this);
}

}  // namespace vorlane::engine
