#pragma once
// Text that a page or a file controls (titles, addresses, file names) made fit to show
// as it is in a label, a menu, a tree or a list: never markup, never a mnemonic, one line.
#include <string>
#include <string_view>

namespace vorlane::framework {

// Bytes that are not UTF-8 go through GLib's display-name conversion (as a file name
// would); control characters and line or paragraph separators become spaces.
std::string LiteralLabel(std::string_view Text);

// LiteralLabel for a menu model's item label, where "_" marks a mnemonic: every "_" is
// doubled so it shows as itself.
std::string LiteralMenuLabel(std::string_view Text);

}  // namespace vorlane::framework
