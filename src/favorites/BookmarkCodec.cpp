#include "favorites/BookmarkCodec.h"

#include "platform/FileNames.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace vorlane::favorites {
namespace {

constexpr std::string_view ShortcutExtension = ".url";
// Room below the base folder: paths longer than PATH_MAX (4096) cannot be opened at all.
constexpr std::size_t MaxFolderPathBytes = 2048;

char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
  if (Text.size() < Prefix.size()) return false;
  for (std::size_t I = 0; I < Prefix.size(); ++I)
    if (Lower(Text[I]) != Lower(Prefix[I])) return false;
  return true;
}

// Needle must be given in lower case.
std::size_t FindNoCase(std::string_view Hay, std::string_view Needle, std::size_t From = 0) {
  if (Needle.empty() || Hay.size() < Needle.size()) return std::string_view::npos;
  for (std::size_t I = From; I + Needle.size() <= Hay.size(); ++I) {
    if (Lower(Hay[I]) != Needle[0]) continue;
    if (StartsWithNoCase(Hay.substr(I), Needle)) return I;
  }
  return std::string_view::npos;
}

bool IsSpace(char C) { return C == ' ' || C == '\t' || C == '\f' || C == '\v'; }

std::string_view TrimSpaces(std::string_view S) {
  while (!S.empty() && IsSpace(S.front())) S.remove_prefix(1);
  while (!S.empty() && IsSpace(S.back())) S.remove_suffix(1);
  return S;
}

// The '>' that ends the tag opened at Pos, skipping quoted attribute values. When a quote
// is never closed (ADD_DATE="1>Name</A>), the first '>' after Pos, as the old positional
// reader took it; npos when there is none.
std::size_t QuotedTagEnd(std::string_view Line, std::size_t Pos);
std::size_t TagEnd(std::string_view Line, std::size_t Pos) {
  std::size_t End = QuotedTagEnd(Line, Pos);
  return End != std::string_view::npos ? End : Line.find('>', Pos);
}

std::size_t QuotedTagEnd(std::string_view Line, std::size_t Pos) {
  char Quote = 0;
  for (std::size_t I = Pos; I < Line.size(); ++I) {
    char C = Line[I];
    if (Quote) {
      if (C == Quote) Quote = 0;
    } else if (C == '"' || C == '\'') {
      // Only a quote right after "=" opens a value; a stray one in a bare word does not.
      std::size_t J = I;
      while (J > Pos && IsSpace(Line[J - 1])) --J;
      if (J > Pos && Line[J - 1] == '=') Quote = C;
    } else if (C == '>') {
      return I;
    }
  }
  return std::string_view::npos;
}

// The value of attribute Name (lower case) inside Tag, quoted or bare.
std::optional<std::string_view> Attribute(std::string_view Tag, std::string_view Name) {
  std::size_t From = 0;
  for (;;) {
    std::size_t At = FindNoCase(Tag, Name, From);
    if (At == std::string_view::npos) return std::nullopt;
    From = At + 1;
    if (At == 0 || !(IsSpace(Tag[At - 1]) || Tag[At - 1] == '"' || Tag[At - 1] == '\'')) continue;
    std::size_t P = At + Name.size();
    while (P < Tag.size() && IsSpace(Tag[P])) ++P;
    if (P >= Tag.size() || Tag[P] != '=') continue;
    ++P;
    while (P < Tag.size() && IsSpace(Tag[P])) ++P;
    if (P < Tag.size() && (Tag[P] == '"' || Tag[P] == '\'')) {
      std::size_t Close = Tag.find(Tag[P], P + 1);
      if (Close == std::string_view::npos) return Tag.substr(P + 1);
      return Tag.substr(P + 1, Close - P - 1);
    }
    std::size_t Stop = P;
    while (Stop < Tag.size() && !IsSpace(Tag[Stop]) && Tag[Stop] != '>') ++Stop;
    return Tag.substr(P, Stop - P);
  }
}

// The text of an element whose start tag ends at TagClose: up to its end tag (CloseTag,
// lower case), else up to the next '<', else to the end of the line.
std::string_view ElementText(std::string_view Line, std::size_t TagClose, std::string_view CloseTag) {
  if (TagClose == std::string_view::npos) return {};
  std::size_t Start = TagClose + 1;
  std::size_t Stop = FindNoCase(Line, CloseTag, Start);
  if (Stop == std::string_view::npos) Stop = Line.find('<', Start);
  if (Stop == std::string_view::npos) Stop = Line.size();
  return Line.substr(Start, Stop - Start);
}

