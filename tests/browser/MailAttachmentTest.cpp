// A mailed page's file name against the real xdg-email, which hands Thunderbird the path
// inside -compose "…,attachment='PATH'": a title must neither add fields nor cut the path.
#include "browser/PageFileNames.h"
#include "mail/SendMail.h"
#include "platform/ShellFolders.h"
#include "support/MainLoop.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace vorlane::browser {
namespace {

namespace fs = std::filesystem;

constexpr const char* XdgEmail = "/usr/bin/xdg-email";

// The fields of a -compose argument as Thunderbird reads them: key=value pairs between
// commas, a value that starts with "'" running to the next "'".
std::map<std::string, std::string> ComposeFields(const std::string& S) {
  std::map<std::string, std::string> Fields;
  for (size_t I = 0; I < S.size();) {
    size_t Eq = std::min(S.find('=', I), S.size());
    std::string Key = S.substr(I, Eq - I), Value;
    I = Eq + 1;
    if (I < S.size() && S[I] == '\'') {
      size_t Close = std::min(S.find('\'', I + 1), S.size());
      Value = S.substr(I + 1, Close - I - 1);
      I = Close + 1;
    }
    size_t Comma = std::min(S.find(',', I), S.size());
    Fields[Key] = Value + S.substr(std::min(I, S.size()), Comma - std::min(I, S.size()));
    I = Comma + 1;
  }
  return Fields;
}

TEST(MailAttachment, TitlesReachThunderbirdAsOneWholeAttachment) {
  if (!fs::exists(XdgEmail)) GTEST_SKIP() << "xdg-utils is not installed (make deps)";
  // A fake thunderbird, the desktop's mail handler, that records its arguments.
  fs::path Home = platform::ShellFolders::Home();
  fs::create_directories(Home / "bin");
  fs::create_directories(Home / ".local/share/applications");
  std::ofstream(Home / "bin" / "thunderbird") << "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$HOME/tb.part\"\n"
                                                 "mv \"$HOME/tb.part\" \"$HOME/tb-args\"\n";
  fs::permissions(Home / "bin" / "thunderbird", fs::perms::owner_all);
  std::ofstream(Home / ".local/share/applications/thunderbird.desktop")
      << "[Desktop Entry]\nType=Application\nName=Mail\nExec=thunderbird %u\nMimeType=x-scheme-handler/mailto;\n";
  std::ofstream(Home / ".config/mimeapps.list") << "[Default Applications]\nx-scheme-handler/mailto=thunderbird.desktop\n";
  std::string OldPath = g_getenv("PATH");
  g_setenv("PATH", (Home / "bin").string().append(":/usr/bin:/bin").c_str(), TRUE);
  for (const char* Var : {"XDG_CURRENT_DESKTOP", "MAILER", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
    g_unsetenv(Var);

  for (const char* Title : {"x',to='evil@example.com',subject='Invoice", "It's great, really", "中文 标题 (2)",
                            "a\\x27b%27c"}) {
    SCOPED_TRACE(Title);
    fs::path Page = Home / MailFileName(Title);
    std::ofstream(Page) << "page";
    fs::remove(Home / "tb-args");
    mail::TMAPIMail Mail;
    Mail.Subject = "s";
    Mail.Body = "b";
    Mail.Attachments = {Page.string()};
    std::optional<bool> Sent;
    Mail.Send([&](bool Ok) { Sent = Ok; });
    ASSERT_TRUE(test::PumpUntil([&] { return Sent.has_value() && fs::exists(Home / "tb-args"); }));
    EXPECT_TRUE(*Sent);
    std::ifstream In(Home / "tb-args", std::ios::binary);
    std::vector<std::string> Args;
    for (std::string A; std::getline(In, A, '\0');) Args.push_back(A);
    ASSERT_EQ(Args.size(), 2u);
    EXPECT_EQ(Args[0], "-compose");
    EXPECT_EQ(ComposeFields(Args[1]),
              (std::map<std::string, std::string>{{"subject", "s"}, {"body", "b"}, {"attachment", Page.string()}}))
        << Args[1];
  }
  g_setenv("PATH", OldPath.c_str(), TRUE);
}

}  // namespace
}  // namespace vorlane::browser
