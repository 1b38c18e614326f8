#pragma once
// The open pages saved for the next start ($XDG_DATA_HOME/vorlane/session): their order,
// the selected one and each page's Back/Forward history as the engine hands it over.
// The text form is written whole and replaced atomically; a start reads it back, decides
// whether to reopen the pages, and sets a file it cannot read aside for the user.
//
// The file:
//   Vorlane session 1
//   ended-cleanly=0|1
//   restore-attempts=N
//   selected=-1..pages-1
//   pages=N
//   page                       one block per page, in tab order
//   url=TEXT
//   title=TEXT
//   history=BASE64
//   end
// TEXT escapes "%", control characters and bytes that are not UTF-8 as %XX, so no value
// can span lines. Readers skip keys they do not know; an incompatible change raises the
// number on the first line. A file without its "end" line was cut short and is refused.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::platform {

inline constexpr std::uintmax_t MaxSessionFileSize = std::uintmax_t{64} << 20;
// More pages than any window holds; beyond it a file is taken for garbage.
inline constexpr std::size_t MaxSessionPages = 100000;

struct TSavedPage {
  std::string Url;
  std::string Title;
  std::vector<uint8_t> History;  // the engine's opaque Back/Forward state; may be empty
  bool operator==(const TSavedPage&) const = default;
};

struct TSavedSession {
  std::vector<TSavedPage> Pages;  // tab order
  int Selected = -1;              // index into Pages; -1 none
  bool EndedCleanly = false;      // the run that wrote it ended through Quit or closing the window
  int RestoreAttempts = 0;        // starts that restored these pages and have not yet run a while
  bool operator==(const TSavedSession&) const = default;
};

// Always text that DecodeSession accepts: a Selected outside the pages is written as -1,
// a negative RestoreAttempts as 0, and pages past MaxSessionPages are left out.
std::string EncodeSession(const TSavedSession& Session);
// nullopt: not a session file we can read (damaged, truncated, another program's, wrong version).
std::optional<TSavedSession> DecodeSession(std::string_view Text);

enum class TSessionStart { Nothing, Restore, OfferLinks };
// What a start does with the saved session. RestoreOption: the user's "open last pages at start" option.
//  - no pages: Nothing
//  - EndedCleanly: Restore when RestoreOption, else Nothing
//  - not EndedCleanly (crash/kill): Restore, unless RestoreAttempts >= 1 (the previous restore
//    brought the browser down again before it ran a while: a crash loop) -> OfferLinks
TSessionStart DecideSessionStart(const TSavedSession& Saved, bool RestoreOption);

// Reading the file at start-up (synchronous: it runs once before the window shows).
struct TSessionLoad {
  std::optional<TSavedSession> Session;           // nullopt when there was no usable file
  std::optional<std::filesystem::path> SetAside;  // where a damaged file was moved, if one was
};
// Missing file: {nullopt, nullopt}. Anything else that does not decode (random bytes, an
// empty file, a directory or a pipe in its place, a file larger than MaxSessionFileSize,
// which is not read at all) is moved aside with SetDamagedFileAside and reported in
// SetAside. Never throws.
TSessionLoad LoadSessionFile(const std::filesystem::path& File);

// Encoded session written beside File, flushed (fsync) and renamed over it, then the folder
// synced, so a kill at any moment leaves the old or the new file. Creates the folder; the
// file is readable by its owner only. Runs on a worker thread; Done (may be empty) runs on
// the caller's thread-default GLib main context with nullopt on success, else the system's
// error text. Saves to one file must not overlap: two in flight may land in either order,
// so start the next one from Done (and let a pending one finish before the last save).
void SaveSessionFileAsync(const std::filesystem::path& File, const TSavedSession& Session,
                          std::function<void(std::optional<std::string>)> Done);
// Same, synchronously (for the last save when the program quits).
std::optional<std::string> SaveSessionFile(const std::filesystem::path& File, const TSavedSession& Session);

}  // namespace vorlane::platform