// The position of an anchor start tag "<a" followed by a blank or '>'.
std::size_t FindAnchor(std::string_view Line) {
  for (std::size_t At = FindNoCase(Line, "<a"); At != std::string_view::npos;
       At = FindNoCase(Line, "<a", At + 1)) {
    if (At + 2 < Line.size() && (IsSpace(Line[At + 2]) || Line[At + 2] == '>')) return At;
  }
  return std::string_view::npos;
}

void AppendUtf8(std::string& Out, std::uint32_t Cp) {
  if (Cp == 0 || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) Cp = 0xFFFD;
  if (Cp < 0x80) {
    Out += static_cast<char>(Cp);
  } else if (Cp < 0x800) {
    Out += static_cast<char>(0xC0 | (Cp >> 6));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else if (Cp < 0x10000) {
    Out += static_cast<char>(0xE0 | (Cp >> 12));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (Cp >> 18));
    Out += static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Cp & 0x3F));
  }
}

// The length of the reference at Text[0] == '&' and its decoded text, if it is one.
std::optional<std::pair<std::size_t, std::string>> Reference(std::string_view Text) {
  static constexpr std::pair<std::string_view, std::string_view> Named[] = {
      {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}};
  for (auto [Name, Value] : Named)
    if (Text.substr(0, Name.size()) == Name) return std::pair{Name.size(), std::string(Value)};
  if (Text.size() < 4 || Text[1] != '#') return std::nullopt;
  bool Hex = Text[2] == 'x' || Text[2] == 'X';
  std::size_t I = Hex ? 3 : 2;
  std::uint32_t Cp = 0;
  std::size_t Digits = 0;
  for (; I < Text.size() && Text[I] != ';'; ++I, ++Digits) {
    char C = Text[I];
    int D = C >= '0' && C <= '9' ? C - '0'
            : Hex && C >= 'a' && C <= 'f' ? C - 'a' + 10
            : Hex && C >= 'A' && C <= 'F' ? C - 'A' + 10
                                          : -1;
    if (D < 0 || Digits >= 8) return std::nullopt;
    Cp = Cp * (Hex ? 16 : 10) + static_cast<std::uint32_t>(D);
  }
  if (I >= Text.size() || Digits == 0) return std::nullopt;
  std::string Out;
  AppendUtf8(Out, Cp);
  return std::pair{I + 1, Out};
}

std::string Indent(int Level) { return std::string(static_cast<std::size_t>(std::max(Level, 0)) * 4, ' '); }

void CloseFolders(std::vector<std::string>& Lines, int From, int To) {
  for (int K = From; K >= To; --K) {
    Lines.push_back(Indent(K) + "</DL><P>");
    Lines.emplace_back();
  }
}

}  // namespace

std::vector<std::string> SplitBookmarkLines(std::string_view Text) {
  std::vector<std::string> Lines;
  std::size_t Start = 0;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    char C = Text[I];
    if (C != '\r' && C != '\n') continue;
    Lines.emplace_back(Text.substr(Start, I - Start));
    if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
    Start = I + 1;
  }
  if (Start < Text.size()) Lines.emplace_back(Text.substr(Start));
  return Lines;
}

void SortEntries(std::vector<TUrlRec>& Entries) {
  // The keys are made once per entry: one conversion each, not one per comparison.
  platform::CodePageConverter ToGb18030("UTF-8", "GB18030");
  auto Key = [&](const std::string& Text) {
    bool Ascii = std::all_of(Text.begin(), Text.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; });
    return Ascii ? Text : ToGb18030(Text).value_or(Text);
  };
  struct Keyed {
    std::string Folder, Name;
    std::size_t Index;
  };
  std::vector<Keyed> Keys;
  Keys.reserve(Entries.size());
  for (std::size_t I = 0; I < Entries.size(); ++I) Keys.push_back({Key(Entries[I].Folder), Key(Entries[I].Name), I});
  // "/" is 0x2F in GB18030 and never part of a multi-byte character, so it can rank lowest.
  auto Rank = [](char C) { return C == '/' ? 0 : static_cast<unsigned char>(C) + 1; };
  auto Byte = [](char C) { return static_cast<unsigned char>(C); };
  std::stable_sort(Keys.begin(), Keys.end(), [&](const Keyed& A, const Keyed& B) {
    const std::string &X = A.Folder, &Y = B.Folder;
    std::size_t N = std::min(X.size(), Y.size());
    for (std::size_t I = 0; I < N; ++I)
      if (X[I] != Y[I]) return Rank(X[I]) < Rank(Y[I]);
    if (X.size() != Y.size()) return X.size() < Y.size();
    return std::lexicographical_compare(A.Name.begin(), A.Name.end(), B.Name.begin(), B.Name.end(),
                                        [&](char P, char Q) { return Byte(P) < Byte(Q); });
  });
  std::vector<TUrlRec> Sorted;
  Sorted.reserve(Entries.size());
  for (const Keyed& K : Keys) Sorted.push_back(std::move(Entries[K.Index]));
  Entries = std::move(Sorted);
}

