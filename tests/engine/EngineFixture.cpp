#include "EngineFixture.h"

#include "engine/WebKitEngine.h"
#include "support/MainLoop.h"

#include <sstream>

namespace vorlane::test {

int EventLog::Find(const std::string& Line, size_t From) const {
  for (size_t I = From; I < Lines.size(); ++I)
    if (Lines[I] == Line) return static_cast<int>(I);
  return -1;
}

int EventLog::Count(const std::string& Prefix) const {
  int N = 0;
  for (const auto& L : Lines) N += L.starts_with(Prefix);
  return N;
}

std::string EventLog::Dump() const {
  std::ostringstream Out;
  for (const auto& L : Lines) Out << "  " << L << "\n";
  return Out.str();
}

void EventLog::StatusTextChange(const std::string& Text) { Lines.push_back("Status " + Text); }
void EventLog::ProgressChange(int32_t Progress, int32_t ProgressMax) {
  Lines.push_back("Progress " + std::to_string(Progress) + "/" + std::to_string(ProgressMax));
}
void EventLog::CommandStateChange(int32_t Command, bool Enable) {
  Lines.push_back("Command " + std::to_string(Command) + " " + (Enable ? "1" : "0"));
}
void EventLog::BeforeNavigate2(const std::string& Url, bool& Cancel) {
  Lines.push_back("Before " + Url);
  if (OnBefore) OnBefore(Url, Cancel);
}
void EventLog::NewWindow2(browser::WebEngine*& NewEngine, bool&) {
  Lines.push_back("NewWindow");
  if (NewWindowTarget) NewEngine = NewWindowTarget();
}
void EventLog::NavigateComplete2(const std::string& Url) { Lines.push_back("Navigated " + Url); }
void EventLog::DocumentComplete(const std::string& Url) { Lines.push_back("Complete " + Url); }
void EventLog::NavigateError(const std::string& Url, bool Committed) {
  Lines.push_back("Failed " + Url + (Committed ? " 1" : " 0"));
}
void EventLog::TitleChange(const std::string& Title) { Lines.push_back("Title " + Title); }
void EventLog::WindowClosing() { Lines.push_back("Closing"); }
void EventLog::LoadBecameDownload(bool NothingShown) {
  Lines.push_back(NothingShown ? "BecameDownload(nothing shown)" : "BecameDownload(page kept)");
}
void EventLog::ProcessTerminated(browser::ProcessEnd Reason) {
  Lines.push_back("Ended " + std::to_string(static_cast<int>(Reason)));
}

EngineTest::EngineTest() : Pages(Gtk::Orientation::HORIZONTAL) {
  Window.set_default_size(1000, 700);
  Window.set_child(Pages);
  Window.present();
}

EngineTest::~EngineTest() {
  while (!Opened.empty()) ClosePage(*Opened.back());
  Window.unset_child();
  Window.hide();
  PumpPending();
}

TestPage& EngineTest::NewPage() {
  auto Page = std::make_unique<TestPage>();
  Page->Engine = Factory ? Factory() : engine::CreateWebKitEngine();
  Page->Log = std::make_unique<EventLog>();
  Page->Engine->SetEvents(Page->Log.get());
  Pages.append(Page->Engine->Widget());
  Opened.push_back(std::move(Page));
  return *Opened.back();
}

void EngineTest::ClosePage(TestPage& Page) {
  if (Page.Engine) {
    Pages.remove(Page.Engine->Widget());
    Page.Engine.reset();
  }
  std::erase_if(Opened, [&](const auto& P) { return P.get() == &Page; });
}

bool EngineTest::WaitFor(const EventLog& Log, const std::string& Line) {
  bool Seen = PumpUntil([&] { return Log.Has(Line); });
  if (!Seen) ADD_FAILURE() << "never saw \"" << Line << "\"; events:\n" << Log.Dump();
  return Seen;
}

bool EngineTest::Load(TestPage& Page, const std::string& Url, const std::string& CompleteUrl) {
  Page.Log->Clear();
  Page->Navigate2(Url);
  return WaitFor(*Page.Log, "Complete " + (CompleteUrl.empty() ? Url : CompleteUrl));
}

std::optional<std::string> EngineTest::Eval(TestPage& Page, const std::string& Script) {
  bool Done = false;
  std::optional<std::string> Result;
  Page->RunScript(Script, [&](std::optional<std::string> R) {
    Result = std::move(R);
    Done = true;
  });
  if (!PumpUntil([&] { return Done; })) ADD_FAILURE() << "script never finished: " << Script;
  return Result;
}

WebKitWebView* EngineTest::ViewOf(browser::WebEngine& Engine) {
  return static_cast<engine::WebKitEngine&>(Engine).View();
}

}  // namespace vorlane::test
