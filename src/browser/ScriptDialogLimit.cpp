#include "browser/ScriptDialogLimit.h"

namespace vorlane::browser {

TScriptDialogLimit::Ticket TScriptDialogLimit::Next() {
  if (FStopped) return {Verdict::Refuse, FDocument};
  ++FAsked;
  return {FAsked >= OfferFrom ? Verdict::ShowWithStop : Verdict::Show, FDocument};
}

void TScriptDialogLimit::Answered(const Ticket& Asked, bool Stop) {
  if (Stop && Asked.Document == FDocument) FStopped = true;
}

void TScriptDialogLimit::NewDocument() {
  ++FDocument;
  FAsked = 0;
  FStopped = false;
}

}  // namespace vorlane::browser
