#include "framework/ActionList.h"

#include <gtest/gtest.h>

using namespace vorlane::framework;

TEST(ActionList, SwitchesAndGroupsManageTheirCheckMarks) {
  TActionList List;
  auto& Fav = List.Add({"Ac_Favorites", "查看", "收藏夹", "<Control>i", ShortcutPhase::Bubble, "", "", true, false, 1});
  auto& Hist = List.Add({"Ac_History", "查看", "历史", "<Control>h", ShortcutPhase::Bubble, "", "", true, false, 1});
  auto& Img = List.Add({"Ac_AllowImage", "选项", "允许下载图片", "", ShortcutPhase::Bubble, "", "", true, true});
  std::vector<std::string> Ran;
  for (auto* A : {&Fav, &Hist, &Img}) A->OnExecute = [&](TAction& Self) { Ran.push_back(Self.Name() + (Self.Checked() ? "+" : "-")); };

  Fav.Execute();
  Hist.Execute();
  Hist.Execute();  // a group member keeps its mark
  Img.Execute();   // a lone switch toggles, before its handler runs
  EXPECT_EQ(Ran, (std::vector<std::string>{"Ac_Favorites+", "Ac_History+", "Ac_History+", "Ac_AllowImage-"}));
  EXPECT_FALSE(Fav.Checked());
  EXPECT_TRUE(Hist.Checked());
  EXPECT_EQ(Hist.GioAction()->get_state_variant().get_type_string(), "b");

  Img.SetEnabled(false);
  EXPECT_FALSE(Img.Execute());
  EXPECT_EQ(Ran.size(), 4u);
  // Activating the Gio action (menu item, button) runs the same command.
  Fav.GioAction()->activate();
  EXPECT_TRUE(Fav.Checked());
  EXPECT_FALSE(Hist.Checked());
}

TEST(ActionList, NamesAreUniqueAndFound) {
  TActionList List;
  List.Add({"Ac_Go", "文件", "浏览"});
  EXPECT_THROW((void)List.Add({"Ac_Go", "文件", "浏览"}), std::logic_error);
  EXPECT_EQ(List.Find("Ac_Nope"), nullptr);
  EXPECT_THROW(List["Ac_Nope"], std::out_of_range);
  EXPECT_EQ(List["Ac_Go"].DetailedName(), "main.Ac_Go");
  EXPECT_TRUE(List.CreateShortcutController(ShortcutPhase::Capture));
}
