#include "mail/SendMail.h"

#include "platform/Registry.h"
#include "support/MainLoop.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <unistd.h>
#include <sstream>

namespace vorlane::mail {
namespace {

namespace fs = std::filesystem;
namespace mapi = platform::mapi;
using test::PumpUntil;

TEST(MapiErrorText, KnownAndUnknownCodes) {
  const std::pair<uint32_t, const char*> Cases[] = {
      {1, "User cancelled request"}, {3, "Logon failure"}, {18, "Text too large."},
      {26, "Not supported"}, {0, "Unknown Error Code: 0"}, {7, "Unknown Error Code: 7"},
      {27, "Unknown Error Code: 27"}};
  for (auto [Code, Text] : Cases) EXPECT_EQ(TMAPIMail::MapiErrorText(Code), Text) << Code;
}

TEST(RecipientClass, PrefixesInAnyCase) {
  const std::tuple<const char*, uint32_t, const char*> Cases[] = {
      {"cc: Ann", mapi::MAPI_CC, " Ann"}, {"BCC:bob@x", mapi::MAPI_BCC, "bob@x"},
      {"Bcc bob", mapi::MAPI_TO, "Bcc bob"}, {"bcc:", mapi::MAPI_BCC, ""},
      {"c", mapi::MAPI_TO, "c"}, {"ann@x", mapi::MAPI_TO, "ann@x"}};
  for (auto [Line, Class, Rest] : Cases) {
    auto [C, R] = TMAPIMail::RecipientClass(Line);
    EXPECT_EQ(C, Class) << Line;
    EXPECT_EQ(R, Rest) << Line;
  }
}

TEST(TMAPIMail, MessageNamesAttachmentsAndOriginator) {
  TMAPIMail Mail;
  Mail.Attachments = {"/tmp/a/one.mht", "/tmp/b/two.mht"};
  Mail.AttachmentNames = {"First"};
  Mail.SenderName = "Me";
  auto M = Mail.BuildMessage();
  ASSERT_EQ(M.Files.size(), 2u);
  EXPECT_EQ(M.Files[0].FileName, "First");
  EXPECT_EQ(M.Files[1].FileName, "two.mht");
  EXPECT_FALSE(M.Originator);  // a name without an address gives none
  EXPECT_TRUE(M.Recips.empty());
}

// xdg-email replaced by a script on PATH that writes its arguments (NUL-separated) to a
// file and, when told, waits for a flag file before it ends.
class FakeMailProgram : public ::testing::Test {
protected:
  FakeMailProgram() {
    Dir = fs::temp_directory_path() / ("fake-mail-" + std::to_string(::getpid()));
    fs::create_directories(Dir / "bin");
    OldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("FAKE_MAIL_OUT", (Dir / "args").c_str(), 1);
    setenv("FAKE_MAIL_FLAG", (Dir / "flag").c_str(), 1);
  }
  ~FakeMailProgram() override {
    setenv("PATH", OldPath.c_str(), 1);
    fs::remove_all(Dir);
  }
  void Install(int Exit = 0, bool Wait = false) {
    std::ofstream(Dir / "bin" / "xdg-email")
        << "#!/bin/sh\n"
        << (Wait ? "while [ ! -e \"$FAKE_MAIL_FLAG\" ]; do sleep 0.05; done\n" : "")
        << "printf '%s\\0' \"$0\" \"$@\" > \"$FAKE_MAIL_OUT.part\"\n"
        << "echo $$ > \"$FAKE_MAIL_OUT.pid\"\nmv \"$FAKE_MAIL_OUT.part\" \"$FAKE_MAIL_OUT\"\nexit " << Exit << "\n";
    fs::permissions(Dir / "bin" / "xdg-email", fs::perms::owner_all);
    setenv("PATH", ((Dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  }
  void Remove() { setenv("PATH", (Dir / "bin").c_str(), 1); }
  // The last program started has ended and was reaped.
  bool ProgramGone() const {
    std::ifstream In(Dir / "args.pid");
    pid_t Pid = 0;
    return In >> Pid && Pid > 0 && ::kill(Pid, 0) != 0;
  }
  std::vector<std::string> Arguments() const {
    std::ifstream In(Dir / "args", std::ios::binary);
    std::vector<std::string> Args;
    std::string A;
    while (std::getline(In, A, '\0')) Args.push_back(A);
    return Args;
  }

  fs::path Dir;
  std::string OldPath;
};

TEST_F(FakeMailProgram, HandsTheMessageOverAsOneArgumentVector) {
  Install();
  std::ofstream(Dir / "page.mht") << "x";
  TMAPIMail Mail;
  Mail.Subject = "A&B?x=1#y&attach=~/.ssh/id_rsa";
  Mail.Body = "Hi,\r\n\r\nwith best regards";
  Mail.Recipients = {"ann@x.org", "cc:--help@y.org", "BCC:bob@z.org"};
  Mail.Attachments = {(Dir / "page.mht").string()};
  std::optional<bool> Sent;
  Mail.Send([&](bool Ok) { Sent = Ok; });
  ASSERT_TRUE(PumpUntil([&] { return Sent.has_value(); }));
  EXPECT_TRUE(*Sent);
  EXPECT_EQ(Mail.LastResult, 0u);
  std::vector<std::string> Expected{
      (Dir / "bin" / "xdg-email").string(), "--utf8", "--attach", (Dir / "page.mht").string(),
      "mailto:ann@x.org?cc=--help@y.org&bcc=bob@z.org"
      "&subject=A%26B%3Fx%3D1%23y%26attach%3D~%2F.ssh%2Fid_rsa"
      "&body=Hi%2C%0D%0A%0D%0Awith%20best%20regards"};
  EXPECT_EQ(Arguments(), Expected);
}

TEST_F(FakeMailProgram, WaitsForTheMailProgramWithoutBlocking) {
  Install(/*Exit=*/4, /*Wait=*/true);
  std::optional<bool> Sent;
  {
    TMAPIMail Mail;
    Mail.Send([&](bool Ok) { Sent = Ok; });
    EXPECT_FALSE(Sent);  // Send returned while the program still runs
    std::ofstream(Dir / "flag") << "";
    ASSERT_TRUE(PumpUntil([&] { return Sent.has_value(); }));
    EXPECT_FALSE(*Sent);
    EXPECT_EQ(Mail.LastResult, mapi::MAPI_E_FAILURE);
  }
}

// xdg-email waits for a mail program it had to start until the user quits it: only an end
// within the grace period answers the send.
TEST_F(FakeMailProgram, OnlyAnEndWithinTheGracePeriodAnswers) {
  const struct {
    int Exit;
    bool EndsFirst;
    std::optional<bool> Sent;
    uint32_t Result;
  } Cases[] = {{4, true, false, mapi::MAPI_E_FAILURE}, {0, true, true, 0}, {4, false, true, 0}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Exit << (C.EndsFirst ? " first" : " later"));
    fs::remove(Dir / "flag");
    fs::remove(Dir / "args");
    fs::remove(Dir / "args.pid");
    Install(C.Exit, /*Wait=*/true);
    TMAPIMail Mail;
    std::function<void()> Grace;
    Mail.Timer = [&](std::chrono::milliseconds After, std::function<void()> Fire) {
      EXPECT_EQ(After, std::chrono::seconds(10));
      Grace = std::move(Fire);
    };
    int Answers = 0;
    std::optional<bool> Sent;
    Mail.Send([&](bool Ok) { Sent = Ok, ++Answers; });
    ASSERT_TRUE(Grace);
    if (!C.EndsFirst) Grace();
    std::ofstream(Dir / "flag") << "";
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(Dir / "args") && ProgramGone(); }));
    ASSERT_TRUE(PumpUntil([&] { return Sent.has_value(); }));
    if (C.EndsFirst) Grace();
    test::PumpPending();
    EXPECT_EQ(Sent, C.Sent);
    EXPECT_EQ(Mail.LastResult, C.Result);
    EXPECT_EQ(Answers, 1);
  }
}

TEST_F(FakeMailProgram, ARecipientThatDoesNotResolveFailsTheSend) {
  Install();
  TMAPIMail Mail;
  Mail.ResolveNames = true;
  Mail.Recipients = {"ann@x.org", "cc:Ann Lee"};
  std::optional<bool> Sent;
  Mail.Send([&](bool Ok) { Sent = Ok; });
  ASSERT_TRUE(PumpUntil([&] { return Sent.has_value(); }));
  EXPECT_FALSE(*Sent);
  EXPECT_EQ(Mail.LastResult, mapi::MAPI_E_UNKNOWN_RECIPIENT);
  EXPECT_FALSE(fs::exists(Dir / "args"));  // nothing went to the mail program
}

TEST_F(FakeMailProgram, MissingProgramIsNotSupported) {
  Remove();
  TMAPIMail Mail;
  std::optional<bool> Sent;
  Mail.Send([&](bool Ok) { Sent = Ok; });
  ASSERT_TRUE(PumpUntil([&] { return Sent.has_value(); }));
  EXPECT_FALSE(*Sent);
  EXPECT_EQ(Mail.LastResult, mapi::MAPI_E_NOT_SUPPORTED);

  // With a default profile the logon fails first, and says so.
  platform::Registry().WriteString(platform::RootKey::CurrentUser,
                                   "Software\\Microsoft\\Windows Messaging Subsystem\\Profiles",
                                   "DefaultProfile", "Outlook");
  std::string Profile;
  ASSERT_TRUE(Mail.GetDefaultProfile(Profile));
  EXPECT_EQ(Profile, "Outlook");
  try {
    Mail.Send();
    ADD_FAILURE() << "no error";
  } catch (const MapiError& E) {
    EXPECT_STREQ(E.what(), "MAPI Error 26: Not supported");
  }
}

}  // namespace
}  // namespace vorlane::mail
