#include "shell/U_CommandTable.h"

namespace vorlane::shell {

using framework::ActionInfo;
using framework::ShortcutPhase;

namespace {

constexpr auto Capture = ShortcutPhase::Capture;
constexpr auto Bubble = ShortcutPhase::Bubble;

// A switch that toggles its own check mark.
ActionInfo Switch(ActionInfo Info, bool Checked) {
  Info.AutoCheck = true;
  Info.Checked = Checked;
  return Info;
}

// A switch of the sidebar group: at most one carries the mark, and none need to.
ActionInfo SidebarSwitch(ActionInfo Info) {
  Info.AutoCheck = true;
  Info.GroupIndex = 1;
  Info.AllowAllUp = true;
  return Info;
}

TMenuNode Cmd(const std::string& Name, const std::string& Caption = {}) {
  return {TMenuNode::Kind::Command, Name, Caption, {}, {}};
}
TMenuNode Sep() { return {TMenuNode::Kind::Separator, {}, {}, {}, {}}; }
TMenuNode Sub(const std::string& Caption, std::vector<TMenuNode> Items) {
  return {TMenuNode::Kind::Submenu, {}, Caption, std::move(Items), {}};
}

}  // namespace

const std::vector<ActionInfo>& CommandTable() {
  // Alt keys, Ctrl+N and Ctrl+I/H are the window's before the page sees them; the other
  // keys (clipboard, find, open, save, print, undo, F1, F5, Esc) reach the page and the
  // address box first and run the command only when neither took them.
  static const std::vector<ActionInfo> Table = {
      {"Ac_Forward", "查看", "前进", "<Alt>Right", Capture, "go-next", "前进"},
      {"Ac_Back", "查看", "后退", "<Alt>Left", Capture, "go-previous", "后退"},
      {"Ac_Stop", "查看", "停止", "Escape", Bubble, "process-stop", "停止"},
      {"Ac_Refresh", "查看", "刷新", "F5", Bubble, "view-refresh", "刷新"},
      {"Ac_Blank", "文件", "空白页", "<Control>n", Capture, "document-new"},
      {"Ac_Go", "文件", "浏览", "", Bubble, "go-jump"},
      {"Ac_CurPage", "文件", "当前页"},
      SidebarSwitch({"Ac_Favorites", "查看", "收藏夹", "<Control>i", Capture, "user-bookmarks"}),
      SidebarSwitch({"Ac_History", "查看", "历史", "<Control>h", Capture, "document-open-recent"}),
      {"Ac_Property", "文件", "属性"},
      Switch({"Ac_AllowImage", "选项", "允许下载图片"}, true),
      Switch({"Ac_AllowVideo", "选项", "允许下载视频"}, true),
      Switch({"Ac_AllowBkSound", "选项", "允许背景音乐"}, true),
      Switch({"Ac_AllowScript", "选项", "允许执行Script"}, true),
      Switch({"Ac_AllowActivex", "选项", "下载ACTIVEX"}, true),
      Switch({"Ac_AllowJava", "选项", "允许执行JAVA"}, true),
      {"Ac_About", "帮助", "关于", "F1", Bubble},
      {"Ac_Cut", "编辑", "剪切", "<Control>x", Bubble, "edit-cut"},
      {"Ac_Copy", "编辑", "复制", "<Control>c", Bubble, "edit-copy"},
      {"Ac_Paste", "编辑", "粘贴", "<Control>v", Bubble, "edit-paste"},
      {"Ac_SelectAll", "编辑", "全选", "<Control>a", Bubble},
      {"Ac_Search", "编辑", "搜索", "<Control>f", Bubble},
      {"Ac_Open", "文件", "打开", "<Control>o", Bubble, "document-open"},
      {"Ac_SaveAs", "文件", "另存为...", "<Control>s", Bubble, "document-save-as"},
      {"Ac_Print", "文件", "打印", "<Control>p", Bubble, "document-print"},
      {"Ac_PrintSet", "文件", "打印设置"},
      {"Ac_Preview", "文件", "打印预览", "", Bubble, "document-print-preview"},
      Switch({"Ac_OffLine", "文件", "脱机工作", "", Bubble, "network-offline"}, false),
      {"Ac_Close", "文件", "关闭", "", Bubble, "window-close"},
      {"Ac_CloseAll", "文件", "关闭所有", "", Bubble, "edit-clear-all"},
      {"Ac_Quit", "文件", "退出"},
      {"Ac_ViewSource", "编辑", "查看源文件", "", Bubble, "text-x-generic"},
      {"Ac_HighLight", "编辑", "高亮显示"},
      {"Ac_IeOption", "选项", "Internet选项", "", Bubble, "preferences-system"},
      {"Ac_SendUrlEmail", "文件", "发送邮件链接", "", Bubble, "mail-send"},
      {"Ac_SendPageEmail", "文件", "发送邮件页面", "", Bubble, "mail-attachment"},
      {"Ac_SendShotCut", "文件", "桌面快捷方式"},
      {"Ac_HomePage", "查看", "主页", "<Alt>Home", Capture, "go-home"},
      {"Ac_UnDo", "查看", "撤销", "<Control>z", Bubble, "edit-undo"},
      Switch({"Ac_RestoreLastPages", "选项", "启动时打开上次的网页"}, false),
      {"Ac_Downloads", "选项", "下载", "<Control>j", Capture, "folder-download"},
      Switch({"Ac_AskWhereToSave", "选项", "下载前询问保存位置"}, false),
  };
  return Table;
}

const std::vector<TTopMenu>& MainMenuLayout() {
  static const std::vector<TTopMenu> Layout = {
      {"文件(&F)",
       {Sub("新建", {Cmd("Ac_Blank"), Cmd("Ac_CurPage")}), Sep(), Cmd("Ac_Open"), Cmd("Ac_SaveAs"), Sep(),
        Sub("发送", {Cmd("Ac_SendUrlEmail"), Cmd("Ac_SendPageEmail"), Cmd("Ac_SendShotCut")}), Sep(),
        Cmd("Ac_PrintSet"), Cmd("Ac_Preview"), Cmd("Ac_Print"), Sep(), Cmd("Ac_Close"), Cmd("Ac_CloseAll"), Sep(),
        Cmd("Ac_OffLine"), Sep(), Cmd("Ac_Property"), Sep(), Cmd("Ac_Quit")}},
      {"编辑(&E)",
       {Cmd("Ac_Cut"), Cmd("Ac_Copy"), Cmd("Ac_Paste"), Sep(), Cmd("Ac_SelectAll"), Sep(), Cmd("Ac_Search"), Sep(),
        Cmd("Ac_ViewSource"), Cmd("Ac_HighLight")}},
      {"查看(&V)",
       {Sub("转到", {Cmd("Ac_Back"), Cmd("Ac_HomePage"), Cmd("Ac_Forward")}), Sep(), Cmd("Ac_Refresh"),
        Cmd("Ac_Stop")}},
      {"工具(&O)",
       {Sub("下载选项", {Cmd("Ac_AllowActivex", "允许下载ACTIVEX"), Cmd("Ac_AllowBkSound"), Cmd("Ac_AllowImage"),
                         Cmd("Ac_AllowJava"), Cmd("Ac_AllowScript"), Cmd("Ac_AllowVideo")}),
        Cmd("Ac_Downloads"), Cmd("Ac_AskWhereToSave"), Sep(), Cmd("Ac_RestoreLastPages"), Sep(), Cmd("Ac_IeOption")}},
      {"帮助(&H)", {Cmd("Ac_About"), {TMenuNode::Kind::Action, "N48", "官方网站", {}, "go-home"}}},
  };
  return Layout;
}

std::string Mnemonic(const std::string& Caption) {
  std::string Out;
  for (size_t I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == '&' && I + 1 < Caption.size() && Caption[I + 1] == '&') {
      Out += '&';
      ++I;
    } else if (Caption[I] == '&' && I + 1 < Caption.size()) {
      Out += '_';
    } else if (Caption[I] == '_') {
      Out += "__";
    } else {
      Out += Caption[I];
    }
  }
  return Out;
}

