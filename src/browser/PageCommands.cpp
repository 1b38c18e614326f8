// Page commands of the browser control: printing, the document commands, opening files,
// offline work and highlighting. Mail and shortcuts are in PageCommands_Mail.cpp, the
// windows they open in PageWindows.cpp.
#include "browser/BrowserControl.h"

#include "browser/PageWaits.h"
#include "browser/PageWindows.h"
#include "platform/ConnectionState.h"
#include "platform/Dialogs.h"
#include "platform/ShellFolders.h"

#include <cstdlib>
#include <filesystem>

namespace vorlane::browser {

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace {

// Command group of the browser's own commands, and the command ids of both groups.
constexpr int32_t HTMLID_FIND = 1, HTMLID_VIEWSOURCE = 2, HTMLID_OPTIONS = 3;
constexpr int32_t OLECMDID_SAVEAS = 4, OLECMDID_PROPERTIES = 10, OLECMDID_CUT = 11,
                  OLECMDID_COPY = 12, OLECMDID_PASTE = 13, OLECMDID_SELECTALL = 17;

// Highlights every case-insensitive occurrence of `text` by DOM operations and answers
// how many. Runs in the engine's own world, so it works with page scripts off. Matches are
// found by a case-insensitive expression on the text as it is: lower-casing first can
// change its length ("İ") and put every offset after it out. Text that is not shown as
// such (scripts, styles in any case of name, XHTML's too) and anything inside SVG or
// MathML, where a span would not render, is left alone.
constexpr const char* HighlightScript = R"JS(
if (!text || !document.body) return 0;
const pattern = new RegExp(String(text).replace(/[.*+?^${}()|[\]\\\/]/g, '\\$&'), 'giu');
const html = 'http://www.w3.org/1999/xhtml';
const foreign = new Set(['http://www.w3.org/2000/svg', 'http://www.w3.org/1998/Math/MathML']);
const skip = new Set(['script', 'style', 'noscript', 'textarea', 'template', 'title']);
function excluded(el) {
  for (; el; el = el.parentElement) {
    if (foreign.has(el.namespaceURI)) return true;
    if (skip.has(String(el.localName).toLowerCase())) return true;
  }
  return false;
}
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, {
  acceptNode(n) { return excluded(n.parentElement) ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT; }
});
const nodes = [];
while (walker.nextNode()) nodes.push(walker.currentNode);
let count = 0, last = null;
for (let node of nodes) {
  const found = [];
  for (const m of node.data.matchAll(pattern)) if (m[0].length) found.push([m.index, m[0].length]);
  // From the end, so that the earlier offsets still hold in the part that remains.
  for (let i = found.length - 1; i >= 0; --i) {
    const [at, length] = found[i];
    const match = node.splitText(at);
    match.splitText(length);
    const span = document.createElementNS(html, 'span');
    span.setAttribute('style', 'background-color: Lime; font-weight: bolder;');
    match.parentNode.replaceChild(span, match);
    span.appendChild(match);
    if (i === found.length - 1) last = span;  // the page's last match
    ++count;
  }
}
if (last) last.scrollIntoView(true);
return count;
)JS";

}  // namespace

void TBrowserControl::ShowError(const std::string& Text) {
  if (Dialogs) Dialogs->ShowMessage(MessageKind::Error, ApplicationTitle, Text, MessageButtons::Ok);
}

void TBrowserControl::ReportError(const std::string& Text) { ShowError(Text); }

void TBrowserControl::PrintPage() {
  try {
    FEngine->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER);
  } catch (const EngineError& E) {
    ShowError(E.what());
  }
}

void TBrowserControl::PreviewPage() {
  try {
    FEngine->ExecWB(OLECMDID_PRINTPREVIEW, OLECMDEXECOPT_DONTPROMPTUSER);
  } catch (const EngineError& E) {
    ShowError(E.what());
  }
}

void TBrowserControl::SetupPage() {
  try {
    FEngine->ExecWB(OLECMDID_PAGESETUP, OLECMDEXECOPT_PROMPTUSER);
  } catch (const EngineError& E) {
    ShowError(E.what());
  }
}

void TBrowserControl::ExecDocumentCommand(bool UseBrowserGroup, int32_t CommandId) {
  if (!FEngine->HasDocument()) return;
  // The old engine swallowed every failure of these commands.
  try {
    if (UseBrowserGroup) {
      switch (CommandId) {
        case HTMLID_FIND: ShowFindWindow(*this); break;
        case HTMLID_VIEWSOURCE: ShowSourceWindow(*this); break;
        case HTMLID_OPTIONS: ShowEngineOptionsWindow(*this); break;
      }
      return;
    }
    switch (CommandId) {
      case OLECMDID_SAVEAS: AskAndSavePage(*this); break;
      case OLECMDID_PROPERTIES: ShowPropertiesWindow(*this); break;
      case OLECMDID_CUT: FEngine->ExecuteEditingCommand(EditingCommand::Cut); break;
      case OLECMDID_COPY: FEngine->ExecuteEditingCommand(EditingCommand::Copy); break;
      case OLECMDID_PASTE: FEngine->ExecuteEditingCommand(EditingCommand::Paste); break;
      case OLECMDID_SELECTALL: FEngine->ExecuteEditingCommand(EditingCommand::SelectAll); break;
    }
  } catch (const std::exception&) {
  }
}

