#include "MainWindowFixture.h"

#include <gdkmm/clipboard.h>

#include <memory>
#include <optional>

namespace vorlane::test {

std::string ReadClipboard(Gtk::Widget& W) {
  // Shared with the answer, which may still come after the wait gave up.
  auto Text = std::make_shared<std::optional<std::string>>();
  auto Clipboard = W.get_clipboard();
  Clipboard->read_text_async([Text, Clipboard](Glib::RefPtr<Gio::AsyncResult>& Result) {
    try {
      *Text = Clipboard->read_text_finish(Result);
    } catch (const Glib::Error&) {
      *Text = "";
    }
  });
  PumpUntil([&] { return Text->has_value(); });
  return Text->value_or("<none>");
}

void MainWindowTest::SetUp() {
  FMain = std::make_unique<shell::TFrmMain>(Engines.Factory(), shell::TProductSite(Site));
  FMain->present();
  ASSERT_TRUE(PumpUntil([&] { return FMain->get_width() > 0 && FMain->PageControl.get_width() > 0; }));
}

void MainWindowTest::TearDown() {
  FMain->set_visible(false);
  FMain.reset();
  PumpPending();
}

TFakeEngine& MainWindowTest::EngineOf(shell::TFrmWeb* Page) {
  return dynamic_cast<TFakeEngine&>(Page->WebBrowser->Engine());
}

shell::TFrmWeb* MainWindowTest::Open(const std::string& Url, bool Show, const std::string& Title) {
  shell::TFrmWeb* Page = FMain->NewPage(Url, Show);
  EngineOf(Page).CompletePending(Title);
  return Page;
}

bool MainWindowTest::FocusIn(Gtk::Widget& W) {
  Gtk::Widget* Focus = FMain->get_focus();
  return Focus && (Focus == &W || Focus->is_ancestor(W));
}

void MainWindowTest::CloseAndWait(shell::TFrmWeb* Page) {
  int Before = PageCount();
  Page->Close();
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == Before - 1; }));
}

}  // namespace vorlane::test
