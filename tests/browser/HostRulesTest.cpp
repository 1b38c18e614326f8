#include "browser/HostRules.h"
#include "browser/PageFileNames.h"
#include "browser/SourceText.h"
#include "platform/FloatingPoint.h"

#include <fenv.h>
#include <gdk/gdkkeysyms.h>
#include <glib.h>
#include <gtest/gtest.h>

namespace vorlane::browser {
namespace {

TEST(KeyOfferedToEngine, EditingKeysStayWithThePage) {
  const std::pair<unsigned, bool> Cases[] = {
      {GDK_KEY_BackSpace, false}, {GDK_KEY_Return, false}, {GDK_KEY_KP_Enter, false},
      {GDK_KEY_Left, false},      {GDK_KEY_Right, false},  {GDK_KEY_KP_Left, true},
      {GDK_KEY_KP_Right, true},   {GDK_KEY_Up, true},      {GDK_KEY_n, true}};
  for (auto [Key, Offered] : Cases) EXPECT_EQ(KeyOfferedToEngine(Key), Offered) << Key;
}

std::vector<uint8_t> List(std::initializer_list<std::string> Items) {
  std::vector<uint8_t> Out;
  for (const std::string& I : Items) {
    size_t N = I.size() + 2;
    Out.push_back(N & 0xFF);
    Out.push_back(N >> 8);
    for (char C : I) Out.push_back(static_cast<uint8_t>(C));
  }
  Out.insert(Out.end(), {0, 0});
  return Out;
}

TEST(ItemIdListPath, ItemsArePathParts) {
  auto Path = [](const std::vector<uint8_t>& L) { return ItemIdListPath(L.data(), L.size()); };
  EXPECT_EQ(Path(List({"/home", "u", "a.htm"})), "/home/u/a.htm");
  EXPECT_EQ(Path(List({"/tmp/x.html"})), "/tmp/x.html");
  EXPECT_EQ(Path(List({})), std::nullopt);
  auto Cut = List({"/home", "u"});
  Cut.pop_back();  // no terminator
  EXPECT_EQ(Path(Cut), std::nullopt);
  EXPECT_EQ(ItemIdListPath(nullptr, 0), std::nullopt);
}

TEST(PageFileNames, ShortcutNames) {
  const std::tuple<std::string, std::string, std::string> Cases[] = {
      {"A/B: C?", "http://h.example/", "A-B- C-.url"},
      {"中文标题", "http://h.example/", "中文标题.url"},
      {"..", "http://h.example/x", "h.example.url"},
      {"..hidden\tname\x7f", "http://h.example/", "hiddenname.url"},
      {"", "about:blank", "shortcut.url"}};
  for (auto& [Title, Url, Name] : Cases) EXPECT_EQ(ShortcutFileName(Title, Url), Name) << Title;

  std::string Long;
  for (int I = 0; I < 100; ++I) Long += "中";  // 300 bytes
  std::string Name = ShortcutFileName(Long, "http://h/");
  EXPECT_LE(Name.size(), 255u);
  EXPECT_TRUE(g_utf8_validate(Name.c_str(), -1, nullptr));
  EXPECT_EQ(Name, FitFileName(Long, ".url"));
  EXPECT_EQ(Name.substr(Name.size() - 4), ".url");
}

TEST(PageFileNames, MailFileNames) {
  const std::pair<std::string, std::string> Cases[] = {
      {"../../etc/passwd", "-..-etc-passwd.mht"}, {"", "page.mht"}, {".bashrc", "bashrc.mht"},
      {"a:b?", "a-b-.mht"}, {"\n\r", "page.mht"}, {"bad\xff", "bad-.mht"},
      // The mail program reads the path inside '…' between commas: neither may pass.
      {"x',to='evil@example.com',subject='Invoice", "x--to--evil-example.com--subject--Invoice.mht"},
      {"It's great, really", "It-s great- really.mht"}, {"a%41\\b;$(c)`d`", "a-41-b--(c)-d-.mht"},
      {"中文\u3000标题  (第2页) ", "中文 标题 (第2页).mht"}, {"กิน_ข้าว-1", "กิน_ข้าว-1.mht"}};
  for (auto& [Title, Name] : Cases) EXPECT_EQ(MailFileName(Title), Name) << Title;
}

TEST(DecodeSourceText, CharsetThenUtf8ThenGb18030) {
  const std::string Gbk = "\xd6\xd0\xce\xc4";  // 中文
  EXPECT_EQ(DecodeSourceText(Gbk, "gbk"), "中文");
  EXPECT_EQ(DecodeSourceText(Gbk, ""), "中文");
  EXPECT_EQ(DecodeSourceText("中文", ""), "中文");
  EXPECT_EQ(DecodeSourceText("中文", "no-such-charset"), "中文");
  // NUL, which GTK refuses, shows as "␀"; it does not turn a UTF-8 page into GB18030.
  using namespace std::string_literals;
  EXPECT_EQ(DecodeSourceText("中\0文"s, ""), "中␀文");
  EXPECT_EQ(DecodeSourceText("\xd6\xd0\0\xce\xc4\0"s, ""), "中␀文␀");
  EXPECT_EQ(DecodeSourceText("a\0\0\0"s, "utf-16le"), "a␀");
}

TEST(FloatingPoint, MaskThenRestoreGivesTheStartupState) {
  platform::MaskFloatingPointExceptions();
  EXPECT_EQ(fegetexcept(), 0);
  platform::RestoreStartupFloatingPoint();
  EXPECT_EQ(fegetexcept(), platform::StartupFloatingPointTraps());
}

}  // namespace
}  // namespace vorlane::browser
