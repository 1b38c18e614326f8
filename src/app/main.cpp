// Vorlane: one main window with the start page; the main loop runs until it closes or
// the user quits. The open pages are kept on disk while it runs: after a crash or a kill
// the next start opens them again (after a quit only when the user's option says so).
//
// "vorlane ADDRESS..." opens the addresses instead of the start page; when an instance
// already runs on this display, they go to it as new pages and this process ends at once.
//
// Two environment switches serve headless runs and benchmarks:
//   VORLANE_REPORT_LOADED=1   print "vorlane: start page loaded" once the first page loaded,
//                             then "vorlane: page loaded ADDRESS" for every later one, and
//                             what the running-instance server reports
//   VORLANE_SNAPSHOT=FILE     then save the window as a PNG and quit (exit 1 if that fails)
// The tests' build of the program (never installed) has a third:
//   VORLANE_COMMANDS=1        read commands on standard input (app/HeadlessCommands.h)
#ifdef VORLANE_HEADLESS_COMMANDS
#include "app/HeadlessCommands.h"
#endif
#include "app/Snapshot.h"
#include "browser/DesktopAddress.h"
#include "engine/DownloadDriver.h"
#include "engine/ProductSiteScheme.h"
#include "engine/WebKitEngine.h"
#include "favorites/FavoritesTransfer.h"
#include "favorites/IntShCut.h"
#include "framework/AppIcons.h"
#include "browser/DownloadRecorder.h"
#include "platform/DownloadFiles.h"
#include "platform/DownloadRecords.h"
#include "platform/DurableFile.h"
#include "platform/HistoryStore.h"
#include "platform/KeptFiles.h"
#include "platform/LeftoverProcesses.h"
#include "platform/ProfileLock.h"
#include "platform/Registry.h"
#include "platform/SaveTrouble.h"
#include "shell/U_FrmMain_Favorites.h"
#include "platform/RendererChoice.h"
#include "platform/ShellFolders.h"
#include "platform/SingleInstance.h"
#include "shell/SessionKeeper.h"
#include "shell/U_FrmMain.h"
#include "shell/U_UserConfig.h"

#include <glibmm/main.h>
#include <gtkmm/init.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using vorlane::shell::TFrmMain;
using vorlane::shell::TFrmWeb;

struct StartupWatch {
  bool Report = false;
  std::string SnapshotPath;
  bool Done = false;
  int ExitCode = 0;
};

// Text from outside, made safe for a terminal.
std::string Printable(std::string Text) {
  for (char& C : Text)
    if (static_cast<unsigned char>(C) < 0x20 || C == 0x7F) C = '?';
  return Text;
}

// The addresses of the command line; the unusable ones are reported and left out.
std::vector<std::string> AddressesOf(int argc, char** argv) {
  std::unique_ptr<gchar, decltype(&g_free)> Here(g_get_current_dir(), &g_free);
  std::vector<std::string> Urls;
  for (int I = 1; I < argc; ++I) {
    if (auto Url = vorlane::browser::DesktopAddress(argv[I], Here.get()))
      Urls.push_back(*Url);
    else
      std::fprintf(stderr, "vorlane: not an address, skipped: \"%s\"\n", Printable(argv[I]).c_str());
  }
  return Urls;
}

void WatchFirstLoad(TFrmMain& Main, const Glib::RefPtr<Glib::MainLoop>& Loop, StartupWatch& Watch) {
  Main.OnPageComplete = [&Main, Loop, &Watch](TFrmWeb* Page) {
    if (Watch.Done) {
      if (Watch.Report) {
        std::printf("vorlane: page loaded %s\n", Printable(Page->GetUrl()).c_str());
        std::fflush(stdout);
      }
      return;
    }
    Watch.Done = true;
    if (Watch.Report) {
      std::puts("vorlane: start page loaded");
      std::fflush(stdout);
    }
    if (Watch.SnapshotPath.empty()) return;
    // Let the page's first frames and its title reach the window before taking the picture.
    auto Frames = std::make_shared<int>(0);
    auto Picture = std::make_shared<vorlane::app::WindowSnapshot>(Main);
    Main.add_tick_callback([&Main, Loop, &Watch, Frames, Picture](const Glib::RefPtr<Gdk::FrameClock>&) {
      if (++*Frames < 30) {
        Main.queue_draw();
        return true;
      }
      if (!Picture->SaveAsPng(Watch.SnapshotPath)) Watch.ExitCode = 1;
      Loop->quit();
      return false;
    });
  };
}

