// Links asked for in tabs of their own, clicked with the real pointer on a real page: a
// middle click, Ctrl+click, and the context menu's "在新标签页中打开链接".
#include "EngineFixture.h"

#include "support/MainLoop.h"
#include "support/RealInput.h"

#include <gdk/x11/gdkx.h>
#include <gtkmm/popovermenu.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vorlane::test {
namespace {

struct TabHost : browser::IWebEngineHost {
  std::vector<std::pair<std::string, bool>> Asked;  // (address, in front)
  bool OpenInNewTab(const std::string& Url, bool Foreground) override {
    Asked.emplace_back(Url, Foreground);
    return true;
  }
};

class LinkTabsTest : public EngineTest {
protected:
  void SetUp() override {
    if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) GTEST_SKIP() << "needs an X display";
    // One link over the whole page, so the pointer in the view's middle is on it.
    Server.Serve("/links.html",
                 "<title>L</title><style>a{display:block;width:100vw;height:100vh}</style>"
                 "<a href=\"/b.html\">b</a>");
    Server.Serve("/b.html", "<title>B</title>b");
    Page = &NewPage();
    (*Page)->SetHost(&Host);
    ASSERT_TRUE(Load(*Page, Server.Url("/links.html")));
    ASSERT_TRUE(FocusWindow(Window));
    ASSERT_TRUE(MovePointerTo((*Page)->Widget()));
    PumpPending();
  }

  void Click(unsigned Button, std::initializer_list<KeySym> Held = {}) {
    Display* D = gdk_x11_display_get_xdisplay(gdk_display_get_default());
    for (KeySym K : Held) XTestFakeKeyEvent(D, XKeysymToKeycode(D, K), True, CurrentTime);
    XTestFakeButtonEvent(D, Button, True, CurrentTime);
    XTestFakeButtonEvent(D, Button, False, CurrentTime);
    for (KeySym K : Held) XTestFakeKeyEvent(D, XKeysymToKeycode(D, K), False, CurrentTime);
    XSync(D, False);
  }

  // WebKit's context menu, once it shows.
  Gtk::PopoverMenu* ContextMenu() {
    std::function<Gtk::PopoverMenu*(Gtk::Widget&)> Find = [&](Gtk::Widget& W) -> Gtk::PopoverMenu* {
      if (auto* P = dynamic_cast<Gtk::PopoverMenu*>(&W); P && P->get_visible()) return P;
      for (Gtk::Widget* C = W.get_first_child(); C; C = C->get_next_sibling())
        if (auto* P = Find(*C)) return P;
      return nullptr;
    };
    return Find((*Page)->Widget());
  }

  TestPage* Page = nullptr;
  TabHost Host;
};

TEST_F(LinkTabsTest, MiddleClickAndCtrlClickAskForATabAndTheLinkStaysHere) {
  const std::string B = Server.Url("/b.html");
  Click(2);
  ASSERT_TRUE(PumpUntil([&] { return Host.Asked.size() == 1; }));
  Click(1, {XK_Control_L, XK_Shift_L});
  ASSERT_TRUE(PumpUntil([&] { return Host.Asked.size() == 2; }));
  EXPECT_EQ(Host.Asked, (std::vector<std::pair<std::string, bool>>{{B, false}, {B, true}}));
  EXPECT_EQ(Page->Log->Count("NewWindow"), 0) << Page->Log->Dump();
  EXPECT_EQ(Server.RequestCount("/b.html"), 0);
}

TEST_F(LinkTabsTest, TheContextMenuOffersTheLinkInANewTab) {
  Click(3);
  ASSERT_TRUE(PumpUntil([&] { return ContextMenu() != nullptr; }));
  // The item's action and target, in whichever section it sits.
  std::string Action;
  GVariant* Target = nullptr;
  std::function<void(GMenuModel*)> Walk = [&](GMenuModel* M) {
    for (int I = 0; I < g_menu_model_get_n_items(M); ++I) {
      if (GMenuModel* Section = g_menu_model_get_item_link(M, I, G_MENU_LINK_SECTION)) {
        Walk(Section);
        g_object_unref(Section);
      }
      gchar *Label = nullptr, *Name = nullptr;
      if (g_menu_model_get_item_attribute(M, I, G_MENU_ATTRIBUTE_LABEL, "s", &Label) &&
          std::string(Label) == "在新标签页中打开链接" &&
          g_menu_model_get_item_attribute(M, I, G_MENU_ATTRIBUTE_ACTION, "s", &Name)) {
        Action = Name;
        Target = g_menu_model_get_item_attribute_value(M, I, G_MENU_ATTRIBUTE_TARGET, nullptr);
      }
      g_free(Label);
      g_free(Name);
    }
  };
  Walk(ContextMenu()->get_menu_model()->gobj());
  ASSERT_FALSE(Action.empty());
  gtk_widget_activate_action_variant(GTK_WIDGET(ContextMenu()->gobj()), Action.c_str(), Target);
  if (Target) g_variant_unref(Target);
  ContextMenu()->popdown();
  ASSERT_TRUE(PumpUntil([&] { return Host.Asked.size() == 1; }));
  EXPECT_EQ(Host.Asked[0], std::make_pair(Server.Url("/b.html"), false));
}

}  // namespace
}  // namespace vorlane::test
