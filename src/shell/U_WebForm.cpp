#include "shell/U_WebForm.h"

#include "shell/DocumentName.h"
#include "shell/U_PublicUnit.h"
#include "shell/U_UserConfig.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/main.h>
#include <malloc.h>

namespace vorlane::shell {

using namespace browser;

TFrmWeb::TFrmWeb(const std::string& Url, IMainUiHandler& Main, IPageHost& Host,
                 const EngineFactory& Factory, bool Show, std::optional<TDeferredLoad> Deferred)
    : Gtk::Box(Gtk::Orientation::VERTICAL), FMain(Main), FHost(Host), FDeferred(std::move(Deferred)) {
  // The tab exists before the window does and carries the address as its first caption.
  FMain.GetPageTabHandler().AddTab(Url, this);
  FUrl = Url;
  FTitle = FDeferred && !FDeferred->Title.empty() ? FDeferred->Title : Url;

  WebBrowser = std::make_unique<TBrowserControl>(Factory(), FHost.DdeRouter());
  WebBrowser->SetUserInterfaceOptions({FLAT_SCROLLBAR});
  WebBrowser->PrintOptions.Margins = {19.05, 19.05, 19.05, 19.05};
  WebBrowser->PrintOptions.Header = "&w&b页码，&p/&P";
  WebBrowser->PrintOptions.Footer = "&u&b&d";
  WebBrowser->PrintOptions.HTMLHeader = {"<HTML></HTML>"};
  WebBrowser->PrintOptions.Orientation = TPrintOrientation::poPortrait;
  WebBrowser->ReplaceCaption = true;
  WebBrowser->HideBorders = false;
  WebBrowser->HideScrollBars = false;
  WebBrowser->DisableRightClickMenu = false;
  WebBrowser->SetEnableDDE(false);
  WebBrowser->SetFpExceptions(true);
  WebBrowser->Dialogs = FHost.Dialogs();
  WebBrowser->OnClearDownloadList = FHost.DownloadListClearer();
  // The values above are in: the control recomputes its flag words and user-agent token.
  WebBrowser->Loaded();
  // The platform's home page: ours is the start page.
  WebBrowser->Engine().SetHomePage(FHost.Site().StartPage());
  WebBrowser->OnStatusTextChange = [this](auto& T) { WebBrowserStatusTextChange(T); };
  WebBrowser->OnProgressChange = [this](int32_t P, int32_t M) { WebBrowserProgressChange(P, M); };
  WebBrowser->OnCommandStateChange = [this](int32_t C, bool E) { WebBrowserCommandStateChange(C, E); };
  WebBrowser->OnBeforeNavigate2 = [this](auto& U, bool& C) { WebBrowserBeforeNavigate2(U, C); };
  WebBrowser->OnNewWindow2 = [this](WebEngine*& E, bool& C) { WebBrowserNewWindow2(E, C); };
  WebBrowser->OnNavigateComplete2 = [this](auto& U) { WebBrowserNavigateComplete2(U); };
  WebBrowser->OnDocumentComplete = [this](auto& U) { WebBrowserDocumentComplete(U); };
  WebBrowser->OnTitleChange = [this](auto& T) { WebBrowserTitleChange(T); };
  WebBrowser->OnTranslateAccelerator = [this](unsigned K, unsigned M) { return WebBrowserTranslateAccelerator(K, M); };
  WebBrowser->OnDrop = [this](auto& T) { return WebBrowserDrop(T); };
  // The page agreed to close, or its script closed its window: it goes like a closed tab,
  // unless the main window waits for every page's word to quit.
  WebBrowser->OnWindowClosing = [this] { FHost.PageAgreedToClose(this); };
  WebBrowser->OnStayed = [this] { FHost.PageStayed(this); };
  WebBrowser->OnLoadBecameDownload = [this](bool NothingShown) {
    if (NothingShown) FHost.PageLeftEmptyByDownload(this);
  };
  // Every page records its visits, shown or in the background.
  FVisits.SetSink(FHost.HistorySink());
  WebBrowser->OnDocumentCommitted = [this](auto& U, bool ErrorPage) {
    // What the page asked belongs to the document that asked.
    CloseNoticeBars();
    FVisits.DocumentCommitted(U, ErrorPage, "");  // the title follows on its own
  };
  WebBrowser->OnNavigateError = [this](auto& U, bool Committed) { FVisits.NavigateError(U, Committed); };
  BindQuestions();
  BindTabRequests();
  WebBrowser->Widget().set_expand(true);
  append(FBars);
  append(WebBrowser->Widget());
  set_expand(true);
  FTimer1 = Glib::signal_timeout().connect_seconds([this] { return Timer1Timer(); }, 10);

  ApplyDownloadOptions();
  const bool LoadNow = !FDeferred;  // a deferred page shown at once loads as it shows
  if (Show) ShowInFrame();
  if (LoadNow) Navigate(Url, false);
  UpdateCaption();
}

TFrmWeb::~TFrmWeb() {
  FTimer1.disconnect();
  FCloseIdle.disconnect();
  FBarsReap.disconnect();
  if (WebBrowser) remove(WebBrowser->Widget());
}

void TFrmWeb::ShowInFrame() { FHost.Frame().ShowAndActivate(this); }

bool TFrmWeb::IsActivePage() const { return FHost.Frame().ActiveChild() == this; }

void TFrmWeb::Navigate(const std::string& Url, bool NewWindow) {
  WebBrowser->Navigate2(Url, NewWindow ? navOpenInNewWindow : 0);
}

std::string TFrmWeb::GetTitle() {
  const WebEngine& E = WebBrowser->Engine();
  if (E.HasDocument()) {
    // An image or a PDF has no title: it goes by its file name, taken from the address it
    // committed under (while the next load starts, the engine's address is already that
    // load's target).
    std::string Title = E.DocumentIsHtml() ? E.DocumentTitle() : DocumentFileName(FDocumentUrl);
    if (!Title.empty()) FTitle = Title;
  }
  return FTitle;
}

std::string TFrmWeb::GetUrl() {
  const WebEngine& E = WebBrowser->Engine();
  if (E.HasDocument()) FUrl = E.DocumentUrl();
  return FUrl;
}

void TFrmWeb::UpdateCaption() {
  UpdateTitle();
  std::string Url = GetUrl();
  if (IsActivePage() && ShowableAddress(Url)) FMain.SetAddressText(Url);
}

void TFrmWeb::UpdateTitle() {
  std::string Title = GetTitle();
  FMain.GetPageTabHandler().SetTabCaption(this, Title);
  FCaption = Title;
}

void TFrmWeb::SetLoadState(int32_t State) {
  if (State == FLoadState) return;
  FLoadState = State;
  FMain.GetPageTabHandler().SetTabImage(this, State);
}

void TFrmWeb::ApplyDownloadOptions() {
  // Each step assigns the whole set, so the control tells its engine every time.
  const TUserConfig& C = UserConfig();
  auto Options = WebBrowser->DownloadOptions();
  Options.Set(DLCTL_NO_RUNACTIVEXCTLS, !C.AllowActivex);
  Options.Set(DLCTL_NO_DLACTIVEXCTLS, !C.AllowActivex);
  WebBrowser->SetDownloadOptions(Options);
  Options.Set(DLCTL_DLIMAGES, C.AllowImage);
  WebBrowser->SetDownloadOptions(Options);
  Options.Set(DLCTL_NO_JAVA, !C.AllowJava);
  WebBrowser->SetDownloadOptions(Options);
  Options.Set(DLCTL_VIDEOS, C.AllowVideo);
  WebBrowser->SetDownloadOptions(Options);
  Options.Set(DLCTL_NO_SCRIPTS, !C.AllowScript);
  WebBrowser->SetDownloadOptions(Options);
  Options.Set(DLCTL_BGSOUNDS, C.AllowBkSound);
  WebBrowser->SetDownloadOptions(Options);
}

void TFrmWeb::Close() {
  if (FCloseIdle.connected()) return;
  // Destroying the engine from inside one of its own signals is not safe: finish the
  // event first.
  FCloseIdle = Glib::signal_idle().connect([this] {
    FHost.ReleasePage(this);  // destroys this
    return false;
  });
}

void TFrmWeb::RequestClose() {
  if (!Closing()) WebBrowser->Engine().TryClose();
}

void TFrmWeb::FormDestroy() { FMain.GetPageTabHandler().PageClosed(this); }

void TFrmWeb::WebBrowserStatusTextChange(const std::string& Text) {
  if (IsActivePage()) FMain.SetStatusText(Text);
}

void TFrmWeb::WebBrowserProgressChange(int32_t Progress, int32_t ProgressMax) {
  FProgress = Progress;
  if (IsActivePage()) FMain.SetProgress(Progress);
  SetLoadState(LoadStateOf(Progress, ProgressMax));
}

void TFrmWeb::WebBrowserCommandStateChange(int32_t Command, bool Enable) {
  if (Command == CSC_NAVIGATEBACK) FCanGoBack = Enable;
  if (Command == CSC_NAVIGATEFORWARD) FCanGoForward = Enable;
  if (IsActivePage()) FMain.CommandStateChanged(Command, Enable ? -1 : 0);
}

void TFrmWeb::WebBrowserBeforeNavigate2(const std::string& Url, bool&) {
  if (WebBrowser->ToolBar() == 0) Close();
  FLoadCommitted = false;
  // The address box shows the address being loaded: until the load commits the engine's
  // document is in between, and the page's stored address is the previous page's.
  UpdateTitle();
  GetUrl();
  std::string Target = Url;
  if (IsActivePage() && ShowableAddress(Target)) FMain.SetAddressText(Target);
}

void TFrmWeb::WebBrowserNewWindow2(WebEngine*& NewEngine, bool&) {
  TFrmWeb* Page = FHost.NewPageFrom(this, FHost.Site().StartPage());
  NewEngine = Page ? Page->WebBrowser->Application() : nullptr;
}

void TFrmWeb::WebBrowserNavigateComplete2(const std::string& Url) {
  FLoadCommitted = true;
  FDocumentUrl = Url;
  UpdateCaption();
}

void TFrmWeb::WebBrowserDocumentComplete(const std::string&) {
  // A load that ended before its document came (stopped, refused, handed to a download)
  // leaves the page as it was: the address box shows the page's own address again, not
  // the target it showed while loading.
  if (!std::exchange(FLoadCommitted, true)) UpdateCaption();
  SetLoadState(4);
  FHost.PageComplete(this);
}

// The title usually arrives after the document is complete: the captions follow it. The
// address is not touched: a page that changes its title often (counters, tickers) must not
// disturb what the user types in the address box.
void TFrmWeb::WebBrowserTitleChange(const std::string& Title) {
  FVisits.TitleChanged(Title);
  UpdateTitle();
}

bool TFrmWeb::WebBrowserTranslateAccelerator(unsigned Key, unsigned Modifiers) {
  if ((Modifiers & GDK_CONTROL_MASK) && (Key == GDK_KEY_n || Key == GDK_KEY_N)) {
    FHost.PostKey(Key, Modifiers);
    return true;
  }
  return false;
}

bool TFrmWeb::WebBrowserDrop(const std::string& Text) {
  if (Text.empty()) return false;
  Navigate(Text, true);
  return true;
}

std::vector<uint8_t> TFrmWeb::History() const {
  return FDeferred ? FDeferred->History : WebBrowser->Engine().SessionState();
}

void TFrmWeb::FormActivate() {
  // A reopened page loads when it is first shown, with its saved history when it has one.
  // The address goes first: history saved before the page's first commit holds no entry
  // to open, and the engine then loads the address instead.
  if (auto Deferred = std::exchange(FDeferred, std::nullopt)) {
    Navigate(FUrl, false);
    if (!Deferred->History.empty()) WebBrowser->Engine().RestoreSessionState(Deferred->History);
  }
  FMain.PageActivated();
  WebBrowser->FocusDocument();
}

bool TFrmWeb::Timer1Timer() {
  malloc_trim(0);
  return true;
}

}  // namespace vorlane::shell
