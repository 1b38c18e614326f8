// The command table and the main menu as the user sees them, and what Go does with text.
#include "shell/U_CommandTable.h"
#include "shell/U_FrmAbout.h"
#include "shell/U_PublicUnit.h"

#include <giomm/init.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace vorlane::test {
namespace {

using shell::TGoTarget;

// Every command: category, caption, key, hint, check mark ("-" none, "on", "off", "g1"
// for the sidebar group).
TEST(CommandTable, EveryCommandAsTheUserKnowsIt) {
  struct Row {
    const char *Name, *Category, *Caption, *Shortcut, *Hint, *Check;
  };
  const Row Expected[] = {
      {"Ac_Forward", "查看", "前进", "<Alt>Right", "前进", "-"}, {"Ac_Back", "查看", "后退", "<Alt>Left", "后退", "-"},
      {"Ac_Stop", "查看", "停止", "Escape", "停止", "-"},      {"Ac_Refresh", "查看", "刷新", "F5", "刷新", "-"},
      {"Ac_Blank", "文件", "空白页", "<Control>n", "", "-"},   {"Ac_Go", "文件", "浏览", "", "", "-"},
      {"Ac_CurPage", "文件", "当前页", "", "", "-"},           {"Ac_Favorites", "查看", "收藏夹", "<Control>i", "", "g1"},
      {"Ac_History", "查看", "历史", "<Control>h", "", "g1"},  {"Ac_Property", "文件", "属性", "", "", "-"},
      {"Ac_AllowImage", "选项", "允许下载图片", "", "", "on"}, {"Ac_AllowVideo", "选项", "允许下载视频", "", "", "on"},
      {"Ac_AllowBkSound", "选项", "允许背景音乐", "", "", "on"}, {"Ac_AllowScript", "选项", "允许执行Script", "", "", "on"},
      {"Ac_AllowActivex", "选项", "下载ACTIVEX", "", "", "on"}, {"Ac_AllowJava", "选项", "允许执行JAVA", "", "", "on"},
      {"Ac_About", "帮助", "关于", "F1", "", "-"},              {"Ac_Cut", "编辑", "剪切", "<Control>x", "", "-"},
      {"Ac_Copy", "编辑", "复制", "<Control>c", "", "-"},      {"Ac_Paste", "编辑", "粘贴", "<Control>v", "", "-"},
      {"Ac_SelectAll", "编辑", "全选", "<Control>a", "", "-"}, {"Ac_Search", "编辑", "搜索", "<Control>f", "", "-"},
      {"Ac_Open", "文件", "打开", "<Control>o", "", "-"},      {"Ac_SaveAs", "文件", "另存为...", "<Control>s", "", "-"},
      {"Ac_Print", "文件", "打印", "<Control>p", "", "-"},     {"Ac_PrintSet", "文件", "打印设置", "", "", "-"},
      {"Ac_Preview", "文件", "打印预览", "", "", "-"},         {"Ac_OffLine", "文件", "脱机工作", "", "", "off"},
      {"Ac_Close", "文件", "关闭", "", "", "-"},               {"Ac_CloseAll", "文件", "关闭所有", "", "", "-"},
      {"Ac_Quit", "文件", "退出", "", "", "-"},                {"Ac_ViewSource", "编辑", "查看源文件", "", "", "-"},
      {"Ac_HighLight", "编辑", "高亮显示", "", "", "-"},       {"Ac_IeOption", "选项", "Internet选项", "", "", "-"},
      {"Ac_SendUrlEmail", "文件", "发送邮件链接", "", "", "-"}, {"Ac_SendPageEmail", "文件", "发送邮件页面", "", "", "-"},
      {"Ac_SendShotCut", "文件", "桌面快捷方式", "", "", "-"}, {"Ac_HomePage", "查看", "主页", "<Alt>Home", "", "-"},
      {"Ac_UnDo", "查看", "撤销", "<Control>z", "", "-"},
      {"Ac_RestoreLastPages", "选项", "启动时打开上次的网页", "", "", "off"},
      {"Ac_Downloads", "选项", "下载", "<Control>j", "", "-"},
      {"Ac_AskWhereToSave", "选项", "下载前询问保存位置", "", "", "off"},
  };
  const auto& Table = shell::CommandTable();
  ASSERT_EQ(Table.size(), std::size(Expected));
  for (size_t I = 0; I < Table.size(); ++I) {
    const auto& A = Table[I];
    const Row& E = Expected[I];
    std::string Check = !A.AutoCheck ? "-" : A.GroupIndex ? "g" + std::to_string(A.GroupIndex) : A.Checked ? "on" : "off";
    EXPECT_EQ(A.Name + "|" + A.Category + "|" + A.Caption + "|" + A.Shortcut + "|" + A.Hint + "|" + Check,
              std::string(E.Name) + "|" + E.Category + "|" + E.Caption + "|" + E.Shortcut + "|" + E.Hint + "|" + E.Check);
  }
}

// The menu model, flattened: one line per item as "menu/submenu/label [key] -> action",
// "—" where a section starts.
void Flatten(const Glib::RefPtr<Gio::MenuModel>& Menu, const std::string& Path, std::vector<std::string>& Out) {
  for (int I = 0; I < Menu->get_n_items(); ++I) {
    auto Str = [&](const char* Name) {
      GVariant* V = g_menu_model_get_item_attribute_value(Menu->gobj(), I, Name, G_VARIANT_TYPE_STRING);
      std::string Text = V ? g_variant_get_string(V, nullptr) : "";
      if (V) g_variant_unref(V);
      return Text;
    };
    if (auto Section = Menu->get_item_link(I, Gio::MenuModel::Link::SECTION)) {
      if (I > 0) Out.push_back(Path + "—");
      Flatten(Section, Path, Out);
    } else if (auto Sub = Menu->get_item_link(I, Gio::MenuModel::Link::SUBMENU)) {
      Flatten(Sub, Path + Str("label") + "/", Out);
    } else {
      std::string Accel = Str("accel");
      Out.push_back(Path + Str("label") + (Accel.empty() ? "" : " [" + Accel + "]") + " -> " + Str("action"));
    }
  }
}

TEST(CommandTable, MainMenuItemsOrderLabelsAndKeys) {
  Gio::init();
  framework::TActionList Actions;
  for (const auto& Row : shell::CommandTable()) Actions.Add(Row);
  std::vector<std::string> Items;
  Flatten(shell::BuildMenuModel(shell::MainMenuLayout(), Actions), "", Items);
  const std::vector<std::string> Expected = {
      "文件(_F)/新建/空白页 [<Control>n] -> main.Ac_Blank", "文件(_F)/新建/当前页 -> main.Ac_CurPage", "文件(_F)/—",
      "文件(_F)/打开 [<Control>o] -> main.Ac_Open", "文件(_F)/另存为... [<Control>s] -> main.Ac_SaveAs", "文件(_F)/—",
      "文件(_F)/发送/发送邮件链接 -> main.Ac_SendUrlEmail", "文件(_F)/发送/发送邮件页面 -> main.Ac_SendPageEmail",
      "文件(_F)/发送/桌面快捷方式 -> main.Ac_SendShotCut", "文件(_F)/—", "文件(_F)/打印设置 -> main.Ac_PrintSet",
      "文件(_F)/打印预览 -> main.Ac_Preview", "文件(_F)/打印 [<Control>p] -> main.Ac_Print", "文件(_F)/—",
      "文件(_F)/关闭 -> main.Ac_Close", "文件(_F)/关闭所有 -> main.Ac_CloseAll", "文件(_F)/—",
      "文件(_F)/脱机工作 -> main.Ac_OffLine", "文件(_F)/—", "文件(_F)/属性 -> main.Ac_Property", "文件(_F)/—",
      "文件(_F)/退出 -> main.Ac_Quit",
      "编辑(_E)/剪切 [<Control>x] -> main.Ac_Cut", "编辑(_E)/复制 [<Control>c] -> main.Ac_Copy",
      "编辑(_E)/粘贴 [<Control>v] -> main.Ac_Paste", "编辑(_E)/—", "编辑(_E)/全选 [<Control>a] -> main.Ac_SelectAll",
      "编辑(_E)/—", "编辑(_E)/搜索 [<Control>f] -> main.Ac_Search", "编辑(_E)/—",
      "编辑(_E)/查看源文件 -> main.Ac_ViewSource", "编辑(_E)/高亮显示 -> main.Ac_HighLight",
      "查看(_V)/转到/后退 [<Alt>Left] -> main.Ac_Back", "查看(_V)/转到/主页 [<Alt>Home] -> main.Ac_HomePage",
      "查看(_V)/转到/前进 [<Alt>Right] -> main.Ac_Forward", "查看(_V)/—", "查看(_V)/刷新 [F5] -> main.Ac_Refresh",
      "查看(_V)/停止 [Escape] -> main.Ac_Stop",
      "工具(_O)/下载选项/允许下载ACTIVEX -> main.Ac_AllowActivex", "工具(_O)/下载选项/允许背景音乐 -> main.Ac_AllowBkSound",
      "工具(_O)/下载选项/允许下载图片 -> main.Ac_AllowImage", "工具(_O)/下载选项/允许执行JAVA -> main.Ac_AllowJava",
      "工具(_O)/下载选项/允许执行Script -> main.Ac_AllowScript", "工具(_O)/下载选项/允许下载视频 -> main.Ac_AllowVideo",
      "工具(_O)/下载 [<Control>j] -> main.Ac_Downloads", "工具(_O)/下载前询问保存位置 -> main.Ac_AskWhereToSave",
      "工具(_O)/—",
      "工具(_O)/启动时打开上次的网页 -> main.Ac_RestoreLastPages", "工具(_O)/—", "工具(_O)/Internet选项 -> main.Ac_IeOption",
      "帮助(_H)/关于 [F1] -> main.Ac_About", "帮助(_H)/官方网站 -> main.N48",
  };
  EXPECT_EQ(Items, Expected);
  EXPECT_EQ(shell::MainMenuLayout()[shell::FavoritesMenuIndex].Caption, "查看(&V)");  // favorites go before it
  // Switches are check items: their actions carry a boolean state, as menus need.
  for (const char* Name : {"Ac_OffLine", "Ac_AllowImage", "Ac_Favorites"})
    EXPECT_EQ(Actions[Name].GioAction()->get_state_variant().get_type_string(), "b") << Name;
}

TEST(CommandTable, MnemonicsAndLiteralAmpersands) {
  EXPECT_EQ(shell::Mnemonic("地址(&D)"), "地址(_D)");
  EXPECT_EQ(shell::Mnemonic("A&&B_c"), "A&B__c");
  EXPECT_EQ(shell::Mnemonic("end&"), "end&");
}

TEST(GoTarget, AddressesAreLoadedAndEverythingElseSearched) {
  const std::pair<const char*, TGoTarget> Cases[] = {
      {"中文", TGoTarget::Search},          {"中文 C++", TGoTarget::Search},
      {"中国.cn", TGoTarget::Search},       {"C++ 教程", TGoTarget::Search},
      {"hello world", TGoTarget::Search},   {"hello", TGoTarget::Search},
      {"example.com/a b", TGoTarget::Search}, {"note: buy milk", TGoTarget::Search},
      {"example.com", TGoTarget::Address},  {"  example.com  ", TGoTarget::Address},
      {"127.0.0.1:8080/x", TGoTarget::Address}, {"intranet:8080", TGoTarget::Address},
      {"localhost", TGoTarget::Address},    {"LOCALHOST/x", TGoTarget::Address},
      {"[::1]:80", TGoTarget::Address},     {"http://a b", TGoTarget::Address},
      {"https://example.com/?q=1", TGoTarget::Address}, {"about:blank", TGoTarget::Address},
      {"file:///tmp/x.html", TGoTarget::Address}, {"file:///tmp/my page.html", TGoTarget::Address},
      {"", TGoTarget::Address},
  };
  for (const auto& [Text, Target] : Cases) EXPECT_EQ(shell::GoTargetOf(Text), Target) << Text;
}

TEST(GoTarget, ALocalPathWaitsForTheDisksAnswer) {
  const std::tuple<const char*, std::optional<bool>, TGoTarget> Cases[] = {
      {"/tmp/my page.html", std::nullopt, TGoTarget::AskDisk}, {" ~/a.html", std::nullopt, TGoTarget::AskDisk},
      {"/tmp/my page.html", true, TGoTarget::Address},         {"/srv", true, TGoTarget::Address},
      {"/no/such/file.html", false, TGoTarget::Search},        {"~", false, TGoTarget::Search},
      {"example.com", std::nullopt, TGoTarget::Address},       {"~user", std::nullopt, TGoTarget::Search},
  };
  for (const auto& [Text, Exists, Target] : Cases) EXPECT_EQ(shell::GoTargetOf(Text, Exists), Target) << Text;
}

TEST(GoTarget, SearchWordIsEncodedAsUtf8) {
  shell::TProductSite Site("vorlane://home.vorlane");
  EXPECT_EQ(Site.SearchPage("中文#a&b+c%25 x"),
            "vorlane://home.vorlane/search.html?word=%E4%B8%AD%E6%96%87%23a%26b%2Bc%2525%20x");
}

TEST(AboutBoxLayout, PushesAlongTheRowThenWrapsBelow) {
  // Name and version on one row; the version does not fit after the name and goes below.
  std::vector<shell::TLabelBox> Boxes = {{88, 16, 170, 14}, {232, 16, 30, 14}, {144, 56, 84, 14}, {216, 56, 24, 14}};
  shell::PlaceLabels(Boxes, 277, 4);
  EXPECT_EQ(Boxes[1].X, 232);
  EXPECT_EQ(Boxes[1].Y, 34);
  EXPECT_EQ(Boxes[3].X, 232);
  EXPECT_EQ(Boxes[3].Y, 56);
  for (size_t I = 0; I < Boxes.size(); ++I)
    for (size_t J = 0; J < I; ++J) {
      const auto &A = Boxes[I], &B = Boxes[J];
      EXPECT_FALSE(A.X < B.X + B.Width && B.X < A.X + A.Width && A.Y < B.Y + B.Height && B.Y < A.Y + A.Height);
    }
}

}  // namespace
}  // namespace vorlane::test