void TBrowserControl::SavePageAs() { ExecDocumentCommand(false, OLECMDID_SAVEAS); }
void TBrowserControl::ShowPageSource() { ExecDocumentCommand(true, HTMLID_VIEWSOURCE); }
void TBrowserControl::ShowEngineOptions() { ExecDocumentCommand(true, HTMLID_OPTIONS); }
void TBrowserControl::ShowPageProperties() { ExecDocumentCommand(false, OLECMDID_PROPERTIES); }
void TBrowserControl::ShowFindDialog() { ExecDocumentCommand(true, HTMLID_FIND); }
void TBrowserControl::CutSelection() { ExecDocumentCommand(false, OLECMDID_CUT); }
void TBrowserControl::CopySelection() { ExecDocumentCommand(false, OLECMDID_COPY); }
void TBrowserControl::PasteClipboard() { ExecDocumentCommand(false, OLECMDID_PASTE); }
void TBrowserControl::SelectAllContent() { ExecDocumentCommand(false, OLECMDID_SELECTALL); }

void TBrowserControl::OpenLocalFile() {
  if (!Dialogs) return;
  std::weak_ptr<int> Alive = FLifeToken;
  // Save As writes .mht as well; every other file is WebKit's to show or download.
  Dialogs->OpenFile("Browser Open Dialog - Internet Files and Url Shortcuts", "",
                    platform::ParseFileFilter("Internet Files and Url Shortcuts|*.htm;*.html;*.HTML;*.HTM;"
                                              "*.mht;*.mhtml;*.MHT;*.MHTML|所有文件|*"),
                    [this, Alive](std::optional<std::string> Path) {
                      if (Alive.expired() || !Path || Path->empty()) return;
                      try {
                        NavigateToAddress(*Path);
                      } catch (const EngineError& E) {
                        ShowError(E.what());
                      }
                    });
}

void TBrowserControl::OpenNewBookFile() {
  std::filesystem::path Book = platform::ShellFolders::Home() / "newbook.htm";
  std::error_code Error;
  if (std::filesystem::exists(Book, Error)) {
    try {
      FEngine->Navigate2(Book.string(), 0);
    } catch (const EngineError& E) {
      ShowError(E.what());
    }
    return;
  }
  if (Dialogs)
    Dialogs->ShowMessage(MessageKind::Information, ApplicationTitle,
                         "We can not locate the file, sorry.\n\rPlease use \"Open URL\" in the toolbar to locate the file",
                         MessageButtons::Ok);
}

namespace {

void AskConnected(TBrowserControl& Control, bool Connect, std::function<void(bool)> Done) {
  if (!Control.Dialogs) {
    if (Done) Done(platform::ConnectionState::Connected());
    return;
  }
  std::weak_ptr<int> Alive = Control.LifeToken();
  Control.Dialogs->ShowMessage(
      Connect ? MessageKind::Information : MessageKind::Warning, Connect ? "Information" : "Warning",
      Connect ? "You are choosing to work Online" : "You are choosing to work Offline!", MessageButtons::OkCancel,
      [Alive, Connect, Done](MessageResult Result) {
        if (Alive.expired()) return;
        if (Result == MessageResult::Ok) platform::ConnectionState::SetConnected(Connect);
        if (Done) Done(platform::ConnectionState::Connected());
      });
}

}  // namespace

void TBrowserControl::GoOffline(std::function<void(bool)> Done) { AskConnected(*this, false, std::move(Done)); }
void TBrowserControl::GoOnline(std::function<void(bool)> Done) { AskConnected(*this, true, std::move(Done)); }

void TBrowserControl::HighlightMatches(const std::string& Text, std::function<void(int)> Done) {
  // Nothing to look for: the old search loop would never have ended.
  if (Text.empty()) {
    if (Done) Done(0);
    return;
  }
  std::weak_ptr<int> Alive = FLifeToken;
  WhenDocumentComplete(
      [this, Alive, Text, Done] {
        if (Alive.expired()) return;
        FEngine->CallScript(HighlightScript, {{"text", Text}}, [this, Alive, Done, Text](std::optional<std::string> Count) {
          if (Alive.expired()) return;
          if (!Count) ShowError("无法在此网页上高亮显示“" + Text + "”。");
          if (Done) Done(Count ? std::atoi(Count->c_str()) : -1);
        });
      },
      [Alive, Done](WaitDropped) {
        if (!Alive.expired() && Done) Done(-1);
      });
}

}  // namespace vorlane::browser
