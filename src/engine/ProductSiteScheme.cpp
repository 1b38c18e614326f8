#include "engine/ProductSiteScheme.h"

#include "engine/GObjectPtr.h"
#include "engine/SitePages.h"

#include <mutex>
#include <string>
#include <webkit/webkit.h>

namespace vorlane::engine {
namespace {

std::string OrEmpty(const char* Text) { return Text ? Text : ""; }

SiteContent& Content() {
  static SiteContent Current;
  return Current;
}

void FinishNotFound(WebKitURISchemeRequest* Request, const char* Uri) {
  GErrorPtr Error(g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "Not found: %s", Uri));
  webkit_uri_scheme_request_finish_error(Request, Error.get());
}

void HandleRequest(WebKitURISchemeRequest* Request, gpointer) {
  const char* Uri = webkit_uri_scheme_request_get_uri(Request);
  // Keep escapes as they came: the search word is decoded by the page logic itself.
  GUriPtr Parsed(g_uri_parse(Uri, G_URI_FLAGS_ENCODED, nullptr));
  if (!Parsed) return FinishNotFound(Request, Uri);
  SiteReply Reply = ServeSitePage(OrEmpty(g_uri_get_host(Parsed.get())),
                                  OrEmpty(g_uri_get_path(Parsed.get())),
                                  OrEmpty(g_uri_get_query(Parsed.get())), Content());
  if (Reply.Status != 200) return FinishNotFound(Request, Uri);

  GBytesPtr Bytes(g_bytes_new(Reply.Body.data(), Reply.Body.size()));
  auto Stream = GObjectPtr<GInputStream>::Adopt(g_memory_input_stream_new_from_bytes(Bytes.get()));
  auto Response = GObjectPtr<WebKitURISchemeResponse>::Adopt(
      webkit_uri_scheme_response_new(Stream.Get(), static_cast<gint64>(Reply.Body.size())));
  webkit_uri_scheme_response_set_content_type(Response.Get(), Reply.MimeType.c_str());
  webkit_uri_scheme_response_set_status(Response.Get(), 200, nullptr);
  webkit_uri_scheme_request_finish_with_response(Request, Response.Get());
}

}  // namespace

void SetProductSiteContent(SiteContent NewContent) { Content() = std::move(NewContent); }

void RegisterProductSiteScheme() {
  // A scheme can be registered on a web context only once, and the default context lives
  // as long as the process: one registration per process.
  static std::once_flag Once;
  std::call_once(Once, [] {
    std::string Scheme(SiteScheme);
    webkit_web_context_register_uri_scheme(webkit_web_context_get_default(), Scheme.c_str(),
                                           HandleRequest, nullptr, nullptr);
  });
}

}  // namespace vorlane::engine
