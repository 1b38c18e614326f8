#pragma once
// The address box's rules in plain C++: special-folder names, what is path-like, the
// default protocol, the icon of a text, the completion flag word and the key table. The
// widget (IEAddress) binds them to GTK; nothing here touches the disk or a display.
#include "platform/SystemIcons.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::navigation {

// The shell folder identifier for a special-folder name (whole text, ASCII upper case),
// NoSpecialFolder for any other text.
inline constexpr int NoSpecialFolder = 3000;
int SpecialFolderId(std::string_view Name);

// Text that names a local path: "/…", "~", "~/…" or "file:…" (any case). Only such text is
// ever looked up on disk, and only off the UI thread.
bool IsPathLike(std::string_view Text);
// The local path that path-like text names ("~/" is the home folder, "file:" URIs are
// decoded); nothing for other text.
std::optional<std::string> LocalPathOf(std::string_view Text);

// What is known about the path a text names. Unknown until an asynchronous look-up answers.
enum class PathKind { Unknown, Missing, File, Folder };

// The address committed for typed Text: DefaultProtocol in front unless it is empty, the
// text has "://", or the text is a path that is not known to be missing.
std::string WithDefaultProtocol(const std::string& Text, const std::string& DefaultProtocol, PathKind Kind);

// An address as the box shows it: escapes that spell non-ASCII characters after the host
// ("%E4%B8%AD%E6%96%87") are shown as those characters ("中文"). ASCII escapes ("%20",
// "%2F", "%25") keep their meaning, and characters that show nothing or could pass for
// another (spaces, format and bidi controls) stay escaped. The host is never touched.
std::string DisplayAddress(const std::string& Url);

// Ctrl+Enter: a bare word, optionally with a path ("baidu", "sina/news"), becomes
// "www.baidu.com", "www.sina.com/news"; other text is returned unchanged.
std::string WithWwwCom(const std::string& Text);

// The icon of a text, in order: special folder, file (existing, or a "file://" address),
// folder, web page; NoIcon for empty text.
int IconIndexOf(const std::string& Text, PathKind Kind, platform::SystemIcons& Icons);

// Row layout of the list: icon 4 px from the left, text at icon width + 6.
inline constexpr int RowHeight = 16;
inline constexpr int RowIconLeft = 4;
inline constexpr int RowTextLeft = platform::SystemIcons::IconSize + 6;

// Completion settings and the flag word built from them (the old SHACF_ values).
enum class TAutoComplete { acDefault, acForceOn, acForceOff };
enum class TAutoSuggest { asDefault, asForceOn, asForceOff };
enum class TFileOption : uint8_t { FileSystem = 1, UrlHistory = 2, UrlMRU = 4 };
using TFileOptions = uint8_t;  // a set of TFileOption bits
inline constexpr TFileOptions operator|(TFileOption A, TFileOption B) {
  return static_cast<TFileOptions>(static_cast<uint8_t>(A) | static_cast<uint8_t>(B));
}
uint32_t CompletionFlags(TFileOptions Options, TAutoSuggest Suggest, TAutoComplete Append);

// Which completion the flag word asks for. Flag 0 means every source, suggestions on,
// inline append off (the desktop's own default).
struct CompletionPlan {
  bool Files = true, History = true, Typed = true;
  bool Suggest = true, Append = false;
};
CompletionPlan PlanOf(uint32_t Flags);

// The key table of the box.
enum class AddressKey { Enter, Escape, Up, Down, Other };
enum class KeyAction {
  PassOn,            // default handling
  Consume,           // swallowed, nothing else
  CommitTyped,       // commit the box's text
  CommitFromList,    // commit the highlighted entry
  CloseAndCommitTyped,  // list open, nothing highlighted: close it, commit the text
  CloseList,         // close, writable, all text selected
  HighlightNext,
  HighlightPrevious, // from the first row: none, and the typed text back
  OpenList,          // read-only, selection cleared, list opened
};
// Highlighted is the highlighted entry (-1 for none), Count the number of entries.
KeyAction DecideKey(bool ListOpen, AddressKey Key, bool Alt, int Highlighted, int Count);

// Moves List[Index] to the front, keeping the order of the others.
void MoveToTop(std::vector<std::string>& List, int Index);

}  // namespace vorlane::navigation
