// Page commands that write files or hand the page to another program: save, mail the
// address or the page, desktop shortcut.
#include "browser/BrowserControl.h"

#include "browser/PageFileNames.h"
#include "browser/PageWaits.h"
#include "browser/PageWindows.h"
#include "mail/SendMail.h"
#include "platform/AsyncFile.h"
#include "platform/Dialogs.h"
#include "platform/MailtoUri.h"
#include "platform/ShellFolders.h"

#include <gio/gio.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vorlane::browser {

namespace fs = std::filesystem;
using platform::MessageButtons;
using platform::MessageKind;

namespace {

bool IsMhtml(const std::string& Path) {
  std::string Ext = fs::path(Path).extension().string();
  for (char& C : Ext) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Ext == ".mht" || Ext == ".mhtml";
}

void LaunchDefault(const std::string& Uri, std::weak_ptr<int> Alive, TBrowserControl* Control) {
  struct Launch {
    std::weak_ptr<int> Alive;
    TBrowserControl* Control;
  };
  g_app_info_launch_default_for_uri_async(
      Uri.c_str(), nullptr, nullptr,
      [](GObject*, GAsyncResult* Result, gpointer Data) {
        std::unique_ptr<Launch> L(static_cast<Launch*>(Data));
        GError* Error = nullptr;
        if (g_app_info_launch_default_for_uri_finish(Result, &Error)) return;
        std::string Text = Error ? Error->message : "";
        if (Error) g_error_free(Error);
        if (!L->Alive.expired()) L->Control->ShowError("无法打开邮件程序：" + Text);
      },
      new Launch{std::move(Alive), Control});
}

// A fresh private folder for one mailed page; such folders older than a day go first.
std::optional<fs::path> FreshMailFolder() {
  fs::path Root = platform::ShellFolders::CacheHome() / "vorlane" / "mail";
  std::error_code Error;
  fs::create_directories(Root, Error);
  auto Now = fs::file_time_type::clock::now();
  for (const auto& Entry : fs::directory_iterator(Root, Error)) {
    auto Time = Entry.last_write_time(Error);
    if (!Error && Now - Time > std::chrono::hours(24)) fs::remove_all(Entry.path(), Error);
  }
  std::string Template = (Root / "page-XXXXXX").string();
  if (!mkdtemp(Template.data())) return std::nullopt;  // mode 0700
  return fs::path(Template);
}

// A folder we made, removed when the last owner goes unless kept.
class TemporaryFolder {
public:
  explicit TemporaryFolder(fs::path Path) : FPath(std::move(Path)) {}
  ~TemporaryFolder() { Remove(); }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  void Keep() { FPath.clear(); }
  void Remove() {
    std::error_code Ignored;
    if (!FPath.empty()) fs::remove_all(FPath, Ignored);
    FPath.clear();
  }

private:
  fs::path FPath;
};

std::string ShortcutText(const std::string& Url) {
  std::string Clean;
  for (char C : Url)
    if (C != '\r' && C != '\n') Clean += C;  // one line, whatever the address holds
  return "[InternetShortcut]\r\nURL=" + Clean + "\r\nIconIndex=0\r\nShowCommand=7\r\n";
}

std::optional<std::string> ReadSmallFile(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) return std::nullopt;
  std::ostringstream Out;
  Out << In.rdbuf();
  return Out.str();
}

}  // namespace

void TBrowserControl::MailPageAddress() {
  platform::MailtoFields Mail;
  Mail.Subject = "Check this site";
  Mail.Body = "I found " + FEngine->LocationName() + "    In: " + FEngine->LocationURL() + "   Please Have A look";
  std::string Uri = platform::BuildMailtoUri(Mail);
  if (OpenUri) OpenUri(Uri);
  else LaunchDefault(Uri, FLifeToken, this);
}

