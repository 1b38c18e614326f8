#pragma once
// How far a page's script may go with alert(), confirm() and prompt(). A page that raises
// them in a loop would hold the window under one modal box after another; as other
// browsers do, from the third dialog of one document on the box offers to stop them, and
// once the user ticked that, the document's dialogs are refused at once (an alert returns,
// a confirm is false, a prompt null) until the page shows another document.
#include <cstdint>

namespace vorlane::browser {

class TScriptDialogLimit {
public:
  static constexpr int OfferFrom = 3;
  static constexpr const char* StopText = "阻止此网页创建更多对话框";

  enum class Verdict { Show, ShowWithStop, Refuse };
  struct Ticket {
    Verdict What = Verdict::Show;
    uint64_t Document = 0;  // the document that asked, for Answered
  };

  // The page asks for a dialog.
  Ticket Next();
  // The user answered the dialog of Ticket; Stop: ticked the box. An answer for a document
  // the page has left stops nothing.
  void Answered(const Ticket& Asked, bool Stop);
  // The page shows another document: it starts afresh.
  void NewDocument();

private:
  uint64_t FDocument = 0;
  int FAsked = 0;
  bool FStopped = false;
};

}  // namespace vorlane::browser
