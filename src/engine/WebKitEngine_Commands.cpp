// Page commands of the WebKit engine: print, page setup and preview (ExecWB), save,
// source, properties, find, website data, scripts with arguments, the user-agent token.
#include "engine/WebKitEngine.h"

#include "engine/NetworkSession.h"
#include "engine/PrintPreview.h"
#include "engine/PrintSetup.h"
#include "platform/AsyncFile.h"

#include <webkit/webkit.h>

#include <deque>

namespace vorlane::engine {

using browser::EngineError;

namespace {

std::string OrEmpty(const char* Text) { return Text ? Text : ""; }

GtkWindow* ParentOf(WebKitWebView* View) {
  GtkRoot* Root = View ? gtk_widget_get_root(GTK_WIDGET(View)) : nullptr;
  return GTK_IS_WINDOW(Root) ? GTK_WINDOW(Root) : nullptr;
}

// One asynchronous call's caller, dropped when the engine went meanwhile.
template <typename Callback>
struct Pending {
  std::weak_ptr<int> Alive;
  Callback Done;
};

template <typename Callback>
Pending<Callback>* NewPending(const std::shared_ptr<int>& Token, Callback Done) {
  return new Pending<Callback>{Token, std::move(Done)};
}

using TextDone = std::function<void(std::optional<std::string>)>;

}  // namespace

// --- ExecWB: print 6, preview 7, page setup 8 ---

void WebKitEngine::ExecWB(int32_t Command, int32_t Option) {
  if (Command != browser::OLECMDID_PRINT && Command != browser::OLECMDID_PRINTPREVIEW &&
      Command != browser::OLECMDID_PAGESETUP)
    throw EngineError(browser::E_NOTIMPL_CODE, "This page command is not available");
  if (!FPrintSetup) FPrintSetup = std::make_shared<PrintSetup>();
  std::shared_ptr<PrintSetup> Setup = FPrintSetup;

  if (!Setup->Settings) Setup->Settings = GObjectPtr<GtkPrintSettings>::Adopt(gtk_print_settings_new());
  if (Command == browser::OLECMDID_PAGESETUP) {
    // Asynchronous; the answer goes into the shared pair even if this page closed.
    auto* Keep = new std::shared_ptr<PrintSetup>(Setup);
    gtk_print_run_page_setup_dialog_async(
        ParentOf(FView.Get()), Setup->PageSetup.Get(), Setup->Settings.Get(),
        [](GtkPageSetup* Chosen, gpointer Data) {
          std::unique_ptr<std::shared_ptr<PrintSetup>> S(static_cast<std::shared_ptr<PrintSetup>*>(Data));
          if (Chosen) (*S)->PageSetup = GObjectPtr<GtkPageSetup>::Share(Chosen);
        },
        Keep);
    return;
  }

  if (!HasDocument()) throw EngineError(browser::E_FAIL_CODE, "There is no page to print");

  if (Command == browser::OLECMDID_PRINTPREVIEW) {
    std::weak_ptr<int> Alive = FLifeToken;
    StartPrintPreview(FView.Get(), *Setup, ParentOf(FView.Get()), [this, Alive](const std::string& Error) {
      if (!Alive.expired() && FHost) FHost->ReportError("无法生成打印预览：" + Error);
    });
    return;
  }

  auto Operation = GObjectPtr<WebKitPrintOperation>::Adopt(webkit_print_operation_new(FView.Get()));
  if (Setup->Settings) webkit_print_operation_set_print_settings(Operation.Get(), Setup->Settings.Get());
  if (Setup->PageSetup) webkit_print_operation_set_page_setup(Operation.Get(), Setup->PageSetup.Get());
  if (Option == browser::OLECMDEXECOPT_DONTPROMPTUSER) {
    webkit_print_operation_print(Operation.Get());
    return;
  }
  // WebKit's print dialog returns when it closes; the operation keeps the view alive, and
  // the shared pair outlives this engine should the page close meanwhile.
  WebKitPrintOperationResponse Response = webkit_print_operation_run_dialog(Operation.Get(), ParentOf(FView.Get()));
  if (Response == WEBKIT_PRINT_OPERATION_RESPONSE_PRINT) {
    Setup->Settings = GObjectPtr<GtkPrintSettings>::Share(webkit_print_operation_get_print_settings(Operation.Get()));
    Setup->PageSetup = GObjectPtr<GtkPageSetup>::Share(webkit_print_operation_get_page_setup(Operation.Get()));
  }
}

// --- Scripts with arguments ---

void WebKitEngine::CallScript(const std::string& FunctionBody,
                              const std::vector<std::pair<std::string, std::string>>& Arguments,
                              TextDone Done) {
  EnsureView();
  GVariantBuilder Builder;
  g_variant_builder_init(&Builder, G_VARIANT_TYPE("a{sv}"));
  for (const auto& [Name, Value] : Arguments)
    g_variant_builder_add(&Builder, "{sv}", Name.c_str(), g_variant_new_string(Value.c_str()));
  // The values reach the function as parameters: never part of its source.
  webkit_web_view_call_async_javascript_function(
      FView.Get(), FunctionBody.c_str(), static_cast<gssize>(FunctionBody.size()), g_variant_builder_end(&Builder),
      "vorlane", nullptr, FCancellable.Get(),
      [](GObject* Source, GAsyncResult* Result, gpointer Data) {
        std::unique_ptr<Pending<TextDone>> P(static_cast<Pending<TextDone>*>(Data));
        GErrorSlot Error;
        auto Value = GObjectPtr<JSCValue>::Adopt(
            webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(Source), Result, &Error));
        if (P->Alive.expired() || !P->Done) return;
        if (!Value) return P->Done(std::nullopt);
        GCharPtr Text(jsc_value_to_string(Value.Get()));
        P->Done(Text ? std::optional<std::string>(Text.get()) : std::nullopt);
      },
      NewPending(FLifeToken, std::move(Done)));
}

