// The Back and Forward drop-downs: the travel log lists the active page's history into
// them each time one opens, at most 10 entries, nearest first.
#include "shell/U_FrmMain.h"

#include "framework/LiteralLabel.h"

#include <cstdlib>

namespace vorlane::shell {

void TFrmMain::CreateTravelActions() {
  IETravelLog.OnEntry = [this](const std::string& T, const std::string& U, bool& C) { IETravelLogEntry(T, U, C); };
  // Each item carries its travel offset.
  auto TravelItem = Gio::SimpleAction::create("travel-item", Glib::VariantType("i"));
  TravelItem->signal_activate().connect([this](const Glib::VariantBase& Target) {
    TravelItemClick(Glib::VariantBase::cast_dynamic<Glib::Variant<int32_t>>(Target).get());
  });
  ActionList.Group()->add_action(TravelItem);
}

void TFrmMain::pmnBackPopup() { TravelPopup(true); }
void TFrmMain::pmnForwardPopup() { TravelPopup(false); }

void TFrmMain::TravelPopup(bool Back) {
  (Back ? pmnBack : pmnForward)->remove_all();
  (Back ? FBackItems : FForwardItems).clear();
  FTravelCount = 0;
  // Without a page the list stays empty: items left from another page would travel it.
  TFrmWeb* Page = ActivePage();
  if (!Page) return;
  IETravelLog.SetWebbrowser(Page->WebBrowser.get());
  IETravelLog.Connect();
  if (Back)
    IETravelLog.EnumerateBack();
  else
    IETravelLog.EnumerateForward();
}

void TFrmMain::IETravelLogEntry(const std::string& Title, const std::string& Url, bool& Cancel) {
  bool Back = IETravelLog.Backward;
  int Offset = Back ? -(FTravelCount + 1) : FTravelCount + 1;
  TTravelMenuItem Item{Title.empty() ? Url : Title, Url, Offset};
  // A title is the page's text: "_" in it is no mnemonic.
  auto MenuItem = Gio::MenuItem::create(framework::LiteralMenuLabel(Item.Caption), "");
  MenuItem->set_action_and_target(ActionList.GroupName() + ".travel-item", Glib::Variant<int32_t>::create(Offset));
  (Back ? pmnBack : pmnForward)->append_item(MenuItem);
  (Back ? FBackItems : FForwardItems).push_back(std::move(Item));
  if (++FTravelCount >= MaxTravelItems) Cancel = true;
}

void TFrmMain::TravelItemClick(int Offset) {
  const auto& Items = Offset < 0 ? FBackItems : FForwardItems;
  auto It = std::find_if(Items.begin(), Items.end(), [Offset](auto& I) { return I.Offset == Offset; });
  if (Offset == 0 || It == Items.end()) return;
  // Only the page the list was read from, and only while its entry there is the same:
  // the page may have closed or moved on since the menu was filled.
  TFrmWeb* Page = ActivePage();
  if (!Page || IETravelLog.BoundControl() != Page->WebBrowser.get()) return;
  const browser::WebEngine& Engine = Page->WebBrowser->Engine();
  size_t Steps = static_cast<size_t>(std::abs(Offset));
  std::vector<browser::TravelEntry> Path;
  try {
    Path = Offset < 0 ? Engine.BackEntries(Steps) : Engine.ForwardEntries(Steps);
  } catch (const browser::EngineError&) {
    return;
  }
  if (Path.size() != Steps || Path.back().Url != It->Hint) return;
  IETravelLog.TravelTo(Offset);
}

}  // namespace vorlane::shell
