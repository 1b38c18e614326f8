// The address box under a display: the key table with real key presses, the read-only
// state after every way the list closes, commits, and code-set text.
#include "navigation/IEAddress.h"
#include "navigation/TypedUrls.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "support/MainLoop.h"
#include "support/RealKeys.h"

#include <gtest/gtest.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/label.h>
#include <gtkmm/listview.h>
#include <gtkmm/window.h>

namespace vorlane::test {
namespace {

using navigation::TIEAddress;

Gtk::ListView* ListIn(Gtk::Widget& Parent) {
  for (auto* Child = Parent.get_first_child(); Child; Child = Child->get_next_sibling()) {
    if (auto* List = dynamic_cast<Gtk::ListView*>(Child)) return List;
    if (auto* List = ListIn(*Child)) return List;
  }
  return nullptr;
}

class AddressBoxTest : public testing::Test {
protected:
  void SetUp() override {
    auto Dir = platform::ShellFolders::ConfigHome() / "address-box";
    std::filesystem::remove_all(Dir);
    FRegistry = std::make_unique<platform::Registry>(Dir);
    for (int I = 0; I < 3; ++I)
      FRegistry->WriteString(platform::RootKey::CurrentUser, navigation::TypedUrlsKey, "Url" + std::to_string(I + 1),
                             Entries[I]);
    Box = std::make_unique<TIEAddress>(FRegistry.get());
    Box->OnUrlSelected().connect([this](const std::string& Url) { Selected.push_back(Url); });
    auto* Row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL);
    Row->append(*Box);
    Row->append(Other);
    Plain.set_size_request(-1, 300);
    Row->append(Plain);
    Window.set_child(*Row);
    Window.set_default_size(400, 400);
    Window.present();
    ASSERT_TRUE(PumpUntil([&] { return Box->get_width() > 0; }));
  }
  void TearDown() override {
    Window.set_visible(false);
    Window.unset_child();
    Box.reset();
    PumpPending();
  }
  // The window has the X focus and the box the window's.
  bool Focused() {
    if (!FocusWindow(Window)) return false;
    Box->grab_focus();
    return PumpUntil([&] { return Box->HasFocusWithin(); });
  }

