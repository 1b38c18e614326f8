#include "framework/GtkDialogs.h"

#include "support/MainLoop.h"

#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/entry.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/label.h>

#include <filesystem>

using namespace vorlane::framework;
using namespace vorlane::platform;
using vorlane::test::PumpUntil;

namespace {

template <typename T>
std::vector<T*> FindAll(Gtk::Widget& Root) {
  std::vector<T*> Found;
  if (auto* W = dynamic_cast<T*>(&Root)) Found.push_back(W);
  for (auto* C = Root.get_first_child(); C; C = C->get_next_sibling())
    for (auto* W : FindAll<T>(*C)) Found.push_back(W);
  return Found;
}

// Freed: the dialog is deleted once its answer has been handled, not leaked.
void WatchFreed(Gtk::Window& W, bool& Freed) {
  g_object_weak_ref(G_OBJECT(W.gobj()), [](gpointer Flag, GObject*) { *static_cast<bool*>(Flag) = true; }, &Freed);
}

struct Fixture : testing::Test {
  Gtk::Window Parent;
  GtkDialogs Dialogs{Parent};
  Gtk::Window& Only() {
    auto Open = Dialogs.OpenDialogs();
    EXPECT_EQ(Open.size(), 1u);
    return *Open.front();
  }
};

TEST(GtkDialogs, TheBookmarkFilterTakesHtmAndHtmlInAnyLetterCase) {
  const auto Filters = ParseFileFilter("Html文件(*.htm,*.html)|*.htm;*.html|所有文件(*.*)|*.*");
  auto Html = MakeFileFilter(Filters.at(0)), All = MakeFileFilter(Filters.at(1));
  for (auto [Name, Match] : {std::pair{"a.htm", true}, {"B.HTM", true}, {"c.Html", true}, {"d.txt", false},
                             {"e.htm.bak", false}}) {
    GFileInfo* Info = g_file_info_new();
    g_file_info_set_display_name(Info, Name);
    EXPECT_EQ(gtk_filter_match(GTK_FILTER(Html->gobj()), Info), Match) << Name;
    EXPECT_TRUE(gtk_filter_match(GTK_FILTER(All->gobj()), Info)) << Name;
    g_object_unref(Info);
  }
}

}  // namespace

struct MessageCase { MessageButtons Buttons; int Response; MessageResult Expected; };
constexpr int Close = 0;  // the user closes the window instead

TEST_F(Fixture, AMessageIsAnsweredOnceAndClosingIsTheNegativeAnswer) {
  using R = Gtk::ResponseType;
  const MessageCase Cases[] = {
      {MessageButtons::Ok, R::OK, MessageResult::Ok},        {MessageButtons::Ok, Close, MessageResult::Ok},
      {MessageButtons::OkCancel, R::OK, MessageResult::Ok},  {MessageButtons::OkCancel, R::CANCEL, MessageResult::Cancel},
      {MessageButtons::OkCancel, Close, MessageResult::Cancel},
      {MessageButtons::YesNo, R::YES, MessageResult::Yes},   {MessageButtons::YesNo, R::NO, MessageResult::No},
      {MessageButtons::YesNo, Close, MessageResult::No},
  };
  for (const auto& C : Cases) {
    std::vector<MessageResult> Answers;
    Dialogs.ShowMessage(MessageKind::Confirmation, "标题", "正文", C.Buttons, [&](MessageResult R) { Answers.push_back(R); });
    auto& D = dynamic_cast<Gtk::Dialog&>(Only());
    bool Freed = false;
    WatchFreed(D, Freed);
    if (C.Response == Close) D.close(); else D.response(C.Response);
    D.response(Gtk::ResponseType::OK);  // a late second response is ignored
    EXPECT_EQ(Answers, std::vector<MessageResult>{C.Expected}) << C.Response;
    EXPECT_TRUE(Dialogs.OpenDialogs().empty());
    EXPECT_TRUE(PumpUntil([&] { return Freed; }));
  }
}

TEST_F(Fixture, AMessageBoxShowsItsWholeCaptionAndTextWellClearOfItsEdgesAndButtons) {
  for (const std::string Caption : {"Information", "网页尚未加载完成，未能保存这个很长很长的标题栏文字。"}) {
    Dialogs.ShowMessage(MessageKind::Information, Caption, "You are choosing to work Online", MessageButtons::OkCancel);
    auto& D = Only();
    ASSERT_TRUE(PumpUntil([&] { return D.get_width() > 0; }));
    auto Bounds = [&](Gtk::Widget& W) {
      graphene_rect_t R;
      EXPECT_TRUE(gtk_widget_compute_bounds(W.gobj(), GTK_WIDGET(D.gobj()), &R));
      return R;
    };
    graphene_rect_t Text{}, Button{};
    for (auto* L : FindAll<Gtk::Label>(D))
      if (L->get_text() == "You are choosing to work Online") Text = Bounds(*L);
    std::vector<std::string> Captions;
    for (auto* B : FindAll<Gtk::Button>(D))
      if (B->get_label() == "确定" || B->get_label() == "取消") Captions.push_back(B->get_label()), Button = Bounds(*B);
    EXPECT_EQ(Captions.size(), 2u);
    EXPECT_GE(Text.origin.x, 12);
    EXPECT_GE(D.get_width() - (Text.origin.x + Text.size.width), 12);
    EXPECT_GE(Text.origin.y, 12);
    EXPECT_GE(Button.origin.y - (Text.origin.y + Text.size.height), 12);
    auto Layout = D.create_pango_layout(Caption);
    Layout->set_font_description(Pango::FontDescription("Bold"));
    int Width = 0, Height = 0;
    Layout->get_pixel_size(Width, Height);
    EXPECT_GE(D.get_width(), Width + 100) << Caption;  // room for the title bar's own buttons
    D.close();
  }
}

