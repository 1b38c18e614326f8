#pragma once
// The main window's interfaces for page windows, and the closed-page list's interface.
// The main window outlives every page, so pages hold plain references to it.
#include <cstdint>
#include <functional>
#include <string>

#include "shell/U_UndoItem.h"

namespace vorlane::framework { class MdiFrame; }
namespace vorlane::platform { class TDdeRouter; class IDialogs; }
namespace vorlane::platform { class IHistorySink; }
namespace vorlane::browser { class TSitePermissions; }

namespace vorlane::shell {

class TFrmWeb;
class IPageTabHandler;
class TProductSite;

class IMainUiHandler {
public:
  virtual ~IMainUiHandler() = default;
  virtual void PageActivated() = 0;
  virtual void SetProgress(int32_t Progress) = 0;
  virtual void SetAddressText(const std::string& Url) = 0;
  virtual void SetStatusText(const std::string& Text) = 0;
  // Command 1 enables or disables Forward, 2 Back; others are ignored. Enable is the
  // engine's 16-bit boolean: true when any bit is set.
  virtual void CommandStateChanged(int32_t Command, int16_t Enable) = 0;
  virtual IPageTabHandler& GetPageTabHandler() = 0;
  // The active page's document came over a connection whose certificate only the user
  // trusts (the address box marks it as not secure).
  virtual void SetPageUntrusted(bool Untrusted) {}
};

class IPageTabHandler {
public:
  virtual ~IPageTabHandler() = default;
  virtual int32_t AddTab(const std::string& Caption, TFrmWeb* Page) = 0;
  virtual void PageClosed(TFrmWeb* Page) = 0;
  virtual void SetTabImage(TFrmWeb* Page, int32_t ImageIndex) = 0;
  virtual int32_t TabCount() = 0;
  virtual void SetTabCaption(TFrmWeb* Page, const std::string& Caption) = 0;
  virtual std::string GetTabCaption(TFrmWeb* Page) = 0;
};

// What a page window needs of the main window beyond the interfaces above: the frame it
// shows in, a new page for a new-window request, release of a page once its close has
// been processed, and keys a page passes on.
class IPageHost {
public:
  virtual ~IPageHost() = default;
  virtual framework::MdiFrame& Frame() = 0;
  virtual const TProductSite& Site() const = 0;
  virtual TFrmWeb* NewPage(const std::string& Url, bool Show) = 0;
  // A background page for Opener's request for a window.
  virtual TFrmWeb* NewPageFrom(TFrmWeb* Opener, const std::string& Url) { return NewPage(Url, false); }
  virtual void ReleasePage(TFrmWeb* Page) = 0;
  // The page agreed to close when asked, or its script closed its window.
  virtual void PageAgreedToClose(TFrmWeb* Page) = 0;
  // The user kept the page when it asked about being left; nothing by default.
  virtual void PageStayed(TFrmWeb* Page) {}
  // The page's first load became a download, so it never showed anything; nothing by default.
  virtual void PageLeftEmptyByDownload(TFrmWeb* Page) {}
  // Handles a key as if it had been pressed in the main window, once the current event is
  // done. Key is a GDK key value, Modifiers GDK modifier bits.
  virtual void PostKey(unsigned Key, unsigned Modifiers) = 0;
  // A page's document is complete (also after a failed load).
  virtual void PageComplete(TFrmWeb* Page) = 0;
  // The process's DDE router that page controls serve on; none by default.
  virtual platform::TDdeRouter* DdeRouter() { return nullptr; }
  // Where pages record their visits; none: nothing is recorded.
  virtual platform::IHistorySink* HistorySink() { return nullptr; }
  // The dialogs a page's commands ask through, modal over the main window; none by default.
  virtual platform::IDialogs* Dialogs() { return nullptr; }
  // Clears the kept list of downloads; none: there is no such list.
  virtual std::function<void()> DownloadListClearer() { return {}; }
  // The answers remembered for sites; none: every page asks again.
  virtual browser::TSitePermissions* SitePermissions() { return nullptr; }
  // A link the user asked for in a tab of its own, right of the current tab; Foreground:
  // shown at once, else it loads behind. Nothing by default.
  virtual void OpenLinkInNewTab(const std::string& Url, bool Foreground) {}
  // The page entered or left its own full screen (a video); nothing by default.
  virtual void PageFullScreen(TFrmWeb* Page, bool On) {}
};

class IPageUndoList {
public:
  virtual ~IPageUndoList() = default;
  // Stores a copy at the front; drops the oldest when full. Returns the stored entry.
  virtual TUndoItem* Add(const TUndoItem& Item) = 0;
  virtual void Remove(TUndoItem* Entry) = 0;
  virtual TUndoItem* Items(int32_t Index) = 0;  // 0 is the newest
  virtual int32_t Count() = 0;
  virtual int32_t Capacity() = 0;
  virtual void SetCapacity(int32_t Value) = 0;
};

}  // namespace vorlane::shell
