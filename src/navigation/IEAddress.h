#pragma once
// The address box: an entry with the icon of its text, an arrow that drops down the
// addresses the user typed, and suggestions while typing, in one popover under the entry
// (the typed list and the suggestions never show together). The rules live in
// AddressRules, TypedUrls, CompletionSource and PathLookup; this class binds them to GTK.
//
// Text our code sets (SetCurrentUrl, the highlight moving) is never a user edit; the
// entry's own set_text counts as one, as a drop or a paste does. While the
// box has the focus and the user has edited it since the last set or commit, a page's
// address is stored but the visible text kept; a tab switch (Always) shows it anyway.
// Keys wait while an input method composes: every key goes to it then.
#include "framework/SystemIconImages.h"
#include "navigation/AddressRules.h"
#include "navigation/CompletionSource.h"
#include "navigation/PathLookup.h"

#include <gtkmm/entry.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/listview.h>
#include <gtkmm/popover.h>
#include <gtkmm/singleselection.h>
#include <gtkmm/stringlist.h>
#include <sigc++/signal.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace vorlane::platform { class Registry; }
namespace vorlane::browser { class TBrowserControl; }

namespace vorlane::navigation {

class TIEAddress : public Gtk::Entry {
public:
  // Loads the typed list from Registry (a default one on the user's config when null;
  // it must outlive the box).
  explicit TIEAddress(platform::Registry* Registry = nullptr);
  ~TIEAddress() override;

  // ---- properties -------------------------------------------------------------------
  TAutoComplete AutoComplete = TAutoComplete::acDefault;
  TAutoSuggest AutoSuggest = TAutoSuggest::asDefault;
  TFileOptions FileOptions = 0;
  std::string DefaultProtocol;
  bool RegistryUpdate = false;
  int IconLeft = 4, IconTop = 3;  // kept for callers; GTK places the entry's icon
  // Optional engine that a double-click navigates directly (not owned).
  browser::TBrowserControl* Webbrowser = nullptr;

  bool HasBorder() const { return FHasBorder; }
  void SetHasBorder(bool Value);
  bool HasDropDown() const { return FHasDropDown; }
  void SetHasDropDown(bool Value);
  bool ShowIcons() const { return FShowIcons; }
  void SetShowIcons(bool Value);

  // ---- address ----------------------------------------------------------------------
  // Stores Url as the current address and shows it, unless the user is editing the box
  // (it has the focus and was edited since the last set or commit, or the list is open):
  // then what they typed stays. With Always, the box shows Url whatever was typed and
  // the list closes (another page came forward).
  // The box shows an address decoded (DisplayAddress); CurrentUrl keeps it as loaded.
  // While the box has the focus with all its text selected (a new page), the new address
  // is selected too, so that typing replaces it.
  void SetCurrentUrl(const std::string& Url, bool Always = false);
  // The box shows CurrentUrl (as it displays it), not text of the user's.
  bool ShowsCurrentUrl() const;
  // The user changed the text since the last set or commit.
  bool UserEdited() const { return FUserEdited; }
  const std::string& CurrentUrl() const { return FCurrentUrl; }
  std::string Text() const { return get_text(); }
  // Commits the visible text as typed (Enter with no list open).
  void Commit();

  // (Url): the user committed an address; Url is the text as shown.
  sigc::signal<void(const std::string&)>& OnUrlSelected() { return FUrlSelected; }

  // ---- typed list -------------------------------------------------------------------
  void LoadTypedUrls();
  void SaveTypedUrls();
  const std::vector<std::string>& Items() const { return FItems; }
  void SetItems(std::vector<std::string> Items);

  // ---- list and suggestions ---------------------------------------------------------
  bool ListOpen() const { return FListOpen; }
  bool SuggestionsShown() const { return FSuggesting; }
  int Highlighted() const;
  std::vector<std::string> ShownRows() const;
  void OpenList(bool ByKeyboard);
  void CloseList();
  // The history's suggestions (empty until a store is attached; not owned, may be null).
  void SetHistorySource(const ICompletionSource* Source) { FHistory = Source ? Source : &FNoHistory; }
  uint32_t CompletionFlagsWord() const { return CompletionFlags(FileOptions, AutoSuggest, AutoComplete); }

