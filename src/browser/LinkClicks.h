#pragma once
// Where a clicked link opens, by the habits of other browsers: a middle click or Ctrl+click
// opens it in a tab of its own behind the current one, with Shift in front.
#include <string>

namespace vorlane::browser {

enum class LinkOpening { Here, BackgroundTab, ForegroundTab };

// Button: 1 left, 2 middle, 3 right.
LinkOpening LinkOpeningOf(unsigned Button, bool Control, bool Shift);

// Whether a link of the page at PageUrl may open in a tab of its own. Such a tab loads the
// link as if typed, without the page's own limits, so only what a click would reach by
// itself goes: web and our own site's addresses, and local files from a local page; never
// scripts (javascript:), data: or blob: addresses.
bool MayOpenInNewTab(const std::string& PageUrl, const std::string& Link);

}  // namespace vorlane::browser
