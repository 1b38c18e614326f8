#pragma once
// Real WebKit engines in a test window, each with an event recorder, plus a loopback
// server for pages that must come over HTTP.
#include "browser/WebEngine.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/window.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;

namespace vorlane::test {

// Every event as one line of text, in the order raised: "Before <url>", "Progress p/m",
// "Status <text>", "Command <cmd> <0|1>", "Navigated <url>", "Title <text>",
// "Complete <url>", "NewWindow", "Closing", "Ended <reason>", "Failed <url> <committed 0|1>".
class EventLog : public browser::IWebEngineEvents {
public:
  std::vector<std::string> Lines;
  // Supplies the engine NewWindow2 hands back (none: the request is refused).
  std::function<browser::WebEngine*()> NewWindowTarget;
  // Runs inside BeforeNavigate2, e.g. to cancel or to look at the engine.
  std::function<void(const std::string&, bool&)> OnBefore;

  // Index of the first line equal to Line at or after From, or -1.
  int Find(const std::string& Line, size_t From = 0) const;
  bool Has(const std::string& Line) const { return Find(Line) >= 0; }
  int Count(const std::string& Prefix) const;
  void Clear() { Lines.clear(); }
  std::string Dump() const;

  void StatusTextChange(const std::string& Text) override;
  void ProgressChange(int32_t Progress, int32_t ProgressMax) override;
  void CommandStateChange(int32_t Command, bool Enable) override;
  void BeforeNavigate2(const std::string& Url, bool& Cancel) override;
  void NewWindow2(browser::WebEngine*& NewEngine, bool& Cancel) override;
  void NavigateComplete2(const std::string& Url) override;
  void DocumentComplete(const std::string& Url) override;
  void TitleChange(const std::string& Title) override;
  void WindowClosing() override;
  void LoadBecameDownload(bool NothingShown) override;
  void NavigateError(const std::string& Url, bool Committed) override;
  void ProcessTerminated(browser::ProcessEnd Reason) override;
};

struct TestPage {
  std::unique_ptr<browser::WebEngine> Engine;
  std::unique_ptr<EventLog> Log;
  browser::WebEngine* operator->() const { return Engine.get(); }
};

class EngineTest : public ::testing::Test {
protected:
  EngineTest();
  ~EngineTest() override;

  // A new engine whose widget sits in the test window.
  TestPage& NewPage();
  // Removes a page's widget and destroys its engine.
  void ClosePage(TestPage& Page);

  // Navigates and waits until DocumentComplete for Url (or the address it becomes).
  bool Load(TestPage& Page, const std::string& Url, const std::string& CompleteUrl = {});
  bool WaitFor(const EventLog& Log, const std::string& Line);
  // Runs a script in the engine's world and waits for its result.
  std::optional<std::string> Eval(TestPage& Page, const std::string& Script);

  static WebKitWebView* ViewOf(browser::WebEngine& Engine);

  // What NewPage builds its engines with: by default each has a web process of its own.
  browser::EngineFactory Factory;
  LoopbackServer Server;
  Gtk::Window Window;
  Gtk::Box Pages;
  std::vector<std::unique_ptr<TestPage>> Opened;
};

}  // namespace vorlane::test
