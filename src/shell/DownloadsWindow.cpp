#include "shell/DownloadsWindow.h"

#include "framework/LiteralLabel.h"

#include <gio/gio.h>
#include <giomm/appinfo.h>
#include <giomm/file.h>
#include <gtkmm/label.h>
#include <gtkmm/progressbar.h>

#include <filesystem>

namespace vorlane::shell {

using browser::DownloadState;

TDownloadsWindow::TDownloadsWindow(Gtk::Window& Parent, browser::TDownloadList& List) : FList(List) {
  set_title("下载");
  set_transient_for(Parent);
  set_default_size(520, 360);
  set_hide_on_close(true);
  signal_close_request().connect([this] { FClosedByUser = true; return false; }, false);
  FRows.set_selection_mode(Gtk::SelectionMode::NONE);
  FScroll.set_child(FRows);
  FScroll.set_vexpand(true);
  FRoot.set_margin(8);
  FRoot.append(FScroll);
  FClear.set_halign(Gtk::Align::END);
  FClear.signal_clicked().connect([this] { FList.ClearFinished(); });
  FRoot.append(FClear);
  set_child(FRoot);
  Refresh();
}

std::vector<TDownloadsWindow::TRowText> TDownloadsWindow::Rows() const { return FTexts; }

void TDownloadsWindow::Refresh() {
  while (Gtk::Widget* Row = FRows.get_row_at_index(0)) FRows.remove(*Row);
  FTexts.clear();
  for (const auto& Item : FList.Items()) FRows.append(*MakeRow(Item));
}

Gtk::Widget* TDownloadsWindow::MakeRow(const browser::TDownloadItem& Item) {
  const bool Missing = Item.State == DownloadState::Completed && !std::filesystem::exists(Item.Path);
  TRowText Text{Item.Name.empty() ? Item.Url : Item.Name,
                browser::ProgressText(Item) + "  " + browser::SourceText(Item), browser::StateText(Item, Missing), {}};
  auto* Row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
  Row->set_margin(4);
  auto* Name = Gtk::make_managed<Gtk::Label>(framework::LiteralLabel(Text.Name));
  Name->set_xalign(0);
  Name->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
  Row->append(*Name);
  if (Item.State == DownloadState::Running) {
    auto* Bar = Gtk::make_managed<Gtk::ProgressBar>();
    if (Item.Total > 0) Bar->set_fraction(double(Item.Received) / double(Item.Total));
    else Bar->pulse();
    Row->append(*Bar);
  }
  auto* Detail = Gtk::make_managed<Gtk::Label>(framework::LiteralLabel(Text.Detail + "  " + Text.State));
  Detail->set_xalign(0);
  Detail->add_css_class("dim-label");
  Row->append(*Detail);
  auto* Buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  const int Id = Item.Id;
  const std::string Path = Item.Path;
  auto Add = [&](const char* Caption, std::function<void()> Action) {
    auto* Button = Gtk::make_managed<Gtk::Button>(Caption);
    Button->signal_clicked().connect(std::move(Action));
    Buttons->append(*Button);
    Text.Buttons.push_back(Caption);
  };
  switch (Item.State) {
    case DownloadState::Running:
      Add("取消", [this, Id] { FList.Cancel(Id); });
      break;
    case DownloadState::Completed:
      if (!Missing) {
        Add("打开", [this, Path] { Open(Path, false); });
        Add("打开所在文件夹", [this, Path] { Open(Path, true); });
      }
      break;
    case DownloadState::Failed:
      Add("重试", [this, Id] { FList.Retry(Id); });
      break;
    case DownloadState::Cancelled:
      break;
  }
  if (Item.State != DownloadState::Running) Add("从列表中删除", [this, Id] { FList.Remove(Id); });
  Row->append(*Buttons);
  FTexts.push_back(std::move(Text));
  return Row;
}

bool TDownloadsWindow::Press(int Row, const std::string& Caption) {
  Gtk::ListBoxRow* ListRow = FRows.get_row_at_index(Row);
  if (!ListRow) return false;
  auto* Box = dynamic_cast<Gtk::Box*>(ListRow->get_child());
  auto* Buttons = Box ? dynamic_cast<Gtk::Box*>(Box->get_last_child()) : nullptr;
  for (Gtk::Widget* W = Buttons ? Buttons->get_first_child() : nullptr; W; W = W->get_next_sibling())
    if (auto* Button = dynamic_cast<Gtk::Button*>(W); Button && std::string(Button->get_label()) == Caption) {
      g_signal_emit_by_name(Button->gobj(), "clicked");
      return true;
    }
  return false;
}

namespace {

void LaunchDefault(const std::string& Path) {
  // The desktop's own handler: we never run a downloaded file ourselves.
  try {
    Gio::AppInfo::launch_default_for_uri(Gio::File::create_for_path(Path)->get_uri());
  } catch (const Glib::Error&) {
    // No handler for the type: nothing to open it with, as the file manager would say.
  }
}

// The file manager shows the folder with the file selected (org.freedesktop.FileManager1);
// without one on the session bus, the folder opens with its default handler.
void ShowInFolder(const std::string& Path) {
  struct Request {
    std::string Path;
  };
  g_bus_get(G_BUS_TYPE_SESSION, nullptr, [](GObject*, GAsyncResult* Result, gpointer Data) {
    std::unique_ptr<Request> R(static_cast<Request*>(Data));
    GDBusConnection* Bus = g_bus_get_finish(Result, nullptr);
    const std::string Folder = std::filesystem::path(R->Path).parent_path().string();
    if (!Bus) return LaunchDefault(Folder);
    gchar* Uri = g_filename_to_uri(R->Path.c_str(), nullptr, nullptr);
    const gchar* Uris[] = {Uri, nullptr};
    g_dbus_connection_call(Bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                           "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", Uris, ""), nullptr,
                           G_DBUS_CALL_FLAGS_NONE, 5000, nullptr,
                           [](GObject* Source, GAsyncResult* Done, gpointer Folder) {
                             std::unique_ptr<std::string> Fallback(static_cast<std::string*>(Folder));
                             GVariant* Reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(Source), Done, nullptr);
                             if (Reply) g_variant_unref(Reply);
                             else LaunchDefault(*Fallback);
                           },
                           new std::string(Folder));
    g_free(Uri);
    g_object_unref(Bus);
  }, new Request{Path});
}

}  // namespace

void TDownloadsWindow::Open(const std::string& Path, bool Folder) {
  if (Folder) ShowInFolder(Path);
  else LaunchDefault(Path);
}

}  // namespace vorlane::shell