  // ---- the disk, looked at off the UI thread -----------------------------------------
  // What an earlier look-up found for path-like Text.
  PathKind PathKindOf(const std::string& Text) const { return FProbe.KindOf(Text); }
  // Calls Then with what Text names once that is known (at once when it is, or when Text
  // is no path: Unknown). A later call replaces one still waiting.
  void LookUpPath(const std::string& Text, std::function<void(PathKind)> Then) {
    FProbe.Resolve(Text, std::move(Then));
  }

  // ---- icons ------------------------------------------------------------------------
  int IconIndexOf(const std::string& Text) const;
  int ShownIconIndex() const { return FShownIconIndex; }
  int HighlightIconIndex() const { return FHighlightIconIndex; }
  void UpdateRegion();
  // The shown page came over a connection whose certificate only the user trusts: while
  // the box shows the page's own address, its icon says the page is not secure.
  void SetUntrusted(bool Untrusted);
  bool ShowsUntrusted() const { return FShowsUntrusted; }

  // Key handling as the key controller runs it; true when the key was consumed. Besides
  // the list's keys: Esc and Up past the first row give back what was typed, Esc with
  // the list closed the page's address; Ctrl+Enter goes to "www.WORD.com"; Shift+Delete
  // removes the highlighted typed address from the list.
  bool HandleKey(unsigned KeyVal, Gdk::ModifierType State);
  // Whether the keyboard focus is in the box.
  bool HasFocusWithin() const;
  // Whether the input method is composing now.
  bool Composing() const { return !FPreedit.empty(); }

protected:
  void size_allocate_vfunc(int Width, int Height, int Baseline) override;

private:
  void BuildList();
  void BindSignals();
  void SetTextQuietly(const std::string& Text);
  void TextChanged();
  void UpdateSuggestions();
  void ShowRows(const std::vector<std::string>& Rows, bool Suggestions, bool KeepHighlight = false);
  void AppendFileSuggestions(std::vector<std::string> Rows);
  void Highlight(int Index);
  void CommitFromList();
  void ChooseRow(unsigned Position);
  void DoubleClicked();
  void UpdateBoxIcon();
  void ApplyIcon(int Index);
  void SelectAll() { select_region(0, -1); }
  void BindWindow();
  void UnbindWindow();
  void ClickedInWindow(Gtk::Window& Window, double X, double Y);
  void RestoreTyped();
  bool RemoveHighlightedTyped();
  int RowAt(double X, double Y);
  void PointerMoved(double X, double Y);
  std::optional<std::pair<double, double>> PointerInWindow();

  platform::Registry* FRegistry;
  std::unique_ptr<platform::Registry> FOwnRegistry;
  std::string FCurrentUrl;
  std::vector<std::string> FItems;
  bool FHasBorder = true, FHasDropDown = true, FShowIcons = true;
  bool FListOpen = false;    // the typed list
  bool FSuggesting = false;  // the suggestions
  bool FReadOnlyByKey = false;
  bool FUserEdited = false;
  int FQuiet = 0;            // >0 while our code sets the text
  std::string FPreedit;
  int FShownIconIndex = -1, FHighlightIconIndex = -1;
  // What the user had typed when the keys first put a row's text into the box.
  std::string FTypedText;
  bool FShowingRow = false;
  // Where the pointer was (in the window) when the list opened or last reported it:
  // only a move away from there highlights.
  std::optional<std::pair<double, double>> FPointerRest;
  Glib::RefPtr<Gtk::GestureClick> FOutsideClicks;
  bool FUntrusted = false, FShowsUntrusted = false;

  TStringListSource FTyped{FItems};
  TEmptyHistorySource FNoHistory;
  const ICompletionSource* FHistory = &FNoHistory;
  TPathProbe FProbe;
  TPathLister FLister;
  std::vector<std::string> FSuggested;  // synchronous part of the suggestions shown

  Gtk::Popover FPopup;
  Gtk::ListView FList;
  Glib::RefPtr<Gtk::StringList> FModel;
  Glib::RefPtr<Gtk::SingleSelection> FSelection;
  mutable framework::TSystemIconImages FIcons;
  std::size_t FLastTypedSize = 0;  // to append only while the user adds text
  sigc::connection FAppend;
  sigc::connection FActiveWatch, FFocusWatch;
  sigc::signal<void(const std::string&)> FUrlSelected;
};

}  // namespace vorlane::navigation