std::string EscapeBookmarkText(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (char C : Text) {
    switch (C) {
      case '&': Out += "&amp;"; break;
      case '<': Out += "&lt;"; break;
      case '>': Out += "&gt;"; break;
      case '"': Out += "&quot;"; break;
      case '\r': Out += "&#13;"; break;
      case '\n': Out += "&#10;"; break;
      default: Out += C;
    }
  }
  return Out;
}

std::string EscapeBookmarkAddress(std::string_view Address) {
  std::string Out;
  Out.reserve(Address.size());
  for (std::size_t I = 0; I < Address.size(); ++I) {
    char C = Address[I];
    if (C == '"') Out += "&quot;";
    else if (C == '\r') Out += "&#13;";
    else if (C == '\n') Out += "&#10;";
    // A raw "&" is what browsers write in addresses; escape it only where a reader would
    // otherwise take it for a reference and change the address.
    else if (C == '&' && Reference(Address.substr(I))) Out += "&amp;";
    else Out += C;
  }
  return Out;
}

std::vector<std::string> BookmarkFileLines(const std::vector<TUrlRec>& SortedEntries,
                                           const std::string& ApplicationTitle) {
  // The doctype and the charset line as other browsers write them: without them Firefox
  // and Chrome read the UTF-8 titles in some legacy encoding.
  std::vector<std::string> Lines = {"<!DOCTYPE NETSCAPE-Bookmark-file-1>",
                                    "<!-- Made with " + ApplicationTitle + " -->",
                                    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">",
                                    "",
                                    "<TITLE>Exported Favorites</TITLE>",
                                    "<H1>Exported Favorites</H1>",
                                    "",
                                    "<DL><P>"};
  Lines.reserve(SortedEntries.size() + 16);
  int OpenLevel = 0;  // 0: no folder open yet
  for (const TUrlRec& E : SortedEntries) {
    if (!E.Name.empty()) {
      std::string_view Title = E.Name;
      if (Title.back() == '.') Title.remove_suffix(1);
      Lines.push_back(Indent(E.Level) + "<DT><A HREF=\"" + EscapeBookmarkAddress(E.Address) + "\">" +
                      EscapeBookmarkText(Title) + "</A><BR>");
      continue;
    }
    if (OpenLevel > 0) CloseFolders(Lines, OpenLevel, E.Level);
    std::size_t Slash = E.Folder.rfind('/');
    std::string_view Heading = E.Folder;
    if (Slash != std::string::npos) Heading.remove_prefix(Slash + 1);
    Lines.emplace_back();
    Lines.push_back(Indent(E.Level) + "<DT><H3>" + EscapeBookmarkText(Heading) + "</H3>");
    Lines.push_back(Indent(E.Level) + "<DL><P>");
    OpenLevel = E.Level;
  }
  if (OpenLevel > 0) CloseFolders(Lines, OpenLevel, 1);
  Lines.emplace_back();
  Lines.emplace_back("</DL><P>");
  return Lines;
}

std::string JoinBookmarkLines(const std::vector<std::string>& Lines) {
  std::size_t Size = 0;
  for (const auto& L : Lines) Size += L.size() + 2;
  std::string Out;
  Out.reserve(Size);
  for (const auto& L : Lines) {
    Out += L;
    Out += "\r\n";
  }
  return Out;
}

std::string DecodeHtmlEntities(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size();) {
    if (Text[I] == '&') {
      if (auto Ref = Reference(Text.substr(I))) {
        Out += Ref->second;
        I += Ref->first;
        continue;
      }
    }
    Out += Text[I++];
  }
  return Out;
}

bool IsWebAddress(std::string_view Address) {
  Address = TrimSpaces(Address);
  return StartsWithNoCase(Address, "http://") || StartsWithNoCase(Address, "https://");
}