namespace {

void AppendNodes(const Glib::RefPtr<Gio::Menu>& Menu, const std::vector<TMenuNode>& Nodes,
                 const framework::TActionList& Actions) {
  auto Section = Gio::Menu::create();
  auto Flush = [&] {
    if (Section->get_n_items() > 0) Menu->append_section(Section);
    Section = Gio::Menu::create();
  };
  for (const TMenuNode& Node : Nodes) {
    switch (Node.Type) {
      case TMenuNode::Kind::Separator:
        Flush();
        break;
      case TMenuNode::Kind::Submenu: {
        auto Sub = Gio::Menu::create();
        AppendNodes(Sub, Node.Items, Actions);
        Section->append_submenu(Mnemonic(Node.Caption), Sub);
        break;
      }
      case TMenuNode::Kind::Action: {
        auto Item = Gio::MenuItem::create(Mnemonic(Node.Caption), Actions.GroupName() + "." + Node.Name);
        if (!Node.Icon.empty())
          Item->set_attribute_value("icon", Glib::Variant<Glib::ustring>::create(Node.Icon));
        Section->append_item(Item);
        break;
      }
      case TMenuNode::Kind::Command: {
        const auto& A = Actions[Node.Name];
        auto Item = Gio::MenuItem::create(Mnemonic(Node.Caption.empty() ? A.Caption() : Node.Caption),
                                          A.DetailedName());
        if (!A.Shortcut().empty())
          Item->set_attribute_value("accel", Glib::Variant<Glib::ustring>::create(A.Shortcut()));
        Section->append_item(Item);
        break;
      }
    }
  }
  Flush();
}

}  // namespace

Glib::RefPtr<Gio::Menu> BuildMenuModel(const std::vector<TTopMenu>& Layout, const framework::TActionList& Actions) {
  auto Bar = Gio::Menu::create();
  for (const TTopMenu& Top : Layout) {
    auto Menu = Gio::Menu::create();
    AppendNodes(Menu, Top.Items, Actions);
    Bar->append_submenu(Mnemonic(Top.Caption), Menu);
  }
  return Bar;
}

}  // namespace vorlane::shell