void TBrowserControl::SaveDocumentToFile(const std::string& FileName,
                                         std::function<void(std::optional<std::string>)> Done) {
  std::weak_ptr<int> Alive = FLifeToken;
  auto Dropped = [Alive, Done](WaitDropped) {
    if (!Alive.expired() && Done) Done(std::string(PageNotLoadedText));
  };
  WhenDocumentComplete(
      [this, Alive, FileName, Done] {
        if (Alive.expired()) return;
        if (!FEngine->HasDocument()) {
          if (Done) Done(std::string("无法保存网页：没有可保存的网页。"));
          return;
        }
        FEngine->SaveDocument(FileName,
                              IsMhtml(FileName) ? WebEngine::SaveMode::Mhtml : WebEngine::SaveMode::HtmlOnly,
                              [Alive, Done](std::optional<std::string> Error) {
                                if (!Alive.expired() && Done)
                                  Done(Error ? std::optional<std::string>("无法保存网页：" + *Error) : std::nullopt);
                              });
      },
      Dropped);
}

void AskAndSavePage(TBrowserControl& Control) {
  if (!Control.Dialogs) return;
  std::weak_ptr<int> Alive = Control.LifeToken();
  std::string Start = (platform::ShellFolders::Home() / MailFileName(Control.Engine().LocationName())).string();
  Control.Dialogs->SaveFile(
      "保存网页", Start,
      platform::ParseFileFilter("网页，全部(*.mht)|*.mht;*.mhtml|网页，仅HTML(*.htm;*.html)|*.htm;*.html"),
      [&Control, Alive](std::optional<std::string> Path) {
        if (Alive.expired() || !Path || Path->empty()) return;
        Control.SaveDocumentToFile(*Path, [&Control, Alive](std::optional<std::string> Error) {
          if (Error && !Alive.expired()) Control.ShowError(*Error);
        });
      });
}

void TBrowserControl::MailPageFile(const std::string& Title) {
  auto Folder = FreshMailFolder();
  if (!Folder) return ShowError("无法创建保存网页的临时文件夹。");
  std::string Path = (*Folder / MailFileName(Title)).string();
  std::weak_ptr<int> Alive = FLifeToken;
  // The folder goes with the last copy of the step unless the mail took the page: so also
  // when the page closes while the save waits.
  auto Made = std::make_shared<TemporaryFolder>(*Folder);
  SaveDocumentToFile(Path, [this, Alive, Path, Made](std::optional<std::string> Error) {
    if (Error) Made->Remove();
    if (Alive.expired()) return;
    if (Error) return ShowError(*Error);
    Made->Keep();
    auto Mail = std::make_shared<mail::TMAPIMail>();
    Mail->Subject = "My dear friend, I am sending you this web page please have a look.";
    Mail->Body = "Hi,\r\n\r\nwith best regards";
    Mail->Attachments = {Path};
    Mail->EditDialog = true;
    try {
      Mail->Send([this, Alive, Mail](bool Sent) {
        uint32_t Code = Mail->LastResult;
        if (Sent || Alive.expired() || Code == platform::mapi::MAPI_USER_ABORT) return;
        ShowError("MAPI Error " + std::to_string(Code) + ": " + mail::TMAPIMail::MapiErrorText(Code));
      });
    } catch (const mail::MapiError& E) {
      ShowError(E.what());
    }
  });
}

void TBrowserControl::CreateDesktopShortcut() {
  fs::path Desktop = platform::ShellFolders::Path(platform::SpecialFolder::Desktop);
  std::error_code Error;
  fs::create_directories(Desktop, Error);
  std::string Url = FEngine->LocationURL();
  std::string Text = ShortcutText(Url);
  std::string Name = ShortcutFileName(FEngine->LocationName(), Url);
  fs::path Path = Desktop / Name;
  // A different file of that name stays: the new shortcut becomes "name (2).url" and so on.
  std::string Stem = Name.substr(0, Name.size() - 4);
  for (int N = 2; fs::exists(Path, Error) && ReadSmallFile(Path) != Text; ++N)
    Path = Desktop / FitFileName(Stem, " (" + std::to_string(N) + ").url");
  std::weak_ptr<int> Alive = FLifeToken;
  platform::WriteFileAsync(Path.string(), Text, [this, Alive](std::optional<std::string> Failure) {
    if (Failure && !Alive.expired()) ShowError("无法在桌面上创建快捷方式：" + *Failure);
  });
}

}  // namespace vorlane::browser