// --- Save and source ---

namespace {

using SourceDone = std::function<void(std::optional<browser::WebEngine::DocumentSource>)>;

std::string ResponseCharset(WebKitWebResource* Resource) {
  WebKitURIResponse* Response = webkit_web_resource_get_response(Resource);
  SoupMessageHeaders* Headers = Response ? webkit_uri_response_get_http_headers(Response) : nullptr;
  if (!Headers) return {};
  GHashTable* Params = nullptr;
  if (!soup_message_headers_get_content_type(Headers, &Params) || !Params) return {};
  std::string Charset = OrEmpty(static_cast<const char*>(g_hash_table_lookup(Params, "charset")));
  g_hash_table_destroy(Params);
  return Charset;
}

void ReadMainResource(WebKitWebView* View, GCancellable* Cancellable, const std::shared_ptr<int>& Token,
                      SourceDone Done) {
  WebKitWebResource* Resource = View ? webkit_web_view_get_main_resource(View) : nullptr;
  if (!Resource) return Done(std::nullopt);
  struct Read {
    std::weak_ptr<int> Alive;
    SourceDone Done;
    std::string Charset;
  };
  webkit_web_resource_get_data(
      Resource, Cancellable,
      [](GObject* Source, GAsyncResult* Result, gpointer Data) {
        std::unique_ptr<Read> R(static_cast<Read*>(Data));
        gsize Length = 0;
        GErrorSlot Error;
        GCharPtr Bytes(reinterpret_cast<char*>(
            webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(Source), Result, &Length, &Error)));
        if (R->Alive.expired()) return;
        if (!Bytes) return R->Done(std::nullopt);
        R->Done(browser::WebEngine::DocumentSource{std::string(Bytes.get(), Length), R->Charset});
      },
      new Read{Token, std::move(Done), ResponseCharset(Resource)});
}

}  // namespace