// The start page's "收藏夹" box: the top level of the Favorites folder as the menu lists
// it (folders first), each favorite with its address.
std::vector<vorlane::engine::SiteLink> StartPageFavorites(const vorlane::favorites::TFavoritesMenuModel& Model) {
  std::vector<vorlane::engine::SiteLink> Links;
  for (const auto& Entry : Model.ListFolder(Model.FavoritesFolder())) {
    if (Links.size() == vorlane::engine::StartPageFavoriteCount) break;
    if (Entry.Type == vorlane::favorites::TMenuType::mtItem)
      Links.push_back({Entry.Caption, vorlane::favorites::ReadShortcutUrl(Entry.Hint, vorlane::favorites::TResolveUrl::IniFile)});
    else
      Links.push_back({Entry.Caption, {}, true});
  }
  return Links;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> Addresses = AddressesOf(argc, argv);
  if (argc > 1 && Addresses.empty()) return 1;  // nothing usable to open
  // Before anything else, so that handing over costs no start-up of our own.
  const auto Socket = vorlane::platform::InstanceSocketPath();
  if (!Addresses.empty() && !Socket.empty()) {
    const std::string StartupId = vorlane::platform::StartupIdFromEnvironment();
    auto HandOff = vorlane::platform::HandToRunningInstance(Socket, {Addresses, StartupId});
    if (HandOff == vorlane::platform::THandOff::Delivered) {
      // Never a second browser beside a running one: what one request cannot carry is reported.
      const size_t Handed = vorlane::platform::AddressesThatFit(Addresses, StartupId);
      if (Handed == Addresses.size()) return 0;
      std::fprintf(stderr, "vorlane: the first %zu addresses were handed to the running instance; "
                   "%zu more were not (at most %zu addresses of up to %zu bytes, %zu bytes in all, at once)\n",
                   Handed, Addresses.size() - Handed, vorlane::platform::MaxHandedAddresses,
                   vorlane::platform::MaxHandedAddress, vorlane::platform::MaxOpenRequest);
      return 1;
    }
    if (HandOff == vorlane::platform::THandOff::NoAnswer)
      std::fprintf(stderr, "vorlane: the running instance does not answer; starting a new one\n");
  }
  const auto Data = vorlane::platform::ShellFolders::DataHome() / "vorlane";
  // Held for the whole run: a run started beside this one leaves this one's work alone.
  const vorlane::platform::TProfileLock ProfileLock(Data / "lock");
  // A run killed a moment ago leaves its network process ending, the cookie file still
  // open: this run's would find it locked and lose the logins. It is let go first.
  const auto Leftovers = vorlane::platform::LeftoverProcessesHolding(Data / "cookies.sqlite", "WebKitNetwork", "vorlane");
  if (!vorlane::platform::WaitForProcessesToEnd(Leftovers, std::chrono::seconds(5)))
    std::fprintf(stderr, "vorlane: the network process of an earlier run still holds the cookie file\n");
  // Files that cannot be read are set aside before anything opens them.
  std::vector<vorlane::platform::TResetData> Reset;
  // What a kill in the middle of a save left beside the registry file (the session's go when it is read).
  vorlane::platform::RemoveStaleTemporaries(vorlane::platform::Registry::DefaultFile(), std::chrono::seconds(60));
  if (auto Aside = vorlane::platform::SetAsideUnreadableRegistry(vorlane::platform::Registry::DefaultFile()))
    Reset.push_back({"设置和输入过的网址", *Aside});
  if (auto Aside = vorlane::platform::SetAsideUnreadableDatabase(Data / "cookies.sqlite"))
    Reset.push_back({"Cookie 和网站登录", *Aside});
  if (auto Aside = vorlane::platform::SetAsideUnreadableDatabase(vorlane::platform::THistoryStore::DefaultPath()))
    Reset.push_back({"历史记录和下载记录", *Aside});
  vorlane::shell::UserConfig();  // the switches exist before any window does
  StartupWatch Watch;
  Watch.Report = std::getenv("VORLANE_REPORT_LOADED") != nullptr;
  if (const char* Path = std::getenv("VORLANE_SNAPSHOT")) Watch.SnapshotPath = Path;

  // A plain GTK main loop: Vorlane keeps one window and talks to no other instance, so
  // it needs no application object (and no session bus, which costs start-up time).
  g_set_prgname("vorlane");
  const bool SoftwareGl = vorlane::platform::OpenGlIsSoftware();
  vorlane::platform::ChooseWindowRenderer(SoftwareGl);
  if (!gtk_init_check()) {
    std::fprintf(stderr, "vorlane: cannot open a display\n");
    return 1;
  }
  Gtk::init_gtkmm_internals();
  vorlane::framework::RegisterAppIcons(Gdk::Display::get_default());
  auto Loop = Glib::MainLoop::create();
  // Whether what the browser keeps could be saved: heard from every writer, told once.
  vorlane::platform::TSaveTrouble SaveTrouble;
  // The history outlives the window that records into it.
  vorlane::platform::THistoryStore History(vorlane::platform::THistoryStore::DefaultPath(),
                                           [] { return std::chrono::system_clock::now(); }, &SaveTrouble);
  vorlane::shell::TProductSite Site;
  auto Main = std::make_unique<TFrmMain>(vorlane::engine::WebKitEngineFactory(Site.Base(), !SoftwareGl), Site);
  Main->SetSaveTrouble(&SaveTrouble);
  Main->SetHistorySink(&History);
  Main->Favorites().HistoryStore = &History;
  vorlane::navigation::THistoryStoreSource HistorySuggestions(History);
  Main->cobAddress.SetHistorySource(&HistorySuggestions);
  // The pages of the last run, read before the window shows (one small file).
  const auto SessionPath = vorlane::platform::ShellFolders::DataHome() / "vorlane" / "session";
  vorlane::platform::TSessionLoad Saved = vorlane::platform::LoadSessionFile(SessionPath);
  auto Start = Saved.Session ? vorlane::platform::DecideSessionStart(*Saved.Session, Main->Options().RestoreLastPages())
                             : vorlane::platform::TSessionStart::Nothing;
  // Pages that brought the browser down again are offered as links, not reopened.
  std::vector<vorlane::engine::SiteLink> Unrestored;
  if (Start == vorlane::platform::TSessionStart::OfferLinks)
    for (auto& Page : Saved.Session->Pages)
      if (vorlane::platform::THistoryStore::IsRecordable(Page.Url)) Unrestored.push_back({Page.Title, Page.Url});
  vorlane::engine::SiteContent SiteData{[&History](size_t Limit) {
    std::vector<vorlane::engine::SiteLink> Links;
    for (auto& Page : History.RecentPages(Limit)) Links.push_back({Page.Title, Page.Url});
    return Links;
  }, [&Unrestored] { return Unrestored; }};
  SiteData.Favorites = [&Main] { return StartPageFavorites(Main->Favorites().FavoritesMenu.Model); };
  vorlane::engine::SetProductSiteContent(std::move(SiteData));
  vorlane::shell::TSessionKeeper Keeper(SessionPath, [&Main] { return Main->SessionSnapshot(); }, SaveTrouble);
  Main->OnPagesChanged = [&Keeper] { Keeper.Changed(); };
  // Any kept file that cannot be saved (a full disk): said once, while the writers go on trying.
  SaveTrouble.SetTell([&Main](const std::string& Text, const std::string& Why) {
    std::fprintf(stderr, "vorlane: %s (%s)\n", Text.c_str(), Why.c_str());
    Glib::signal_idle().connect_once([&Main, Text] {
      if (Main)
        Main->Dialogs()->ShowMessage(vorlane::platform::MessageKind::Warning, TFrmMain::ApplicationTitle, Text);
    });
  });
  Main->OnQuit = [Loop] { Loop->quit(); };
  // Downloads of the whole profile; what still runs at the end is cancelled, its part file removed.
  vorlane::browser::TDownloadList Downloads;
  vorlane::engine::TDownloadDriver DownloadDriver(Downloads, [] { return vorlane::platform::DownloadFolder(); });
  // The list of earlier runs, kept in the history database beside the visits.
  vorlane::platform::TDownloadRecords DownloadRecords(History.Database());
  vorlane::browser::TDownloadRecorder DownloadRecorder(Downloads, DownloadRecords, ProfileLock.Sole());
  Main->OnClearDownloads = [&DownloadRecorder] { DownloadRecorder.ClearAll(); };
  DownloadDriver.ChooseDestination = [&Main](const std::filesystem::path& Proposed, auto Done) {
    Main->ChooseDownloadDestination(Proposed.string(), [Done](std::optional<std::string> Chosen) {
      Done(Chosen ? std::optional<std::filesystem::path>(*Chosen) : std::nullopt);
    });
  };
  Main->SetDownloads(&Downloads);
  if (Watch.Report || !Watch.SnapshotPath.empty()) WatchFirstLoad(*Main, Loop, Watch);
  Main->StartAddresses = Addresses;
  // Later starts with addresses hand them to this window.
  std::unique_ptr<vorlane::platform::TInstanceServer> Instance;
  if (!Socket.empty())
    Instance = vorlane::platform::TInstanceServer::Listen(Socket, [&Main](vorlane::platform::TOpenRequest Request) {
      std::vector<std::string> Usable;
      for (auto& Url : Request.Urls)
        if (auto Checked = vorlane::browser::DesktopAddress(Url, {})) Usable.push_back(*Checked);
      Main->OpenAddresses(Usable, Request.StartupId);
    }, [&Watch](const std::string& Text) {
      std::fprintf(stderr, "vorlane: %s\n", Text.c_str());
      if (Watch.Report) {
        std::printf("vorlane: %s\n", Text.c_str());
        std::fflush(stdout);
      }
    });
#ifdef VORLANE_HEADLESS_COMMANDS
  std::unique_ptr<vorlane::app::THeadlessCommandReader> Commands;
  if (std::getenv("VORLANE_COMMANDS"))
    Commands = std::make_unique<vorlane::app::THeadlessCommandReader>([&Main](const vorlane::app::THeadlessCommand& C) {
      using TKind = vorlane::app::THeadlessCommand::TKind;
      if (C.Kind == TKind::Favorite) {
        const std::string Root = Main->Favorites().FavoritesMenu.Model.FavoritesFolder();
        vorlane::favorites::SaveFavorite(*Main->Dialogs(), Root, Root, C.Name, C.Value, [](bool) {});
      } else if (C.Name == "RestoreLastPages") {
        Main->Options().SetRestoreLastPages(C.Value == "1");
      } else if (C.Name == "ConfirmCloseAll") {
        Main->Options().SetConfirmCloseAll(C.Value == "1");
      }
    });
#endif
  Main->OpenStartPages();
  if (Start == vorlane::platform::TSessionStart::Restore) {
    Main->RestorePages(*Saved.Session);
    Keeper.PagesRestored(Saved.Session->RestoreAttempts);
  }
  const std::optional<std::filesystem::path> HistoryResetAtStart = History.SetAside();
  if (HistoryResetAtStart) Reset.push_back({"历史记录和下载记录", *HistoryResetAtStart});
  if (Saved.SetAside) Reset.push_back({"上次打开的网页", *Saved.SetAside});
  // Said once, in one message, and to the log for whoever looks there.
  if (const std::string Text = vorlane::platform::ResetDataText(Reset); !Text.empty()) {
    std::fprintf(stderr, "vorlane: %s\n", Text.c_str());
    Glib::signal_idle().connect_once([&Main, Text] {
      Main->Dialogs()->ShowMessage(vorlane::platform::MessageKind::Warning, TFrmMain::ApplicationTitle, Text);
    });
  }
  // A history file a later write finds damaged: told once, after the fact.
  History.Database()->OnSetAside([&Main, HistoryResetAtStart](const std::filesystem::path& Aside) {
    if (HistoryResetAtStart == Aside) return;  // already in the message above
    Glib::signal_idle().connect_once([&Main, Aside = Aside.string()] {
      if (Main)
        Main->Dialogs()->ShowMessage(vorlane::platform::MessageKind::Warning, TFrmMain::ApplicationTitle,
                                     "历史记录文件已损坏，已改用新的文件重新记录。损坏的文件已移到：\n" + Aside);
    });
  });
  Main->maximize();
  // Shown once the first request is under way: the engine starts it at high priority.
  Glib::signal_idle().connect_once([&Main] { Main->present(); });
  Loop->run();
  Keeper.SaveAtQuit();
  Main->OnPagesChanged = nullptr;
  DownloadDriver.CancelAll();
  DownloadDriver.ChooseDestination = nullptr;
  Main->SetDownloads(nullptr);
  Main->OnClearDownloads = nullptr;
  Instance.reset();
#ifdef VORLANE_HEADLESS_COMMANDS
  Commands.reset();
#endif
  History.Database()->OnSetAside(nullptr);
  SaveTrouble.SetTell(nullptr);
  Main->SetSaveTrouble(nullptr);
  Main.reset();
  vorlane::engine::SetProductSiteContent({});
  return Watch.ExitCode;
}
