#pragma once
// File names made from what a page controls (its title, its address). Names stay valid on
// the Windows file systems the desktop and mail attachments end up on, never hide (no
// leading dot), never name another folder (no "/") and fit 255 bytes on a character
// boundary, the extension included.
#include <string>
#include <string_view>

namespace vorlane::browser {

// Cuts Name so that Name + Extension fit MaxBytes, at a UTF-8 character boundary.
std::string FitFileName(std::string_view Name, std::string_view Extension, size_t MaxBytes = 255);

// The desktop shortcut's file name for a page: leading dots and blanks stripped, then the
// program's rule for names from titles (platform/FileNames: " * / : < > ? \ | become "-",
// control characters go); the address's host when nothing remains; then ".url".
std::string ShortcutFileName(const std::string& Title, const std::string& Url);

// The name of a page saved for mailing. The mail program gets the path inside a quoted,
// comma-separated argument (Thunderbird's -compose "…,attachment='PATH'"), so the name
// keeps only letters, digits and marks of any script, single spaces and "-_()."; anything
// else becomes "-" (control characters go). Leading dots and blanks go; "page" when
// nothing remains; then ".mht". Save As proposes the same name.
std::string MailFileName(const std::string& Title);

}  // namespace vorlane::browser