void WebKitEngine::SaveDocument(const std::string& Path, SaveMode Mode, TextDone Done) {
  if (!HasDocument()) return Done(std::string("There is no page to save"));
  if (Mode == SaveMode::HtmlOnly) {
    ReadMainResource(FView.Get(), FCancellable.Get(), FLifeToken,
                     [Path, Done](std::optional<DocumentSource> Source) {
                       if (!Source) return Done(std::string("The page's data could not be read"));
                       platform::WriteFileAsync(Path, std::move(Source->Bytes), Done);
                     });
    return;
  }
  GFile* File = g_file_new_for_path(Path.c_str());
  webkit_web_view_save_to_file(
      FView.Get(), File, WEBKIT_SAVE_MODE_MHTML, FCancellable.Get(),
      [](GObject* Source, GAsyncResult* Result, gpointer Data) {
        std::unique_ptr<Pending<TextDone>> P(static_cast<Pending<TextDone>*>(Data));
        GErrorSlot Error;
        bool Saved = webkit_web_view_save_to_file_finish(WEBKIT_WEB_VIEW(Source), Result, &Error);
        if (P->Alive.expired()) return;
        if (Saved) return P->Done(std::nullopt);
        P->Done(std::string(Error ? Error->message : "The page could not be saved"));
      },
      NewPending(FLifeToken, std::move(Done)));
  g_object_unref(File);
}

void WebKitEngine::GetDocumentSource(SourceDone Done) {
  ReadMainResource(FView.Get(), FCancellable.Get(), FLifeToken, std::move(Done));
}

// --- Properties ---

browser::WebEngine::PageProperties WebKitEngine::GetPageProperties() const {
  PageProperties P{DocumentTitle(), DocumentUrl()};
  WebKitWebResource* Resource = FView ? webkit_web_view_get_main_resource(FView.Get()) : nullptr;
  WebKitURIResponse* Response = Resource ? webkit_web_resource_get_response(Resource) : nullptr;
  if (Response) {
    P.MimeType = OrEmpty(webkit_uri_response_get_mime_type(Response));
    guint64 Length = webkit_uri_response_get_content_length(Response);
    P.Size = Length ? static_cast<int64_t>(Length) : -1;
    P.Status = static_cast<int>(webkit_uri_response_get_status_code(Response));
  }
  GTlsCertificate* Certificate = nullptr;
  GTlsCertificateFlags Errors{};
  if (FView && webkit_web_view_get_tls_info(FView.Get(), &Certificate, &Errors) && Certificate) {
    GCharPtr Subject(g_tls_certificate_get_subject_name(Certificate));
    GCharPtr Issuer(g_tls_certificate_get_issuer_name(Certificate));
    std::string Until;
    if (GDateTime* After = g_tls_certificate_get_not_valid_after(Certificate)) {
      GCharPtr Text(g_date_time_format(After, "%Y-%m-%d"));
      Until = OrEmpty(Text.get());
      g_date_time_unref(After);
    }
    P.Certificate = "颁发给：" + OrEmpty(Subject.get()) + "\n颁发者：" + OrEmpty(Issuer.get()) + "\n有效期至：" + Until;
    P.CertificateTrusted = Errors == 0;
  }
  return P;
}

// --- Find ---

// Counts arrive in the order they were asked for, one per count; only the latest search's
// caller hears its count. A count meant for an earlier text (typing "needle1" asks for
// "n", "ne", … on the way) must never be taken for the latest's.
struct FindState {
  std::weak_ptr<int> Alive;
  uint64_t Latest = 0;
  std::deque<uint64_t> Asked;  // counts not yet answered, oldest first
  std::function<void(unsigned)> Done;
  void Counted(unsigned Matches) {
    if (Asked.empty()) return;
    uint64_t Search = Asked.front();
    Asked.pop_front();
    if (Search != Latest) return;
    if (auto D = std::exchange(Done, nullptr); D && !Alive.expired()) D(Matches);
  }
};

namespace {

void CountedMatches(WebKitFindController*, guint Matches, gpointer Data) {
  static_cast<std::shared_ptr<FindState>*>(Data)->get()->Counted(Matches);
}

}  // namespace

