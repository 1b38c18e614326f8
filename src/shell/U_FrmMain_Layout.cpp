// The main window's widgets: menu bar, band container with the main tool bar, address
// bar and tab strip, the client area with the dock panel, and the status bar.
#include "shell/U_FrmMain.h"

#include "framework/TabLayout.h"
#include "framework/ToolTip.h"
#include "shell/U_CommandTable.h"

#include <gdkmm/display.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/image.h>
#include <gtkmm/separator.h>
#include <gtkmm/togglebutton.h>
#include <sigc++/adaptors/track_obj.h>
#include <gtkmm/stylecontext.h>

namespace vorlane::shell {
namespace {

constexpr const char* Style = R"css(
window.vorlane-main, window.vorlane-main * {
  font-family: "SimSun", "宋体", "WenQuanYi Zen Hei", sans-serif;
  font-size: 9pt;
}
.main-toolbar button { border: none; background: none; box-shadow: none; padding: 0; min-width: 0; min-height: 0; color: black; }
.main-toolbar button:hover { background: alpha(#5080c0, 0.15); }
.main-toolbar button:disabled { color: #999; }
.main-toolbar .linked menubutton > button { min-width: 12px; padding: 0; }
.address-toolbar label.address-label { font-weight: bold; }
.address-toolbar button { color: green; font-weight: bold; padding: 0 6px; min-height: 0; }
.address-toolbar entry { min-height: 22px; }
.statusbar { min-height: 19px; }
window.vorlane-about, window.vorlane-about * {
  font-family: "SimSun", "宋体", "WenQuanYi Zen Hei", sans-serif;
  font-size: 12px;
}
window.vorlane-about button { min-height: 0; min-width: 0; padding: 0 4px; }
.about-panel { border: 1px solid #808080; border-right-color: white; border-bottom-color: white;
  box-shadow: inset 1px 1px white, inset -1px -1px #808080; padding: 1px; }
.status-gauge progressbar, .status-gauge progressbar trough { min-width: 0; }
.status-gauge progressbar trough, .status-gauge progressbar progress { min-height: 15px; border-radius: 0; }
.status-gauge label { font-size: 8pt; }
)css";

}  // namespace

void TFrmMain::InstallStyle() {
  add_css_class("vorlane-main");
  auto Provider = Gtk::CssProvider::create();
  Provider->load_from_data(Style);
  Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), Provider,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

void TFrmMain::BuildLayout() {
  InstallStyle();
  BuildMainMenu();
  BuildMainToolBar();
  BuildAddressBar();

  // The band container: main tool bar, address bar, the hidden quick bar, the tab strip.
  CoolBar.set_name("CoolBar");
  CoolBar.append(tblMainToolBar);
  CoolBar.append(tblAddressBar);
  ToolBar1.set_name("tblQuickBar");
  ToolBar1.set_visible(false);
  CoolBar.append(ToolBar1);
  PageControl.set_size_request(-1, framework::TabLayout::HeightFor(1));
  PageControl.signal_change().connect([this] { PageControlChange(); });
  PageControl.signal_mouse_down().connect(
      [this](int B, int N, double X, double Y) { PageControlMouseDown(B, N, X, Y); });
  PageControl.signal_mouse_move().connect([this](double X, double Y) { PageControlMouseMove(X, Y); });
  PageControl.signal_rows_changed().connect([this] { AdjustTabStripHeight(); });
  CoolBar.append(PageControl);

  // The dock panel for the sidebar starts hidden; the pages fill the rest.
  pnlLeftDockBar.set_name("pnlLeftDockBar");
  pnlLeftDockBar.set_visible(false);
  FClientArea.set_start_child(pnlLeftDockBar);
  FClientArea.set_end_child(FFrame);
  FClientArea.set_resize_start_child(false);
  FClientArea.set_shrink_start_child(true);
  FClientArea.set_vexpand(true);

  BuildStatusBar();

  // The menus and tool bars leave the focus where the user works.
  FFocus.AddPassThrough(*FMenuBar);
  FFocus.AddPassThrough(tblMainToolBar);
  FRoot.append(*FMenuBar);
  FRoot.append(CoolBar);
  FRoot.append(FClientArea);
  FRoot.append(StatusBar);
  set_child(FRoot);
}

void TFrmMain::BuildMainMenu() {
  MainMenu = BuildMenuModel(MainMenuLayout(), ActionList);
  FMenuBar = Gtk::make_managed<Gtk::PopoverMenuBar>(MainMenu);
}

Gtk::Widget& TFrmMain::ToolButton(const std::string& Name, const std::string& Action,
                                  const std::string& Caption, const std::string& Icon,
                                  Glib::RefPtr<Gio::Menu> DropDown, std::function<void()> OnPopup, bool Check) {
  // A check button shows its switch's mark as its pressed state.
  Gtk::Button* Button = Check ? Gtk::make_managed<Gtk::ToggleButton>() : Gtk::make_managed<Gtk::Button>();
  Button->set_name(Name);
  auto* Face = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL);
  auto* Picture = Gtk::make_managed<Gtk::Image>();
  Picture->set_from_icon_name(Icon);
  Picture->set_pixel_size(30);
  Face->append(*Picture);
  Face->append(*Gtk::make_managed<Gtk::Label>(Caption));
  Button->set_child(*Face);
  Button->set_action_name(Action);
  Button->set_size_request(43, 49);
  Button->set_cursor(Gdk::Cursor::create("pointer"));
  // A click runs the command and leaves the focus where the user works: PgDn and the
  // arrows go on scrolling the page after 刷新.
  Button->set_focus_on_click(false);
  framework::SetOneLineToolTip(*Button, Caption);
  if (!DropDown) return *Button;
  auto* Linked = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL);
  Linked->add_css_class("linked");
  Linked->append(*Button);
  auto* Arrow = Gtk::make_managed<Gtk::MenuButton>();
  Arrow->set_name(Name + "DropDown");
  Arrow->set_menu_model(DropDown);
  Arrow->set_focus_on_click(false);
  // Filled afresh each time it opens. Such a list has entries exactly when its command can
  // run, so the arrow follows the command: never an empty list to open.
  if (OnPopup) {
    Arrow->set_create_popup_func([OnPopup]() { OnPopup(); });
    if (framework::TAction* Command = ActionList.Find(Action.substr(Action.find('.') + 1))) {
      auto Follow = [Arrow, Enabled = Command->GioAction()] { Arrow->set_sensitive(Enabled->get_enabled()); };
      Follow();
      Command->GioAction()->property_enabled().signal_changed().connect(sigc::track_obj(Follow, *Arrow));
    }
  }
  Arrow->set_valign(Gtk::Align::FILL);
  Linked->append(*Arrow);
  return *Linked;
}

void TFrmMain::BuildMainToolBar() {
  pmnBack = Gio::Menu::create();
  pmnForward = Gio::Menu::create();
  pmnUndo = Gio::Menu::create();
  tblMainToolBar.set_name("tblMainToolBar");
  tblMainToolBar.add_css_class("main-toolbar");
  tblMainToolBar.set_size_request(-1, 49);
  auto Group = ActionList.GroupName() + ".";
  auto Separator = [this] {
    auto* S = Gtk::make_managed<Gtk::Separator>(Gtk::Orientation::VERTICAL);
    S->set_margin_start(3);
    S->set_margin_end(4);
    tblMainToolBar.append(*S);
  };
  tblMainToolBar.append(ToolButton("ToolButton1", Group + "Ac_Blank", "空白页", "document-new"));
  Separator();
  tblMainToolBar.append(ToolButton("btnBack", Group + "Ac_Back", "后退", "go-previous", pmnBack,
                                    [this] { pmnBackPopup(); }));
  tblMainToolBar.append(ToolButton("btnForward", Group + "Ac_Forward", "前进", "go-next", pmnForward,
                                    [this] { pmnForwardPopup(); }));
  Separator();
  tblMainToolBar.append(ToolButton("ToolButton3", Group + "Ac_UnDo", "撤销", "edit-undo", pmnUndo));
  Separator();
  tblMainToolBar.append(ToolButton("ToolButton5", Group + "Ac_Refresh", "刷新", "view-refresh"));
  tblMainToolBar.append(ToolButton("ToolButton4", Group + "Ac_Stop", "停止", "process-stop"));
  Separator();
  tblMainToolBar.append(ToolButton("btnFavorites", Group + "Ac_Favorites", "收藏", "user-bookmarks", {}, {}, true));
  tblMainToolBar.append(ToolButton("btnHistory", Group + "Ac_History", "历史", "document-open-recent", {}, {}, true));
  Separator();
  tblMainToolBar.append(ToolButton("ToolButton12", Group + "Ac_HomePage", "首页", "go-home"));
  tblMainToolBar.append(ToolButton("ToolButton10", Group + "ToolButton10", "百度", "system-search"));
}

void TFrmMain::BuildAddressBar() {
  tblAddressBar.set_name("tblAddressBar");
  tblAddressBar.add_css_class("address-toolbar");
  tblAddressBar.set_size_request(-1, 22);
  lblAddress.set_text_with_mnemonic(Mnemonic("地址(&D)"));
  lblAddress.set_mnemonic_widget(cobAddress);
  lblAddress.add_css_class("address-label");
  lblAddress.set_size_request(60, -1);
  lblAddress.set_xalign(0);
  lblAddress.set_valign(Gtk::Align::CENTER);
  btnAddress.set_name("btnAddress");
  btnAddress.set_label("转到");
  btnAddress.set_focus_on_click(false);
  btnAddress.set_action_name(ActionList["Ac_Go"].DetailedName());
  cobAddress.OnUrlSelected().connect([this](const std::string& Url) { cobAddressNavigateUrl(Url); });
  tblAddressBar.append(lblAddress);
  tblAddressBar.append(cobAddress);
  tblAddressBar.append(btnAddress);
}

void TFrmMain::BuildStatusBar() {
  // Panel 0: status text; panel 1 (100 wide): the gauge, 3 pixels in and 4 narrower;
  // panel 2 (50 wide): always empty.
  StatusBar.set_name("StatusBar");
  StatusBar.add_css_class("statusbar");
  StatusBar.set_size_request(-1, 19);
  FStatusText.set_hexpand(true);
  FStatusText.set_xalign(0);
  FStatusText.set_ellipsize(Pango::EllipsizeMode::END);
  FStatusText.set_margin_start(2);
  FStatusPanel1.set_size_request(100, -1);
  FStatusPanel1.set_hexpand(false);
  FProgressGauge.set_size_request(96, -1);
  FProgressGauge.set_hexpand(false);
  FProgressGauge.set_valign(Gtk::Align::FILL);
  FProgressGauge.set_margin_start(3);
  FProgressGauge.set_margin_end(1);
  FProgressGauge.set_margin_top(3);
  FProgressGauge.set_margin_bottom(1);
  FStatusPanel1.append(FProgressGauge);
  FStatusPanel2.set_size_request(50, -1);
  FStatusPanel2.set_hexpand(false);
  StatusBar.append(FStatusText);
  StatusBar.append(FStatusPanel1);
  StatusBar.append(FStatusPanel2);
}

}  // namespace vorlane::shell