TEST_F(Fixture, TheInputBoxAnswersItsTextOnlyWhenAccepted) {
  enum How { OkButton, Enter, CancelButton, CloseWindow };
  const std::pair<How, std::optional<std::string>> Cases[] = {
      {OkButton, "新文本"}, {Enter, "新文本"}, {CancelButton, std::nullopt}, {CloseWindow, std::nullopt}};
  for (const auto& [Way, Expected] : Cases) {
    std::vector<std::optional<std::string>> Answers;
    Dialogs.InputBox("高亮显示", "要查找的文字：", "旧", [&](auto Text) { Answers.push_back(Text); });
    auto& W = Only();
    auto* Entry = FindAll<Gtk::Entry>(W).at(0);
    EXPECT_EQ(Entry->get_text(), "旧");
    Entry->set_text("新文本");
    auto Buttons = FindAll<Gtk::Button>(W);
    auto Press = [&](const char* Label) {
      for (auto* B : Buttons) if (B->get_label() == Label) g_signal_emit_by_name(B->gobj(), "clicked");
    };
    if (Way == OkButton) Press("确定");
    if (Way == Enter) g_signal_emit_by_name(Entry->gobj(), "activate");
    if (Way == CancelButton) Press("取消");
    if (Way == CloseWindow) W.close();
    EXPECT_EQ(Answers, std::vector<std::optional<std::string>>{Expected}) << Way;
    EXPECT_FALSE(W.get_visible());
  }
}

TEST_F(Fixture, TextsFromPagesShowLiterally) {
  Dialogs.ShowMessage(MessageKind::Warning, "<b>&", "<i>x</i> & y");
  Dialogs.InputBox("<b>&", "<u>&amp;", "", [](auto) {});
  auto Open = Dialogs.OpenDialogs();
  ASSERT_EQ(Open.size(), 2u);
  for (auto* W : Open) {
    EXPECT_EQ(W->get_title(), "<b>&");
    bool Shown = false;
    for (auto* L : FindAll<Gtk::Label>(*W))
      if (L->get_text() == "<i>x</i> & y" || L->get_text() == "<u>&amp;") Shown = !L->get_use_markup();
    EXPECT_TRUE(Shown) << W->get_title();
  }
}

TEST_F(Fixture, FileChoosersProposeTheStartAndCancelWithoutAPath) {
  namespace fs = std::filesystem;
  fs::path Dir = fs::temp_directory_path() / "vorlane-dialogs";
  fs::create_directories(Dir);
  std::optional<std::string> Chosen = "unset";
  Dialogs.SaveFile("保存网页", (Dir / "页面.htm").string(), ParseFileFilter("Html文件|*.htm;*.html|所有文件|*.*"),
                   [&](auto Path) { Chosen = Path; });
  auto& D = dynamic_cast<Gtk::FileChooserDialog&>(Only());
  EXPECT_EQ(D.get_current_name(), "页面.htm");
  ASSERT_EQ(D.get_filters()->get_n_items(), 2u);
  ASSERT_TRUE(PumpUntil([&] { return bool(D.get_current_folder()); }, std::chrono::seconds(5)));
  EXPECT_EQ(D.get_current_folder()->get_path(), Dir.string());
  D.close();
  EXPECT_EQ(Chosen, std::nullopt);

  Chosen = "unset";
  Dialogs.OpenFile("打开", Dir.string(), {}, [&](auto Path) { Chosen = Path; });
  auto& Open = dynamic_cast<Gtk::FileChooserDialog&>(Only());
  ASSERT_TRUE(PumpUntil([&] { return bool(Open.get_current_folder()); }, std::chrono::seconds(5)));
  EXPECT_EQ(Open.get_current_folder()->get_path(), Dir.string());
  Open.response(Gtk::ResponseType::CANCEL);
  EXPECT_EQ(Chosen, std::nullopt);
  vorlane::test::PumpPending();
}

TEST(GtkDialogs, DialogsStillOpenGoWithTheirOwnerUnanswered) {
  Gtk::Window Parent;
  bool Answered = false;
  {
    GtkDialogs Dialogs(Parent);
    Dialogs.InputBox("a", "b", "c", [&](auto) { Answered = true; });
  }
  vorlane::test::PumpPending();
  EXPECT_FALSE(Answered);
}
