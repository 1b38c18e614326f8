// The Back and Forward drop-downs of the main window.
#include "MainWindowFixture.h"

namespace vorlane::test {
namespace {

Gtk::Widget* FindNamed(Gtk::Widget& Root, const std::string& Name) {
  if (std::string(Root.get_name()) == Name) return &Root;
  for (Gtk::Widget* W = Root.get_first_child(); W; W = W->get_next_sibling())
    if (Gtk::Widget* Found = FindNamed(*W, Name)) return Found;
  return nullptr;
}

std::string Url(int I) { return "http://p" + std::to_string(I) + ".example/"; }

class TravelDropDownTest : public MainWindowTest {
protected:
  // The active page after visiting pages 0 … Count-1; page 3 has no title.
  TFakeEngine& Visit(int Count) {
    TFakeEngine& E = EngineOf(Active());
    for (int I = 0; I < Count; ++I) E.CompleteNavigation(Url(I), I == 3 ? "" : "P" + std::to_string(I));
    return E;
  }
  std::vector<std::string> Captions(bool Back) {
    std::vector<std::string> Out;
    for (auto& I : Main().TravelItems(Back)) Out.push_back(I.Caption);
    return Out;
  }
};

TEST_F(TravelDropDownTest, ShowsAtMostTenEntriesEachWayCountingAfresh) {
  TFakeEngine& E = Visit(17);  // 16 entries behind the current page
  Main().pmnBackPopup();
  ASSERT_EQ(Main().TravelItems(true).size(), 10u);
  EXPECT_EQ(Main().pmnBack->get_n_items(), 10);
  EXPECT_EQ(Main().TravelItems(true)[0].Caption, "P15");
  EXPECT_EQ(Main().TravelItems(true)[0].Offset, -1);
  Main().pmnBackPopup();
  EXPECT_EQ(Main().pmnBack->get_n_items(), 10);

  E.TravelTo(-14);  // now on page 2: 2 behind, 14 ahead
  Main().pmnForwardPopup();
  EXPECT_EQ(Captions(false), (std::vector<std::string>{Url(3), "P4", "P5", "P6", "P7", "P8", "P9", "P10", "P11",
                                                        "P12"}));
  Main().TravelItemClick(3);  // the third item
  EXPECT_EQ(E.Url, Url(5));
  Main().pmnBackPopup();
  Main().TravelItemClick(-1);
  EXPECT_EQ(E.Url, Url(4));
}

TEST_F(TravelDropDownTest, OpeningTheArrowFillsTheMenu) {
  Visit(3);
  auto* Arrow = dynamic_cast<Gtk::MenuButton*>(FindNamed(Main(), "btnBackDropDown"));
  ASSERT_NE(Arrow, nullptr);
  Arrow->popup();
  EXPECT_EQ(Main().pmnBack->get_n_items(), 2);
  Arrow->popdown();
}

TEST_F(TravelDropDownTest, ArrowsOpenOnlyOverHistoryAndShowTitlesLiterally) {
  auto* BackArrow = dynamic_cast<Gtk::MenuButton*>(FindNamed(Main(), "btnBackDropDown"));
  auto* ForwardArrow = dynamic_cast<Gtk::MenuButton*>(FindNamed(Main(), "btnForwardDropDown"));
  ASSERT_TRUE(BackArrow && ForwardArrow);
  TFakeEngine& E = EngineOf(Active());
  E.CompleteNavigation(Url(0), "snake_case __init__");
  EXPECT_FALSE(BackArrow->get_sensitive());
  EXPECT_FALSE(ForwardArrow->get_sensitive());
  E.CompleteNavigation(Url(1), "P1");
  EXPECT_TRUE(BackArrow->get_sensitive());
  EXPECT_FALSE(ForwardArrow->get_sensitive());
  Main().pmnBackPopup();
  auto Label = Main().pmnBack->get_item_attribute(0, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s"));
  EXPECT_EQ(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(Label).get(), "snake__case ____init____");
}

TEST_F(TravelDropDownTest, StaleItemsDoNotTravel) {
  TFakeEngine& E = Visit(4);
  Main().pmnBackPopup();
  ASSERT_EQ(Main().TravelItems(true).size(), 3u);
  // The page moved on after the list was read: the entry one step back is another page.
  E.CompleteNavigation("http://new.example/", "new");
  Main().TravelItemClick(-1);
  EXPECT_EQ(E.Url, "http://new.example/");
  EXPECT_EQ(E.CallCount("TravelTo"), 0);

  // Another page is active now: the items were read from the first one.
  Main().pmnBackPopup();
  shell::TFrmWeb* Other = Open("http://other.example/", true, "other");
  EngineOf(Other).CompleteNavigation("http://other2.example/", "other 2");
  Main().TravelItemClick(-1);
  EXPECT_EQ(EngineOf(Other).CallCount("TravelTo"), 0);
  EXPECT_EQ(E.CallCount("TravelTo"), 0);
}

TEST_F(TravelDropDownTest, WithoutAPageTheDropDownIsEmptied) {
  Visit(3);
  Main().pmnBackPopup();
  ASSERT_EQ(Main().pmnBack->get_n_items(), 2);
  CloseAndWait(Active());
  ASSERT_EQ(Active(), nullptr);
  Main().pmnBackPopup();
  EXPECT_EQ(Main().pmnBack->get_n_items(), 0);
  Main().TravelItemClick(-1);  // a click that was already on its way does nothing
}

}  // namespace
}  // namespace vorlane::test