void WebKitEngine::FindText(const std::string& Text, bool MatchCase, std::function<void(unsigned)> Done) {
  if (!FView) return Done(0);
  WebKitFindController* Controller = webkit_web_view_get_find_controller(FView.Get());
  if (!FFind) {
    FFind = std::make_shared<FindState>();
    FFind->Alive = FLifeToken;
    // The handler holds the state itself: it may outlive this engine with the view.
    auto* Counted = new std::shared_ptr<FindState>(FFind);
    auto Free = [](gpointer Data, GClosure*) { delete static_cast<std::shared_ptr<FindState>*>(Data); };
    g_signal_connect_data(Controller, "counted-matches", G_CALLBACK(CountedMatches), Counted, Free, GConnectFlags(0));
  }
  FFind->Done = std::move(Done);
  FFind->Asked.push_back(++FFind->Latest);
  guint32 Options = WEBKIT_FIND_OPTIONS_WRAP_AROUND | (MatchCase ? 0 : WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE);
  // The search shows and selects the first match; the count is that of the whole page.
  webkit_find_controller_search(Controller, Text.c_str(), Options, G_MAXUINT);
  webkit_find_controller_count_matches(Controller, Text.c_str(), Options, G_MAXUINT);
}

void WebKitEngine::FindNext() {
  if (FView) webkit_find_controller_search_next(webkit_web_view_get_find_controller(FView.Get()));
}

void WebKitEngine::FindPrevious() {
  if (FView) webkit_find_controller_search_previous(webkit_web_view_get_find_controller(FView.Get()));
}

void WebKitEngine::FindFinish() {
  if (FView) webkit_find_controller_search_finish(webkit_web_view_get_find_controller(FView.Get()));
}

// --- Website data ---

void WebKitEngine::ClearBrowsingData(bool Cache, bool Cookies, std::function<void(bool)> Done) {
  WebKitNetworkSession* Session = FView ? webkit_web_view_get_network_session(FView.Get()) : ProfileNetworkSession();
  WebKitWebsiteDataManager* Manager = webkit_network_session_get_website_data_manager(Session);
  int Types = 0;
  if (Cache) Types |= WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE;
  if (Cookies)
    Types |= WEBKIT_WEBSITE_DATA_COOKIES | WEBKIT_WEBSITE_DATA_LOCAL_STORAGE |
             WEBKIT_WEBSITE_DATA_SESSION_STORAGE | WEBKIT_WEBSITE_DATA_INDEXEDDB_DATABASES;
  if (!Types) return Done(true);
  using BoolDone = std::function<void(bool)>;
  webkit_website_data_manager_clear(
      Manager, static_cast<WebKitWebsiteDataTypes>(Types), 0, FCancellable.Get(),
      [](GObject* Source, GAsyncResult* Result, gpointer Data) {
        std::unique_ptr<Pending<BoolDone>> P(static_cast<Pending<BoolDone>*>(Data));
        GErrorSlot Error;
        bool Ok = webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(Source), Result, &Error);
        if (!P->Alive.expired()) P->Done(Ok);
      },
      NewPending(FLifeToken, std::move(Done)));
}

// --- User agent ---

void WebKitEngine::SetUserAgentToken(const std::string& Token) {
  // Visible ASCII only: the token goes into a request header.
  FUserAgentToken.clear();
  for (char C : Token)
    if (C > ' ' && C < 0x7F) FUserAgentToken += C;
  if (FView) ApplyUserAgentToken();
}

void WebKitEngine::ApplyUserAgentToken() {
  if (FUserAgentToken.empty()) return;
  WebKitSettings* Settings = webkit_web_view_get_settings(FView.Get());
  webkit_settings_set_user_agent_with_application_details(Settings, UserAgentName, UserAgentVersion);
  std::string Agent = OrEmpty(webkit_settings_get_user_agent(Settings)) + " " + FUserAgentToken;
  webkit_settings_set_user_agent(Settings, Agent.c_str());
}

}  // namespace vorlane::engine
