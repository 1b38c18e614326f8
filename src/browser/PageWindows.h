#pragma once
// The small windows of the page commands: source, find, properties, Internet options, and
// the save-as flow. Each window owns itself and goes when closed; a window outlives its
// page harmlessly (it stops acting on the page once the page is gone).
namespace vorlane::browser {

class TBrowserControl;

void ShowSourceWindow(TBrowserControl& Control);
void ShowFindWindow(TBrowserControl& Control);
void ShowPropertiesWindow(TBrowserControl& Control);
void ShowEngineOptionsWindow(TBrowserControl& Control);
void AskAndSavePage(TBrowserControl& Control);  // PageCommands_Files.cpp

}  // namespace vorlane::browser
