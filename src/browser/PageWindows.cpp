#include "browser/PageWindows.h"

#include "browser/BrowserControl.h"
#include "browser/SourceText.h"

#include <glibmm/main.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gdk/gdkkeysyms.h>
#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/shortcuttrigger.h>
#include <gtkmm/textview.h>
#include <gtkmm/window.h>

namespace vorlane::browser {

namespace {

// A window over the page's top-level window that deletes itself once closed. Answers that
// arrive later find it through its token, or not at all.
class OwnedWindow : public Gtk::Window {
public:
  std::weak_ptr<int> Token() const { return FToken; }

private:
  std::shared_ptr<int> FToken = std::make_shared<int>(0);
};

OwnedWindow* NewOwnedWindow(TBrowserControl& Control, const std::string& Title, int Width, int Height) {
  auto* Window = new OwnedWindow;
  Window->set_title(Title);
  Window->set_default_size(Width, Height);
  if (auto* Root = dynamic_cast<Gtk::Window*>(Control.Widget().get_root())) Window->set_transient_for(*Root);
  Window->signal_close_request().connect(
      [Window] {
        Window->hide();
        Glib::signal_idle().connect_once([Window] { delete Window; });
        return true;
      },
      false);
  return Window;
}

Gtk::Label* AddRow(Gtk::Grid& Grid, int Row, const std::string& Name, const std::string& Value) {
  auto* Key = Gtk::make_managed<Gtk::Label>(Name);
  Key->set_xalign(0);
  auto* Text = Gtk::make_managed<Gtk::Label>(Value);
  Text->set_xalign(0);
  Text->set_selectable(true);
  Text->set_wrap(true);
  Text->set_max_width_chars(60);
  Grid.attach(*Key, 0, Row);
  Grid.attach(*Text, 1, Row);
  return Text;
}

Gtk::Box* Column(Gtk::Window& Window) {
  auto* Box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
  Box->set_margin(12);
  Window.set_child(*Box);
  return Box;
}

}  // namespace

void ShowSourceWindow(TBrowserControl& Control) {
  std::weak_ptr<int> Alive = Control.LifeToken();
  std::string Title = Control.Engine().LocationURL() + " - 源文件";
  Control.Engine().GetDocumentSource([&Control, Alive, Title](std::optional<WebEngine::DocumentSource> Source) {
    if (Alive.expired() || !Source) return;
    Gtk::Window* Window = NewOwnedWindow(Control, Title, 800, 600);
    auto* Scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    auto* View = Gtk::make_managed<Gtk::TextView>();
    View->set_editable(false);
    View->set_monospace(true);
    View->get_buffer()->set_text(DecodeSourceText(Source->Bytes, Source->Charset));
    Scroller->set_child(*View);
    Window->set_child(*Scroller);
    Window->present();
  });
}

namespace {

// Esc on Widget (or anything in it) runs Close.
void CloseOnEscape(Gtk::Widget& Widget, std::function<void()> Close) {
  auto Keys = Gtk::ShortcutController::create();
  Keys->set_scope(Gtk::ShortcutScope::LOCAL);
  Keys->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape),
                                           Gtk::CallbackAction::create([Close](Gtk::Widget&, const Glib::VariantBase&) {
                                             Close();
                                             return true;
                                           })));
  Widget.add_controller(Keys);
}

// The find controls in Into; Shown ends when they go. Returns the text entry.
Gtk::Entry* FillFind(Gtk::Box& Into, TBrowserControl& Control, std::weak_ptr<int> Shown) {
  std::weak_ptr<int> Alive = Control.LifeToken();
  WebEngine* Engine = &Control.Engine();
  auto* Entry = Gtk::make_managed<Gtk::Entry>();
  Entry->set_hexpand(true);
  auto* Case = Gtk::make_managed<Gtk::CheckButton>("区分大小写");
  auto* Status = Gtk::make_managed<Gtk::Label>("");
  Status->set_name("status");
  Status->set_xalign(0);
  auto* Buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  auto* Previous = Gtk::make_managed<Gtk::Button>("上一个");
  auto* Next = Gtk::make_managed<Gtk::Button>("下一个");
  Buttons->append(*Previous);
  Buttons->append(*Next);
  Into.append(*Entry);
  Into.append(*Buttons);
  Into.append(*Case);
  Into.append(*Status);

  // The search starts again whenever the text or the case rule changes.
  auto Search = [Alive, Shown, Engine, Entry, Case, Status] {
    if (Alive.expired()) return;
    std::string Text = Entry->get_text();
    if (Text.empty()) {
      Engine->FindFinish();
      Status->set_text("");
      return;
    }
    Engine->FindText(Text, Case->get_active(), [Status, Text, Shown](unsigned Matches) {
      if (Shown.expired()) return;
      Status->set_text(Matches ? "找到 " + std::to_string(Matches) + " 处" : "找不到“" + Text + "”");
    });
  };
  Entry->signal_changed().connect(Search);
  Case->signal_toggled().connect(Search);
  Entry->signal_activate().connect([Alive, Engine] {
    if (!Alive.expired()) Engine->FindNext();
  });
  Next->signal_clicked().connect([Alive, Engine] {
    if (!Alive.expired()) Engine->FindNext();
  });
  Previous->signal_clicked().connect([Alive, Engine] {
    if (!Alive.expired()) Engine->FindPrevious();
  });
  return Entry;
}

}  // namespace

