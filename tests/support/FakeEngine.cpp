#include "support/FakeEngine.h"

#include "browser/HostRules.h"

#include <algorithm>
#include <utility>
#include <string_view>

namespace vorlane::test {

using browser::CSC_NAVIGATEBACK;
using browser::CSC_NAVIGATEFORWARD;
using browser::EngineError;

TFakeEngine::TFakeEngine(TFakeEngineFactory* Factory) : FFactory(Factory) {
  FWidget.set_text("fake page");
  // Takes the focus as a web view does.
  FWidget.set_selectable(true);
  if (FFactory) {
    FFactory->FEngines.push_back(this);
    ++FFactory->FCreated;
  }
}

TFakeEngine::~TFakeEngine() {
  if (FFactory) std::erase(FFactory->FEngines, this);
}

void TFakeEngine::Record(std::string Name, std::string Arg, int32_t Flags) {
  Calls.push_back({std::move(Name), std::move(Arg), Flags});
}

int TFakeEngine::CallCount(const std::string& Name) const {
  return static_cast<int>(std::count_if(Calls.begin(), Calls.end(), [&](auto& C) { return C.Name == Name; }));
}

const TFakeEngine::Call* TFakeEngine::LastCall(const std::string& Name) const {
  for (auto It = Calls.rbegin(); It != Calls.rend(); ++It)
    if (It->Name == Name) return &*It;
  return nullptr;
}

void TFakeEngine::Navigate2(const std::string& Target, int32_t Flags) {
  Record("Navigate2", Target, Flags);
  if (Flags & browser::navOpenInNewWindow) {
    FireNewWindow(Target);
    return;
  }
  // As WebKit: a page that objects to being left asks first, and one the user stays on
  // does not load.
  if (AsksBeforeLeaving && HasDoc) {
    AskAboutLeaving([this, Target] {
      PendingUrl = Target;
      Url = Target;
      Loading = true;
    });
    return;
  }
  PendingUrl = Target;
  Url = Target;
  Loading = true;
}

void TFakeEngine::RaiseCommandStates() {
  if (!Events) return;
  Events->CommandStateChange(CSC_NAVIGATEFORWARD, !Forward.empty());
  Events->CommandStateChange(CSC_NAVIGATEBACK, !Back.empty());
}

void TFakeEngine::CompleteNavigation(const std::string& NewUrl, const std::string& NewTitle) {
  RunLoad(NewUrl, NewTitle, [this] {
    // A page opened on restored history keeps it; any other new document starts a new
    // future.
    if (std::exchange(FRestoring, false)) return;
    if (HasDoc && !FCommittedUrl.empty()) Back.insert(Back.begin(), {Title, FCommittedUrl});
    Forward.clear();
  });
}

void TFakeEngine::RunLoad(const std::string& NewUrl, const std::string& NewTitle,
                          const std::function<void()>& MoveHistory, bool Travel) {
  // Travel moves the Back/Forward list at once and is taken from WebKit's page cache: the
  // title comes back with the document, before the load ends.
  if (Travel) {
    MoveHistory();
    RaiseCommandStates();
  }
  // The target is the engine's address from the start of the load, as in WebKit.
  Url = NewUrl;
  Loading = true;
  FireBeforeNavigate(NewUrl);
  if (Events) Events->ProgressChange(1000, 10000);
  for (auto& Answer : PermissionAnswers)
    if (!Answer) Answer = false;  // the document that asked is gone
  if (!Travel) MoveHistory();
  FCommittedUrl = NewUrl;
  Title.clear();
  if (Travel && Events) Events->TitleChange(Title);
  HasDoc = true;
  PendingUrl.clear();
  FPendingSession.clear();
  if (Events) Events->NavigateComplete2(NewUrl);
  if (Events) Events->DocumentCommitted(NewUrl, FErrorPage);
  if (Travel) {
    Title = NewTitle;
    if (Events) Events->TitleChange(NewTitle);
  } else {
    if (Events) Events->ProgressChange(5000, 10000);
    RaiseCommandStates();
  }
  Loading = false;
  EndLoad(NewUrl);
  if (Travel) return;
  // The title arrives once the document is complete.
  Title = NewTitle;
  if (Events) Events->TitleChange(NewTitle);
}

void TFakeEngine::EndLoad(const std::string& CompleteUrl) {
  if (Events) Events->ProgressChange(10000, 10000);
  if (Events) Events->ProgressChange(-1, 10000);
  if (Events) Events->DocumentComplete(CompleteUrl);
}

void TFakeEngine::CompletePending(const std::string& NewTitle) {
  if (std::string Target = PendingUrl; !Target.empty()) CompleteNavigation(Target, NewTitle);
}

void TFakeEngine::DownloadPending() {
  const std::string Target = std::exchange(PendingUrl, {});
  FireBeforeNavigate(Target);
  if (Events) Events->LoadBecameDownload(FCommittedUrl.empty());
  Loading = false;
  if (Events) Events->ProgressChange(-1, 10000);
  if (Events) Events->DocumentComplete(Target);
}

void TFakeEngine::FailNavigation(const std::string& FailedUrl) {
  Url = FailedUrl;
  Loading = true;
  FireBeforeNavigate(FailedUrl);
  if (Events) Events->ProgressChange(1000, 10000);
  if (Events) Events->NavigateError(FailedUrl, false);
  // The attempt ends as every load does, then the page about the failure loads under the
  // failed address.
  if (Events) Events->ProgressChange(-1, 10000);
  if (Events) Events->DocumentComplete(FailedUrl);
  FErrorPage = true;
  CompleteNavigation(FailedUrl, ErrorPageTitle);
  FErrorPage = false;
}

void TFakeEngine::FireProgress(int32_t Progress, int32_t Max) {
  if (Events) Events->ProgressChange(Progress, Max);
}
void TFakeEngine::FireStatusText(const std::string& Text) {
  if (Events) Events->StatusTextChange(Text);
}
void TFakeEngine::FireCommandState(int32_t Command, bool Enable) {
  if (Events) Events->CommandStateChange(Command, Enable);
}
void TFakeEngine::FireTitle(const std::string& NewTitle) {
  Title = NewTitle;
  if (Events) Events->TitleChange(NewTitle);
}
void TFakeEngine::FireBeforeNavigate(const std::string& Target) {
  bool Cancel = false;
  if (Events) Events->BeforeNavigate2(Target, Cancel);
}

browser::WebEngine* TFakeEngine::FireScriptWindow(const std::string& RequestedUrl, bool UserGesture) {
  if (Host && !Host->AllowNewWindow(RequestedUrl, UserGesture)) return nullptr;
  return FireNewWindow(RequestedUrl);
}

size_t TFakeEngine::FirePermissionRequest(browser::PagePermission Kind) {
  size_t Index = PermissionAnswers.size();
  PermissionAnswers.emplace_back();
  auto Alive = std::weak_ptr<int>(FLife);
  auto Answer = [this, Alive, Index](bool Allow) {
    if (!Alive.expired() && !PermissionAnswers[Index]) PermissionAnswers[Index] = Allow;
  };
  if (Host) Host->RequestPermission(Kind, Answer);
  else Answer(false);
  return Index;
}

browser::WebEngine* TFakeEngine::FireNewWindow(const std::string& RequestedUrl) {
  browser::WebEngine* NewEngine = nullptr;
  bool Cancel = false;
  if (Events) Events->NewWindow2(NewEngine, Cancel);
  if (Cancel || !NewEngine) return nullptr;
  // As the real engine: the requested address replaces whatever the new page asked for.
  if (auto* Fake = dynamic_cast<TFakeEngine*>(NewEngine)) {
    Fake->Record("LoadFromOpener", RequestedUrl);
    Fake->PendingUrl = RequestedUrl;
    Fake->Url = RequestedUrl;
    Fake->Loading = true;
  }
  return NewEngine;
}

bool TFakeEngine::FireKey(unsigned Key, unsigned Modifiers) {
  return Host && Host->TranslateAccelerator(Key, Modifiers);
}

bool TFakeEngine::FireDrop(const std::string& Text) { return Host && Host->HandleDrop(Text); }

void TFakeEngine::GoBack() {
  Record("GoBack");
  if (Back.empty()) throw EngineError(browser::E_FAIL_CODE, "no back entry");
  TravelTo(-1);
}

void TFakeEngine::GoForward() {
  Record("GoForward");
  if (Forward.empty()) throw EngineError(browser::E_FAIL_CODE, "no forward entry");
  TravelTo(1);
}

void TFakeEngine::GoHome() {
  Record("GoHome");
  if (FHome.empty()) throw EngineError(browser::E_FAIL_CODE, "no home page");
  Navigate2(FHome, 0);
}

void TFakeEngine::Stop() {
  Record("Stop");
  if (!Loading) return;
  // A stopped load ends as a failed one: final progress, then the document is complete.
  Loading = false;
  std::string Target = std::exchange(PendingUrl, std::string());
  Url = FCommittedUrl;
  EndLoad(Target);
}
void TFakeEngine::Refresh2() {
  Record("Refresh2");
  if (!HasDoc || (Host && Host->CancelRefresh(browser::IDM_REFRESH))) return;
  // The same entry loads again: the history stays as it is.
  const std::string Again = Title;
  RunLoad(FCommittedUrl, Again, [] {});
}
void TFakeEngine::TryClose() {
  Record("TryClose");
  FollowClosing(FClosing.CloseAsked());
}
void TFakeEngine::FollowClosing(browser::TPageClosing::Steps Steps) {
  auto Alive = std::weak_ptr<int>(FLife);
  // The fake page has nothing queued: a check comes back at once.
  if (Steps.Check) FollowClosing(FClosing.CheckDone(*Steps.Check));
  if (Alive.expired()) return;
  if (Steps.Ask) {
    // As WebKit: a page without a beforeunload handler closes at once; one with it asks.
    if (AsksBeforeLeaving) AskAboutLeaving([] {});
    else Steps.Close = Steps.Close || FClosing.EngineClosed(true).Close;
  }
  if (Alive.expired()) return;
  if (Steps.Close && Events) Events->WindowClosing();
}
void TFakeEngine::AskAboutLeaving(std::function<void()> Leave) {
  const uint64_t Number = FClosing.QuestionShown();
  auto Alive = std::weak_ptr<int>(FLife);
  auto Given = std::make_shared<bool>(false);  // by the host's box or by AnswerLeaving, once
  browser::ScriptDialogAnswer Answer = [this, Alive, Number, Leave, Given](bool Accepted, const std::string&) {
    if (Alive.expired() || std::exchange(*Given, true)) return;
    LeaveAnswers.push_back(Accepted);
    if (Accepted) Leave();
    if (!Alive.expired()) FollowClosing(FClosing.Answered(Number, Accepted));
  };
  FLeaveAnswer = Answer;
  // As the real engine: the question is always the host's, and without one the page goes.
  if (!Host || !Host->ShowScriptDialog({browser::ScriptDialogKind::BeforeUnload, ""}, Answer)) Answer(true, {});
}
void TFakeEngine::AnswerLeaving(bool Leave) {
  if (auto Answer = std::exchange(FLeaveAnswer, {})) Answer(Leave, {});
}
void TFakeEngine::ExecWB(int32_t Command, int32_t Option) { Record("ExecWB", std::to_string(Command), Option); }
void TFakeEngine::FocusDocument() {
  Record("FocusDocument");
  FWidget.grab_focus();
}
void TFakeEngine::ExecuteEditingCommand(browser::EditingCommand Command) {
  Record("Edit", std::to_string(static_cast<int>(Command)));
}
void TFakeEngine::TryEditingCommand(browser::EditingCommand Command, std::function<void(bool)> Done) {
  bool Can = Command == browser::EditingCommand::Undo && std::exchange(CanUndo, false);
  if (Can) ExecuteEditingCommand(Command);
  Done(Can);
}
void TFakeEngine::SetDownloadFlags(uint32_t Flags) {
  Record("SetDownloadFlags", {}, static_cast<int32_t>(Flags));
  FFlags = Flags;
}

std::vector<browser::TravelEntry> TFakeEngine::BackEntries(size_t Limit) const {
  return {Back.begin(), Back.begin() + std::min(Limit, Back.size())};
}
std::vector<browser::TravelEntry> TFakeEngine::ForwardEntries(size_t Limit) const {
  return {Forward.begin(), Forward.begin() + std::min(Limit, Forward.size())};
}

bool TFakeEngine::TravelTo(int Offset) {
  Record("TravelTo", std::to_string(Offset));
  if (Offset == 0) return true;
  auto& From = Offset < 0 ? Back : Forward;
  const size_t Steps = static_cast<size_t>(Offset < 0 ? -Offset : Offset);
  if (Steps > From.size()) return false;
  // A load of the entry, as WebKit travels; the lists move when it commits.
  const browser::TravelEntry Target = From[Steps - 1];
  RunLoad(Target.Url, Target.Title, [this, Offset, Steps] {
    auto& Behind = Offset < 0 ? Back : Forward;
    auto& Ahead = Offset < 0 ? Forward : Back;
    Ahead.insert(Ahead.begin(), {Title, FCommittedUrl});
    for (size_t I = 0; I + 1 < Steps; ++I) {
      Ahead.insert(Ahead.begin(), Behind.front());
      Behind.erase(Behind.begin());
    }
    Behind.erase(Behind.begin());
  }, true);
  return true;
}

// "FAKE1", then one line per entry: kind (b: behind, nearest first; c: current; f: ahead,
// nearest first), address and title, separated by tabs.
namespace {
constexpr std::string_view SessionMagic = "FAKE1\n";
}

std::vector<uint8_t> TFakeEngine::SessionState() const {
  if (!FPendingSession.empty()) return FPendingSession;
  if (!HasDoc) return {};
  std::string Text(SessionMagic);
  for (auto It = Back.rbegin(); It != Back.rend(); ++It) Text += "b\t" + It->Url + "\t" + It->Title + "\n";
  Text += "c\t" + FCommittedUrl + "\t" + Title + "\n";
  for (auto& E : Forward) Text += "f\t" + E.Url + "\t" + E.Title + "\n";
  return {Text.begin(), Text.end()};
}

void TFakeEngine::RestoreSessionState(const std::vector<uint8_t>& State) {
  Record("RestoreSessionState", std::to_string(State.size()));
  if (HasDoc) return;  // too late: the page has its own history by now
  FPendingSession = State;
  std::string Text(State.begin(), State.end());
  if (!Text.starts_with(SessionMagic)) return;  // not ours: the plain first request goes ahead
  std::vector<browser::TravelEntry> Behind, Ahead;
  std::optional<browser::TravelEntry> Current;
  size_t Start = SessionMagic.size();
  for (size_t End; (End = Text.find('\n', Start)) != std::string::npos; Start = End + 1) {
    std::string Line = Text.substr(Start, End - Start);
    size_t Tab1 = Line.find('\t'), Tab2 = Line.find('\t', Tab1 + 1);
    if (Tab1 != 1 || Tab2 == std::string::npos) return;
    browser::TravelEntry Entry{Line.substr(Tab2 + 1), Line.substr(2, Tab2 - 2)};
    if (Line[0] == 'b') Behind.insert(Behind.begin(), Entry);
    else if (Line[0] == 'c') Current = Entry;
    else Ahead.push_back(Entry);
  }
  if (!Current) return;
  Back = std::move(Behind);
  Forward = std::move(Ahead);
  FRestoring = true;
  PendingUrl = Url = Current->Url;
  Loading = true;
}

void TFakeEngine::RunScript(const std::string& Script,
                            std::function<void(std::optional<std::string>)> Done) {
  Record("RunScript", Script);
  if (Done) Done(std::string());
}

bool TFakeEngine::FireContextMenu() { return !Host || Host->AllowContextMenu(); }
bool TFakeEngine::FireScriptDialog(const browser::ScriptDialog& Dialog) {
  auto Alive = std::weak_ptr<int>(FLife);
  return Host && Host->ShowScriptDialog(Dialog, [this, Alive](bool Accepted, const std::string& Text) {
    if (!Alive.expired()) ScriptDialogAnswers.emplace_back(Accepted, Text);
  });
}
bool TFakeEngine::FireReload() { return Host && Host->CancelRefresh(2300); }
void TFakeEngine::FireWindowClosing() {
  if (Events) Events->WindowClosing();
}

void TFakeEngine::CallScript(const std::string& FunctionBody,
                             const std::vector<std::pair<std::string, std::string>>& Arguments,
                             std::function<void(std::optional<std::string>)> Done) {
  Record("CallScript", Arguments.empty() ? std::string() : Arguments.front().second);
  if (Done) Done(ScriptResult);
}

void TFakeEngine::SaveDocument(const std::string& Path, SaveMode Mode,
                               std::function<void(std::optional<std::string>)> Done) {
  Record("Save", Path, Mode == SaveMode::Mhtml ? 1 : 0);
  if (Done) Done(SaveError);
}

void TFakeEngine::GetDocumentSource(std::function<void(std::optional<DocumentSource>)> Done) {
  Record("GetDocumentSource");
  if (Done) Done(Source);
}

void TFakeEngine::FindText(const std::string& Text, bool MatchCase, std::function<void(unsigned)> Done) {
  Record("FindText", Text, MatchCase ? 1 : 0);
  if (Done) Done(FindMatches);
}

void TFakeEngine::ClearBrowsingData(bool Cache, bool Cookies, std::function<void(bool)> Done) {
  Record("ClearBrowsingData", {}, (Cache ? 1 : 0) | (Cookies ? 2 : 0));
  if (Done) Done(true);
}

browser::EngineFactory TFakeEngineFactory::Factory() {
  return [this] { return std::make_unique<TFakeEngine>(this); };
}

}  // namespace vorlane::test