std::string SafeFolderName(std::string_view RawTitle) {
  return platform::FileNameFromTitle(DecodeHtmlEntities(RawTitle));
}

std::string SafeLinkName(std::string_view RawTitle) {
  std::string Name = platform::FileNameFromTitle(DecodeHtmlEntities(RawTitle), ShortcutExtension);
  if (!Name.empty()) Name.resize(Name.size() - ShortcutExtension.size());
  return Name;
}

namespace {

// The charset a <META … charset=…> line declares, lower case; empty when none does.
std::string DeclaredCharset(std::string_view Bytes) {
  for (std::size_t Start = 0; Start < Bytes.size();) {
    std::size_t Stop = Bytes.find('\n', Start);
    if (Stop == std::string_view::npos) Stop = Bytes.size();
    std::string_view Line = Bytes.substr(Start, Stop - Start);
    Start = Stop + 1;
    if (FindNoCase(Line, "<meta") == std::string_view::npos) continue;
    std::size_t At = FindNoCase(Line, "charset=");
    if (At == std::string_view::npos) continue;
    std::string Name;
    for (std::size_t I = At + 8; I < Line.size(); ++I) {
      char C = Lower(Line[I]);
      if (C == '"' || C == '\'' || C == ';' || C == '>' || C == '/' || IsSpace(C) || C == '\r') {
        if (Name.empty() && (C == '"' || C == '\'')) continue;  // charset="utf-8"
        break;
      }
      Name += C;
    }
    return Name;
  }
  return {};
}

}  // namespace

std::string DecodeBookmarkFile(std::string_view Bytes) {
  if (auto Marked = platform::DecodeByteOrderMark(Bytes)) return *Marked;
  std::string Charset = DeclaredCharset(Bytes);
  // A file that says it is UTF-8 is, whatever a stray byte in one title suggests.
  if (Charset == "utf-8" || Charset == "utf8") return platform::DecodeUtf8Lossy(Bytes);
  return platform::DecodeLegacyText(Bytes);
}

std::vector<TUrlRec> ParseBookmarkLines(const std::vector<std::string>& Lines) {
  std::vector<TUrlRec> Entries;
  // The current folder path and, for each open level, where its part of the path ends;
  // a heading at level k replaces whatever level k held before.
  std::string Folder;
  std::vector<std::size_t> Ends{0};
  int Level = 0;

  for (const std::string& Raw : Lines) {
    std::string_view Line = Raw;
    if (FindNoCase(Line, "</dl>") != std::string_view::npos) {
      if (Level > 0) {
        --Level;
        Folder.resize(Ends[static_cast<std::size_t>(Level)]);
      }
      continue;
    }
    if (std::size_t A = FindAnchor(Line); A != std::string_view::npos) {
      std::size_t Close = TagEnd(Line, A);
      std::string_view Tag = Line.substr(A, Close == std::string_view::npos ? Line.size() - A : Close - A);
      if (auto Href = Attribute(Tag, "href")) {
        std::string Address(TrimSpaces(DecodeHtmlEntities(*Href)));
        if (!IsWebAddress(Address)) continue;  // other schemes are not favorites
        std::string Name = SafeLinkName(ElementText(Line, Close, "</a"));
        if (!Name.empty()) Entries.push_back({Folder, std::move(Name), std::move(Address), Level});
        continue;
      }
    }
    if (std::size_t H = FindNoCase(Line, "<h3"); H != std::string_view::npos) {
      ++Level;
      std::string Name = SafeFolderName(ElementText(Line, TagEnd(Line, H), "</h3"));
      Folder.resize(Ends[static_cast<std::size_t>(Level - 1)]);
      // An empty heading adds no folder of its own; headings nested deeper than a path can
      // reach keep their contents in the deepest folder that still fits.
      if (!Name.empty() && Folder.size() + 1 + Name.size() <= MaxFolderPathBytes) {
        if (!Folder.empty()) Folder += '/';
        Folder += Name;
      }
      if (Ends.size() <= static_cast<std::size_t>(Level)) Ends.resize(static_cast<std::size_t>(Level) + 1);
      Ends[static_cast<std::size_t>(Level)] = Folder.size();
      Entries.push_back({Folder, "", "", Level});
    }
  }
  return Entries;
}

std::filesystem::path EntryRelativePath(const TUrlRec& Entry) {
  std::filesystem::path P(Entry.Folder);
  if (!Entry.Name.empty()) P /= Entry.Name + std::string(ShortcutExtension);
  return P;
}

}  // namespace vorlane::favorites
