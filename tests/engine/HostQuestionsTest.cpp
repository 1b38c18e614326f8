// What the engine asks its host: dropped addresses and script dialogs.
#include "EngineFixture.h"

#include "support/MainLoop.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

// Shows every script dialog and answers it later, when the test says so.
struct RecordingHost : browser::IWebEngineHost {
  std::vector<browser::ScriptDialog> Dialogs;
  std::vector<browser::ScriptDialogAnswer> Answers;
  bool ShowScriptDialog(const browser::ScriptDialog& Dialog, browser::ScriptDialogAnswer Answer) override {
    Dialogs.push_back(Dialog);
    Answers.push_back(std::move(Answer));
    return true;
  }
};

using HostQuestionsTest = EngineTest;

// The drop controller the engine put on its view, ahead of the page's own.
GtkDropTargetAsync* DropTargetOf(WebKitWebView* View) {
  GListModel* Controllers = gtk_widget_observe_controllers(GTK_WIDGET(View));
  GtkDropTargetAsync* Found = nullptr;
  for (guint I = 0; I < g_list_model_get_n_items(Controllers) && !Found; ++I) {
    GObject* Item = G_OBJECT(g_list_model_get_item(Controllers, I));
    if (GTK_IS_DROP_TARGET_ASYNC(Item)) Found = GTK_DROP_TARGET_ASYNC(Item);
    g_object_unref(Item);  // the view keeps its controllers
  }
  g_object_unref(Controllers);
  return Found;
}

// A real drag onto a page is in the window tests (shell_engine_tests); here, the target.
TEST_F(HostQuestionsTest, DropsAreTakenBeforeThePageInTheFormatsTheHostPrefers) {
  Server.Serve("/a.html", "<title>A</title>a");
  TestPage& P = NewPage();
  ASSERT_TRUE(Load(P, Server.Url("/a.html")));
  GtkDropTargetAsync* Target = DropTargetOf(ViewOf(*P.Engine));
  ASSERT_NE(Target, nullptr);
  EXPECT_EQ(gtk_event_controller_get_propagation_phase(GTK_EVENT_CONTROLLER(Target)), GTK_PHASE_CAPTURE);
  gsize Count = 0;
  const char* const* Mimes = gdk_content_formats_get_mime_types(gtk_drop_target_async_get_formats(Target), &Count);
  ASSERT_EQ(Count, 3u);
  EXPECT_STREQ(Mimes[0], "text/uri-list");
}

TEST_F(HostQuestionsTest, AHostThatShowsScriptMessagesItselfGetsThemAndThePageGoesOn) {
  Server.Serve("/alert.html", "<title>before</title><script>alert('你好'); document.title = 'after'</script>");
  TestPage& P = NewPage();
  RecordingHost Host;
  P->SetHost(&Host);
  P->Navigate2(Server.Url("/alert.html"));
  ASSERT_TRUE(PumpUntil([&] { return Host.Dialogs.size() == 1; }));
  EXPECT_EQ(Host.Dialogs[0].Message, "你好");
  Host.Answers[0](true, {});
  EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "after"; }));
}

TEST_F(HostQuestionsTest, ConfirmAndPromptWaitForTheHostsAnswer) {
  Server.Serve("/ask.html",
               "<title>-</title><script>"
               "const a = confirm('q1'), b = confirm('q2'), c = prompt('p1', '默认'), d = prompt('p2', 'x');"
               "document.title = [a, b, c, d].join('|')</script>");
  TestPage& P = NewPage();
  RecordingHost Host;
  P->SetHost(&Host);
  P->Navigate2(Server.Url("/ask.html"));
  const std::vector<std::pair<bool, std::string>> Given = {{true, ""}, {false, ""}, {true, "答"}, {false, "no"}};
  for (size_t I = 0; I < Given.size(); ++I) {
    ASSERT_TRUE(PumpUntil([&] { return Host.Dialogs.size() == I + 1; }));
    EXPECT_EQ(Host.Dialogs[I].Kind, I < 2 ? browser::ScriptDialogKind::Confirm : browser::ScriptDialogKind::Prompt);
    Host.Answers[I](Given[I].first, Given[I].second);
  }
  EXPECT_EQ(Host.Dialogs[2].DefaultText, "默认");
  EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "true|false|答|"; })) << P->DocumentTitle();
}

}  // namespace
}  // namespace vorlane::test