  const std::string Entries[3] = {"http://one.example/", "http://two.example/", "http://three.example/"};
  std::unique_ptr<platform::Registry> FRegistry;
  Gtk::Window Window;
  Gtk::Button Other{"other"};
  Gtk::Label Plain{"plain"};
  std::unique_ptr<TIEAddress> Box;
  std::vector<std::string> Selected;
};

TEST_F(AddressBoxTest, LoadsTheTypedListAndShowsItsFirstEntry) {
  EXPECT_EQ(Box->Items(), std::vector<std::string>(std::begin(Entries), std::end(Entries)));
  EXPECT_EQ(Box->Text(), Entries[0]);
  EXPECT_TRUE(Selected.empty());
}

TEST_F(AddressBoxTest, KeyTableWithRealKeys) {
  ASSERT_TRUE(Focused());
  Box->set_text("typed");
  // Up with the list closed: nothing at all.
  ASSERT_TRUE(PressKeys("Up"));
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen(); }));
  EXPECT_FALSE(Box->get_editable());
  EXPECT_EQ(Box->Text(), "typed");
  EXPECT_EQ(Box->Highlighted(), -1);
  EXPECT_EQ(Box->ShownRows().size(), 3u);

  ASSERT_TRUE(PressKeys("Down Down Down Down"));  // the fourth is past the last entry
  ASSERT_TRUE(PumpUntil([&] { return Box->Text() == Entries[2]; }));
  PumpPending();
  EXPECT_EQ(Box->Highlighted(), 2);
  ASSERT_TRUE(PressKeys("Up"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Highlighted() == 1; }));
  EXPECT_EQ(Box->Text(), Entries[1]);
  EXPECT_TRUE(Box->ListOpen());  // moving the highlight is not an edit

  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(PumpUntil([&] { return !Box->ListOpen(); }));
  EXPECT_TRUE(Box->get_editable());
  EXPECT_EQ(Box->Text(), "typed");  // what was typed comes back
  int Start = 0, End = 0;
  EXPECT_TRUE(Box->get_selection_bounds(Start, End));
  EXPECT_EQ(End - Start, 5);
  EXPECT_TRUE(Selected.empty());

  Box->SetItems({Entries[0], "typed", Entries[2]});
  ASSERT_TRUE(PressKeys("alt+Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen(); }));
  EXPECT_EQ(Box->Highlighted(), 1);  // the entry the box shows
  ASSERT_TRUE(PressKeys("alt+Up"));
  ASSERT_TRUE(PumpUntil([&] { return !Box->ListOpen(); }));
  EXPECT_TRUE(Box->get_editable());
}

TEST_F(AddressBoxTest, EveryWayOfClosingTheListMakesTheBoxWritable) {
  const std::pair<const char*, std::function<void()>> Ways[] = {
      {"arrow", [&] { g_signal_emit_by_name(Box->gobj(), "icon-release", GTK_ENTRY_ICON_SECONDARY); }},
      {"focus to the page", [&] { Other.grab_focus(); }},
      {"tab switch", [&] { Box->SetCurrentUrl("http://other.example/", true); }},
      {"typed text", [&] { Box->CloseList(), Box->set_text("x"); }},
  };
  for (const auto& [Name, Close] : Ways) {
    Box->grab_focus();
    Box->HandleKey(GDK_KEY_Down, Gdk::ModifierType());
    ASSERT_TRUE(Box->ListOpen()) << Name;
    ASSERT_FALSE(Box->get_editable()) << Name;
    Close();
    PumpPending();
    EXPECT_FALSE(Box->ListOpen()) << Name;
    EXPECT_TRUE(Box->get_editable()) << Name;
  }
  // A click on what takes no focus, with the list opened by the arrow while the focus
  // was elsewhere.
  ASSERT_TRUE(Focused());
  Other.grab_focus();
  ASSERT_TRUE(MovePointerTo(*Box, Box->get_width() / 2 - 12));  // the arrow
  PressButton(true), PressButton(false);
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen(); }));
  EXPECT_TRUE(Box->HasFocusWithin());
  ASSERT_TRUE(MovePointerTo(Plain));
  PressButton(true), PressButton(false);
  EXPECT_TRUE(PumpUntil([&] { return !Box->ListOpen(); }));
  // Esc, after the arrow opened it from the page.
  Other.grab_focus();
  ASSERT_TRUE(MovePointerTo(*Box, Box->get_width() / 2 - 12));
  PressButton(true), PressButton(false);
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen(); }));
  ASSERT_TRUE(PressKeys("Escape"));
  EXPECT_TRUE(PumpUntil([&] { return !Box->ListOpen(); }));

  // The window losing activation: another window takes the focus.
  ASSERT_TRUE(Focused());
  Box->HandleKey(GDK_KEY_Down, Gdk::ModifierType());
  ASSERT_FALSE(Box->get_editable());
  Gtk::Window Second;
  Second.set_default_size(100, 100);
  Second.present();
  ASSERT_TRUE(FocusWindow(Second));
  EXPECT_TRUE(PumpUntil([&] { return Box->get_editable(); }));
  EXPECT_FALSE(Box->ListOpen());
}

TEST_F(AddressBoxTest, EnterWithNothingHighlightedCommitsTheTextOnce) {
  Box->grab_focus();
  Box->set_text("typed.example");
  Box->HandleKey(GDK_KEY_Down, Gdk::ModifierType());
  ASSERT_EQ(Box->Highlighted(), -1);
  Box->HandleKey(GDK_KEY_Return, Gdk::ModifierType());
  EXPECT_EQ(Selected, std::vector<std::string>{"typed.example"});
  EXPECT_FALSE(Box->ListOpen());
  EXPECT_TRUE(Box->get_editable());
  EXPECT_EQ(Box->Items().front(), "typed.example");
}

TEST_F(AddressBoxTest, CommitsFromTheListAndTheMouseAndWithTheDefaultProtocol) {
  Box->DefaultProtocol = "http://";
  Box->set_text("bare.example");
  Box->Commit();
  EXPECT_EQ(Box->CurrentUrl(), "http://bare.example");
  EXPECT_EQ(Box->Items().front(), "http://bare.example");
  EXPECT_EQ(Selected.back(), "bare.example");

  Box->HandleKey(GDK_KEY_Down, Gdk::ModifierType());
  for (int I = 0; I < 3; ++I) Box->HandleKey(GDK_KEY_Down, Gdk::ModifierType());
  Box->HandleKey(GDK_KEY_Return, Gdk::ModifierType());
  EXPECT_EQ(Selected.back(), Entries[1]);
  EXPECT_EQ(Box->Items()[0], Entries[1]);
  EXPECT_EQ(Box->Items()[1], "http://bare.example");
  EXPECT_EQ(Box->CurrentUrl(), Entries[1]);
  EXPECT_EQ(Box->ShownIconIndex(), Box->IconIndexOf(Entries[1]));

  // A click on a row: the entry is committed where it stands.
  Box->OpenList(false);
  EXPECT_TRUE(Box->get_editable());  // opened by the mouse
  Gtk::ListView* List = ListIn(*Box);
  ASSERT_NE(List, nullptr);
  const std::string Row2 = Box->Items()[2];
  g_signal_emit_by_name(List->gobj(), "activate", 2u);
  EXPECT_EQ(Selected.back(), Row2);
  EXPECT_EQ(Box->CurrentUrl(), Row2);
  EXPECT_EQ(Box->Items()[2], Row2);  // a mouse choice leaves the order alone
  EXPECT_FALSE(Box->ListOpen());
}

