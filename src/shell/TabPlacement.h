#pragma once
// Where a page opened by another page's request for a window gets its tab.
#include <vector>

namespace vorlane::shell {

// Right of its opener, after the tabs that opener opened before and that still follow it,
// so that pages opened one after another from one page line up in the order they were
// opened, as in Firefox. Openers: each tab's opener in tab order (null: none); Opener is
// the tab at OpenerIndex. Returns the position for the new tab.
int RelatedTabPosition(const std::vector<const void*>& Openers, const void* Opener, int OpenerIndex);

}  // namespace vorlane::shell
