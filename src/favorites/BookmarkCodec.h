#pragma once
// The bookmark HTML file that export writes and import reads, as plain functions from
// entries to lines and from lines to entries: no files, no dialogs. The reader is
// line-based like the old one (and like Chromium's), but liberal: upper or lower case tags,
// attributes in any order, entities decoded, web links of either scheme.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::favorites {

// One folder or favorite. Folder is the path below the exported (or importing) folder with
// "/" between names, empty at the top; Name is empty for a folder entry. Entries gathered
// by the exporter keep the file name without its last three characters ("Example." for
// "Example.url") so that names sort as the old program sorted them; the importer's names
// are the plain titles. Level is the folder's depth (1 directly below the top) or, for a
// favorite, the holding folder's depth plus one.
struct TUrlRec {
  std::string Folder;
  std::string Name;
  std::string Address;
  int Level = 0;

  bool operator==(const TUrlRec&) const = default;
};

// A line ends at CR, LF or CR LF; a break at the very end adds no empty line.
std::vector<std::string> SplitBookmarkLines(std::string_view Text);

// Folder, then name, byte by byte in the old Chinese code page (the GB18030 bytes, which
// are the GBK bytes for every GBK character: 阿 before 中); a folder sorts right before
// its own contents and subfolders (the separator counts as lower than any character),
// and a folder's entry before the favorites in it. Equal entries keep their order.
void SortEntries(std::vector<TUrlRec>& Entries);

// --- writing -----------------------------------------------------------------------

// Titles: & < > " as entities, line breaks as character references.
std::string EscapeBookmarkText(std::string_view Text);
// Addresses: " as an entity; & only where it would otherwise read as an entity.
std::string EscapeBookmarkAddress(std::string_view Address);

// The whole file for entries sorted with SortEntries, one item per line.
std::vector<std::string> BookmarkFileLines(const std::vector<TUrlRec>& SortedEntries,
                                           const std::string& ApplicationTitle);
// Each line followed by CR LF, the last one too.
std::string JoinBookmarkLines(const std::vector<std::string>& Lines);

// --- reading -----------------------------------------------------------------------

// The text of a bookmark file, decided once for the whole file: a byte order mark says
// how; else a <META … charset=UTF-8> line makes it UTF-8 (invalid bytes replaced); else it
// is UTF-8 when valid and GB18030 otherwise (old exports from a Chinese Windows).
std::string DecodeBookmarkFile(std::string_view Bytes);

// Decodes &amp; &lt; &gt; &quot; &apos; and numeric character references; anything else
// stays as it stands. References to no character give U+FFFD.
std::string DecodeHtmlEntities(std::string_view Text);

// True for addresses that begin with "http://" or "https://" in any letter case.
bool IsWebAddress(std::string_view Address);

// Names as platform::FileNameFromTitle cleans them, entities decoded first: folder names
// of at most 255 bytes, link names (without ".url") of at most 251.
std::string SafeFolderName(std::string_view RawTitle);
std::string SafeLinkName(std::string_view RawTitle);

// Every line is examined in one loop. A line with "</DL>" closes a level (never below 0),
// a line with an anchor whose address is a web address is a favorite, a line with "<H3"
// opens a folder; other lines are ignored. Favorites with an empty title are dropped.
// A tag whose quotes do not balance ends at its first ">", so that the name after it
// still counts.
std::vector<TUrlRec> ParseBookmarkLines(const std::vector<std::string>& Lines);

// Where an imported entry lands below the base folder: its folder, or folder/name.url.
std::filesystem::path EntryRelativePath(const TUrlRec& Entry);

}  // namespace vorlane::favorites