TEST_F(AddressBoxTest, CodeSetTextIsNoEditAndTypingSuggests) {
  Box->grab_focus();
  Box->SetCurrentUrl("http://page.example/");
  EXPECT_FALSE(Box->SuggestionsShown());
  Box->set_text("http://t");  // the user's edit
  EXPECT_TRUE(Box->SuggestionsShown());
  EXPECT_EQ(Box->ShownRows(), (std::vector<std::string>{Entries[1], Entries[2]}));
  // A page event keeps what the user typed; a tab switch replaces it.
  Box->SetCurrentUrl("http://loaded.example/");
  EXPECT_EQ(Box->Text(), "http://t");
  EXPECT_EQ(Box->CurrentUrl(), "http://loaded.example/");
  Box->HandleKey(GDK_KEY_Down, Gdk::ModifierType());
  EXPECT_EQ(Box->Text(), Entries[1]);
  EXPECT_TRUE(Box->SuggestionsShown());  // the highlight moving is no edit
  Box->SetCurrentUrl("http://tab.example/", true);
  EXPECT_EQ(Box->Text(), "http://tab.example/");
  EXPECT_FALSE(Box->SuggestionsShown());
  // After a commit the page's address shows again.
  Box->set_text("typed");
  Box->Commit();
  Box->SetCurrentUrl("http://typed/");
  EXPECT_EQ(Box->Text(), "http://typed/");
}

TEST_F(AddressBoxTest, PathTextSuggestsNamesFromTheDiskAfterTypedOnes) {
  auto Dir = platform::ShellFolders::ConfigHome() / "address-paths";
  std::filesystem::create_directories(Dir / "one.example");
  Box->SetItems({Dir.string() + "/one.typed"});
  Box->set_text(Dir.string() + "/one");
  ASSERT_TRUE(PumpUntil([&] { return Box->ShownRows().size() == 2; }));
  EXPECT_EQ(Box->ShownRows(), (std::vector<std::string>{Dir.string() + "/one.typed", Dir.string() + "/one.example/"}));
}

TEST_F(AddressBoxTest, TypedTextComesBackOnEscAndUpPastTheTopAndThenThePagesAddress) {
  ASSERT_TRUE(Focused());
  Box->SetCurrentUrl("http://page.example/?q=%E4%B8%AD");
  EXPECT_EQ(Box->Text(), "http://page.example/?q=中");  // shown decoded, kept as loaded
  EXPECT_EQ(Box->CurrentUrl(), "http://page.example/?q=%E4%B8%AD");
  Box->set_text("http://t");
  ASSERT_TRUE(PumpUntil([&] { return Box->SuggestionsShown(); }));
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Text() == Entries[1]; }));
  ASSERT_TRUE(PressKeys("Up"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Highlighted() == -1; }));
  EXPECT_EQ(Box->Text(), "http://t");
  ASSERT_TRUE(PressKeys("Down Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Text() == Entries[2]; }));
  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(PumpUntil([&] { return !Box->SuggestionsShown(); }));
  EXPECT_EQ(Box->Text(), "http://t");
  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Text() == "http://page.example/?q=中"; }));
  EXPECT_FALSE(Box->UserEdited());
  EXPECT_TRUE(Selected.empty());
}