void ShowFindWindow(TBrowserControl& Control) {
  std::weak_ptr<int> Alive = Control.LifeToken();
  WebEngine* Engine = &Control.Engine();
  // Beside the page, never over the match it shows: a bar under the page in the page's
  // own box (a window cannot be placed on every desktop). A page in no box gets a window.
  if (auto* Page = dynamic_cast<Gtk::Box*>(Control.Widget().get_parent())) {
    for (Gtk::Widget* C = Page->get_first_child(); C; C = C->get_next_sibling())
      if (C->get_name() == "find-bar") {
        C->set_visible(true);
        if (auto* Entry = dynamic_cast<Gtk::Entry*>(C->get_first_child())) Entry->grab_focus();
        return;
      }
    auto* Bar = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    Bar->set_name("find-bar");
    Bar->set_margin(6);
    // The bar goes with its page; hidden in between, it keeps the last text.
    Gtk::Entry* Entry = FillFind(*Bar, Control, Alive);
    auto* Close = Gtk::make_managed<Gtk::Button>("关闭");
    Bar->append(*Close);
    auto Hide = [Alive, Engine, Bar] {
      Bar->set_visible(false);
      if (!Alive.expired()) Engine->FindFinish();
    };
    Close->signal_clicked().connect(Hide);
    CloseOnEscape(*Bar, Hide);
    Page->insert_child_after(*Bar, Control.Widget());
    Entry->grab_focus();
    return;
  }
  OwnedWindow* Window = NewOwnedWindow(Control, "查找", 360, -1);
  Gtk::Box* Box = Column(*Window);
  FillFind(*Box, Control, Window->Token());
  CloseOnEscape(*Window, [Window] { Window->close(); });
  // Closing hides the window first (the close handler above ends the emission).
  Window->signal_hide().connect([Alive, Engine] {
    if (!Alive.expired()) Engine->FindFinish();
  });
  Window->present();
}

void ShowPropertiesWindow(TBrowserControl& Control) {
  WebEngine::PageProperties P = Control.Engine().GetPageProperties();
  Gtk::Window* Window = NewOwnedWindow(Control, "属性", 420, -1);
  Gtk::Box* Box = Column(*Window);
  auto* Grid = Gtk::make_managed<Gtk::Grid>();
  Grid->set_column_spacing(12);
  Grid->set_row_spacing(6);
  AddRow(*Grid, 0, "标题：", P.Title);
  AddRow(*Grid, 1, "地址：", P.Url);
  AddRow(*Grid, 2, "类型：", P.MimeType.empty() ? "未知" : P.MimeType);
  AddRow(*Grid, 3, "大小：", P.Size < 0 ? "未知" : std::to_string(P.Size) + " 字节");
  AddRow(*Grid, 4, "状态：", P.Status ? std::to_string(P.Status) : "无");
  AddRow(*Grid, 5, "证书：",
         P.Certificate.empty() ? "无（连接未加密）"
                               : P.Certificate + (P.CertificateTrusted ? "" : "\n（证书不受信任）"));
  Box->append(*Grid);
  auto* Ok = Gtk::make_managed<Gtk::Button>("确定");
  Ok->set_halign(Gtk::Align::END);
  Ok->signal_clicked().connect([Window] { Window->close(); });
  Box->append(*Ok);
  Window->present();
}

void ShowEngineOptionsWindow(TBrowserControl& Control) {
  std::weak_ptr<int> Alive = Control.LifeToken();
  OwnedWindow* Window = NewOwnedWindow(Control, "Internet 选项", 320, -1);
  std::weak_ptr<int> Shown = Window->Token();
  Gtk::Box* Box = Column(*Window);
  Box->append(*Gtk::make_managed<Gtk::Label>("删除浏览的历史记录："));
  auto* Cache = Gtk::make_managed<Gtk::CheckButton>("临时文件（缓存）");
  auto* Cookies = Gtk::make_managed<Gtk::CheckButton>("Cookie 和网站数据");
  Cache->set_active(true);
  Cookies->set_active(true);
  auto* Status = Gtk::make_managed<Gtk::Label>("");
  auto* Clear = Gtk::make_managed<Gtk::Button>("删除");
  auto* Downloads = Gtk::make_managed<Gtk::CheckButton>("下载记录");
  Downloads->set_active(true);
  Box->append(*Cache);
  Box->append(*Cookies);
  if (Control.OnClearDownloadList) Box->append(*Downloads);
  Box->append(*Clear);
  Box->append(*Status);
  Clear->signal_clicked().connect([&Control, Alive, Shown, Cache, Cookies, Downloads, Status, Clear] {
    if (Alive.expired()) return;
    Clear->set_sensitive(false);
    if (Control.OnClearDownloadList && Downloads->get_active()) Control.OnClearDownloadList();
    Control.Engine().ClearBrowsingData(Cache->get_active(), Cookies->get_active(),
                                       [&Control, Alive, Shown, Status, Clear](bool Ok) {
                                         if (!Shown.expired()) {
                                           Status->set_text(Ok ? "已删除。" : "");
                                           Clear->set_sensitive(true);
                                         }
                                         if (!Ok && !Alive.expired()) Control.ShowError("无法删除浏览数据。");
                                       });
  });
  Window->present();
}

}  // namespace vorlane::browser
