#pragma once
// A main window on the scripted engine, shown under the test display.
#include "shell/U_FrmMain.h"
#include "support/FakeEngine.h"
#include "support/MainLoop.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorlane::test {

// The text on W's clipboard ("" when it holds none, "<none>" when it never answered).
std::string ReadClipboard(Gtk::Widget& W);

class MainWindowTest : public testing::Test {
protected:
  static constexpr const char* Site = "vorlane://home.vorlane";
  static constexpr const char* StartPage = "vorlane://home.vorlane/sea.html?ver=2.x";

  void SetUp() override;
  void TearDown() override;

  shell::TFrmMain& Main() { return *FMain; }
  TFakeEngine& EngineOf(shell::TFrmWeb* Page);
  shell::TFrmWeb* Active() { return FMain->ActivePage(); }
  shell::TFrmWeb* Tab(int Index) { return FMain->PageOfTab(Index); }
  int Tabs() { return FMain->PageControl.Count(); }
  int Selected() { return FMain->PageControl.Selected(); }
  void Run(const std::string& Command) { FMain->ActionList[Command].Execute(); }
  // Opens a page on Url with Show and completes its load with Title.
  shell::TFrmWeb* Open(const std::string& Url, bool Show, const std::string& Title = "");
  // Closes a page through its close step and waits until it is gone.
  void CloseAndWait(shell::TFrmWeb* Page);
  int PageCount() { return static_cast<int>(FMain->Pages().size()); }
  bool Shown(shell::TFrmWeb* Page) { return FMain->Frame().IsChild(Page); }
  std::string AddressText() { return FMain->cobAddress.Text(); }
  // The window's focus is W or inside it.
  bool FocusIn(Gtk::Widget& W);

  TFakeEngineFactory Engines;

private:
  std::unique_ptr<shell::TFrmMain> FMain;
};

}  // namespace vorlane::test