TEST_F(AddressBoxTest, TheNewKeysAltDownCtrlEnterAndShiftDelete) {
  ASSERT_TRUE(Focused());
  Box->set_text("");
  // Alt+Down while suggestions show: the typed list.
  ASSERT_TRUE(PressKeys("h t t p colon slash slash t"));
  ASSERT_TRUE(PumpUntil([&] { return Box->SuggestionsShown() && Box->Text() == "http://t"; }));
  ASSERT_TRUE(PressKeys("alt+Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen(); }));
  EXPECT_EQ(Box->ShownRows().size(), 3u);
  // Shift+Delete on a highlighted typed address takes it out.
  ASSERT_TRUE(PressKeys("Down Down shift+Delete"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Items().size() == 2; }));
  EXPECT_EQ(Box->Items(), (std::vector<std::string>{Entries[0], Entries[2]}));
  EXPECT_EQ(Box->ShownRows(), Box->Items());
  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(PumpUntil([&] { return !Box->ListOpen(); }));
  EXPECT_EQ(Box->Text(), "http://t");
  // Ctrl+Enter on a word.
  Box->set_text("");
  ASSERT_TRUE(PressKeys("b a i d u ctrl+Return"));
  ASSERT_TRUE(PumpUntil([&] { return !Selected.empty(); }));
  EXPECT_EQ(Selected, std::vector<std::string>{"www.baidu.com"});
}

TEST_F(AddressBoxTest, TheTextKeepsItsPlaceWhenTheBoxEmptiesOrFills) {
  ASSERT_TRUE(Focused());
  auto* Text = GTK_WIDGET(gtk_editable_get_delegate(GTK_EDITABLE(Box->gobj())));
  auto TextLeft = [&] {
    graphene_rect_t Bounds;
    return gtk_widget_compute_bounds(Text, GTK_WIDGET(Box->gobj()), &Bounds) ? Bounds.origin.x : -1.0f;
  };
  Box->set_text("");
  ASSERT_TRUE(PumpUntil([&] { return TextLeft() > 0; }));
  PumpPending();
  float Empty = TextLeft();
  ASSERT_TRUE(PressKeys("a"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Text() == "a"; }));
  PumpPending();
  EXPECT_EQ(TextLeft(), Empty);
}

TEST_F(AddressBoxTest, OnlyARealPointerMotionHighlightsAndLateRowsKeepTheChoice) {
  auto Dir = platform::ShellFolders::ConfigHome() / "address-late";
  std::filesystem::remove_all(Dir);
  std::filesystem::create_directories(Dir / "one.folder");
  const std::string Typed = Dir.string() + "/one.typed";
  Box->SetItems({Typed, Entries[0], Entries[1], Entries[2]});
  ASSERT_TRUE(Focused());
  // The pointer rests where the list will open.
  ASSERT_TRUE(MovePointerTo(*Box, 0, Box->get_height() + 8));
  Box->set_text(Dir.string() + "/on");
  ASSERT_TRUE(PumpUntil([&] { return Box->SuggestionsShown(); }));
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->Text() == Typed; }));
  // The folder's names arrive after the key: the choice and the text stay.
  ASSERT_TRUE(PumpUntil([&] { return Box->ShownRows().size() == 2; }));
  EXPECT_EQ(Box->Highlighted(), 0);
  EXPECT_EQ(Box->Text(), Typed);

  // A real motion highlights, and the list opening again under the pointer left there
  // highlights nothing until it moves.
  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(PumpUntil([&] { return !Box->SuggestionsShown(); }));
  Box->set_text("x");
  Gtk::ListView* List = ListIn(*Box);
  ASSERT_NE(List, nullptr);
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen() && List->get_height() > 0; }));
  // Away from where the pointer rested when the list opened.
  int Wiggle = 0;
  auto MoveOver = [&](int DX, int DY) {  // a pointer that keeps moving a little, as a hand does
    MovePointerTo(*List, DX + Wiggle++ % 2, -List->get_height() / 2 + DY);
    PumpPending();
  };
  ASSERT_TRUE(PumpUntil([&] { return MoveOver(-60, 10), Box->Highlighted() == 0; }));
  EXPECT_EQ(Box->Text(), "x");  // a highlight by the pointer is no text
  auto Seen = Gtk::EventControllerMotion::create();
  bool Entered = false;
  Seen->signal_enter().connect([&](double, double) { Entered = true; });
  List->add_controller(Seen);
  ASSERT_TRUE(PressKeys("Escape"));
  ASSERT_TRUE(PumpUntil([&] { return !Box->ListOpen(); }));
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PumpUntil([&] { return Box->ListOpen() && Entered; }));
  PumpPending();
  EXPECT_EQ(Box->Highlighted(), -1);
  EXPECT_TRUE(PumpUntil([&] { return MoveOver(-30, 40), Box->Highlighted() > 0; }));
  List->remove_controller(Seen);
}

}  // namespace
}  // namespace vorlane::test
