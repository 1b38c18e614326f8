// What the engine asks its host: dropped addresses and script dialogs.
#include "EngineFixture.h"

#include "support/MainLoop.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

struct RecordingHost : browser::IWebEngineHost {
  bool TakeDrops = true;
  std::vector<std::string> Drops;
  std::vector<std::string> Messages;
  bool HandleDrop(const std::string& Text) override {
    Drops.push_back(Text);
    return TakeDrops;
  }
  bool ShowScriptDialog(const std::string& Message) override {
    Messages.push_back(Message);
    return true;
  }
};

using HostQuestionsTest = EngineTest;

GtkDropTarget* DropTargetOf(WebKitWebView* View) {
  GListModel* Controllers = gtk_widget_observe_controllers(GTK_WIDGET(View));
  GtkDropTarget* Found = nullptr;
  for (guint I = 0; I < g_list_model_get_n_items(Controllers) && !Found; ++I) {
    GObject* Item = G_OBJECT(g_list_model_get_item(Controllers, I));
    if (GTK_IS_DROP_TARGET(Item)) Found = GTK_DROP_TARGET(Item);
    g_object_unref(Item);  // the view keeps its controllers
  }
  g_object_unref(Controllers);
  return Found;
}

bool Drop(GtkDropTarget* Target, const char* Text) {
  GValue Value = G_VALUE_INIT;
  g_value_init(&Value, G_TYPE_STRING);
  g_value_set_string(&Value, Text);
  gboolean Taken = FALSE;
  g_signal_emit_by_name(Target, "drop", &Value, 10.0, 10.0, &Taken);
  g_value_unset(&Value);
  return Taken;
}

TEST_F(HostQuestionsTest, DroppedAddressesGoToTheHostFirst) {
  Server.Serve("/a.html", "<title>A</title>a");
  TestPage& P = NewPage();
  RecordingHost Host;
  P->SetHost(&Host);
  ASSERT_TRUE(Load(P, Server.Url("/a.html")));
  GtkDropTarget* Target = DropTargetOf(ViewOf(*P.Engine));
  ASSERT_NE(Target, nullptr);
  EXPECT_EQ(gtk_event_controller_get_propagation_phase(GTK_EVENT_CONTROLLER(Target)), GTK_PHASE_CAPTURE);

  EXPECT_TRUE(Drop(Target, "http://example.com/x\r\nhttp://example.com/y\r\n"));
  Host.TakeDrops = false;
  EXPECT_FALSE(Drop(Target, "other"));
  EXPECT_EQ(Host.Drops, (std::vector<std::string>{"http://example.com/x", "other"}));
  EXPECT_FALSE(Drop(Target, ""));  // nothing to offer the host
  EXPECT_EQ(Host.Drops.size(), 2u);
  EXPECT_EQ(P->LocationURL(), Server.Url("/a.html"));
}

TEST_F(HostQuestionsTest, AHostThatShowsScriptMessagesItselfGetsThemAndThePageGoesOn) {
  Server.Serve("/alert.html", "<title>before</title><script>alert('你好'); document.title = 'after'</script>");
  TestPage& P = NewPage();
  RecordingHost Host;
  P->SetHost(&Host);
  ASSERT_TRUE(Load(P, Server.Url("/alert.html")));
  EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "after"; }));
  EXPECT_EQ(Host.Messages, std::vector<std::string>{"你好"});
}

}  // namespace
}  // namespace vorlane::test
