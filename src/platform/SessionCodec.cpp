// The text form of the saved session and the start-up decision; see SessionFile.h.
#include "platform/Base64.h"
#include "platform/SessionFile.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace vorlane::platform {
namespace {

constexpr std::string_view MagicLine = "Vorlane session 1";
constexpr std::string_view PageLine = "page";
constexpr std::string_view EndLine = "end";

// The length of the valid UTF-8 character at the start of Text, 0 when there is none.
std::size_t Utf8CharLength(std::string_view Text) {
  auto Byte = [&](std::size_t I) { return static_cast<unsigned char>(Text[I]); };
  unsigned char Lead = Byte(0);
  std::size_t Length = Lead >= 0xF5 ? 0 : Lead >= 0xF0 ? 4 : Lead >= 0xE0 ? 3 : Lead >= 0xC2 ? 2 : 0;
  if (Length == 0 || Text.size() < Length) return 0;
  for (std::size_t I = 1; I < Length; ++I)
    if ((Byte(I) & 0xC0) != 0x80) return 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if (Lead == 0xE0 && Byte(1) < 0xA0) return 0;
  if (Lead == 0xED && Byte(1) >= 0xA0) return 0;
  if (Lead == 0xF0 && Byte(1) < 0x90) return 0;
  if (Lead == 0xF4 && Byte(1) >= 0x90) return 0;
  return Length;
}

void AppendEscaped(std::string& Out, std::string_view Text) {
  constexpr char Hex[] = "0123456789ABCDEF";
  std::size_t I = 0;
  while (I < Text.size()) {
    unsigned char C = static_cast<unsigned char>(Text[I]);
    if (C >= 0x80) {
      if (std::size_t Length = Utf8CharLength(Text.substr(I))) {
        Out.append(Text.substr(I, Length));
        I += Length;
        continue;
      }
    } else if (C >= 0x20 && C != 0x7F && C != '%') {
      Out += static_cast<char>(C);
      ++I;
      continue;
    }
    Out += '%';
    Out += Hex[C >> 4];
    Out += Hex[C & 15];
    ++I;
  }
}

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

std::optional<std::string> Unescape(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] != '%') {
      Out += Text[I];
      continue;
    }
    if (Text.size() - I < 3) return std::nullopt;
    int High = HexValue(Text[I + 1]), Low = HexValue(Text[I + 2]);
    if (High < 0 || Low < 0) return std::nullopt;
    Out += static_cast<char>(High << 4 | Low);
    I += 2;
  }
  return Out;
}

std::optional<int> ParseInt(std::string_view Text, int Min, int Max) {
  int Value = 0;
  auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size()) return std::nullopt;
  if (Value < Min || Value > Max) return std::nullopt;
  return Value;
}

// Walks the text line by line; a line counts only with its "\n", so a cut-off last line
// is never taken for a whole one.
class TLineReader {
public:
  explicit TLineReader(std::string_view Text) : FRest(Text) {}

  std::optional<std::string_view> Next() {
    std::size_t Lf = FRest.find('\n');
    if (Lf == std::string_view::npos) return std::nullopt;
    std::string_view Line = FRest.substr(0, Lf);
    FRest.remove_prefix(Lf + 1);
    return Line;
  }
  bool AtEnd() const { return FRest.empty(); }

private:
  std::string_view FRest;
};

struct TField {
  std::string_view Key;
  std::string_view Value;
};

std::optional<TField> SplitField(std::string_view Line) {
  std::size_t Equals = Line.find('=');
  if (Equals == std::string_view::npos) return std::nullopt;
  return TField{Line.substr(0, Equals), Line.substr(Equals + 1)};
}

// Reads "key=value" lines up to the next line without "=" ("page" or "end") and returns
// that line; nullopt when Take refuses a field or the text ends first.
template <typename TTake>
std::optional<std::string_view> ReadFields(TLineReader& Reader, TTake Take) {
  while (auto Line = Reader.Next()) {
    auto Field = SplitField(*Line);
    if (!Field) return Line;
    if (!Take(*Field)) return std::nullopt;
  }
  return std::nullopt;
}

// Marks a known key as read; false when it was read before.
bool FirstTime(bool& Seen) {
  if (Seen) return false;
  Seen = true;
  return true;
}

std::optional<TSavedPage> ReadPageFields(TLineReader& Reader, std::string_view& NextLine) {
  TSavedPage Page;
  bool Url = false, Title = false, History = false;
  auto Stop = ReadFields(Reader, [&](const TField& F) {
    if (F.Key == "url") {
      auto Text = Unescape(F.Value);
      if (!Text || !FirstTime(Url)) return false;
      Page.Url = std::move(*Text);
    } else if (F.Key == "title") {
      auto Text = Unescape(F.Value);
      if (!Text || !FirstTime(Title)) return false;
      Page.Title = std::move(*Text);
    } else if (F.Key == "history") {
      auto Bytes = DecodeBase64(F.Value);
      if (!Bytes || !FirstTime(History)) return false;
      Page.History = std::move(*Bytes);
    }
    return true;
  });
  if (!Stop || !Url || !Title || !History) return std::nullopt;
  NextLine = *Stop;
  return Page;
}

}  // namespace

std::string EncodeSession(const TSavedSession& Session) {
  std::size_t Count = std::min(Session.Pages.size(), MaxSessionPages);
  int Selected = Session.Selected >= 0 && static_cast<std::size_t>(Session.Selected) < Count ? Session.Selected : -1;
  std::string Out;
  Out.append(MagicLine).append("\n");
  Out.append("ended-cleanly=").append(Session.EndedCleanly ? "1" : "0").append("\n");
  Out.append("restore-attempts=").append(std::to_string(std::max(Session.RestoreAttempts, 0))).append("\n");
  Out.append("selected=").append(std::to_string(Selected)).append("\n");
  Out.append("pages=").append(std::to_string(Count)).append("\n");
  for (std::size_t I = 0; I < Count; ++I) {
    const TSavedPage& Page = Session.Pages[I];
    Out.append(PageLine).append("\nurl=");
    AppendEscaped(Out, Page.Url);
    Out.append("\ntitle=");
    AppendEscaped(Out, Page.Title);
    Out.append("\nhistory=").append(EncodeBase64(Page.History)).append("\n");
  }
  Out.append(EndLine).append("\n");
  return Out;
}

std::optional<TSavedSession> DecodeSession(std::string_view Text) {
  TLineReader Reader(Text);
  if (Reader.Next() != MagicLine) return std::nullopt;

  TSavedSession Session;
  std::optional<int> Selected, Count;
  bool Ended = false, Attempts = false;
  auto Stop = ReadFields(Reader, [&](const TField& F) {
    if (F.Key == "ended-cleanly") {
      if (F.Value != "0" && F.Value != "1") return false;
      Session.EndedCleanly = F.Value == "1";
      return FirstTime(Ended);
    }
    if (F.Key == "restore-attempts") {
      auto N = ParseInt(F.Value, 0, INT_MAX);
      if (!N) return false;
      Session.RestoreAttempts = *N;
      return FirstTime(Attempts);
    }
    if (F.Key == "selected" || F.Key == "pages") {
      std::optional<int>& Slot = F.Key == "selected" ? Selected : Count;
      if (Slot) return false;
      Slot = ParseInt(F.Value, F.Key == "selected" ? -1 : 0, static_cast<int>(MaxSessionPages));
      return Slot.has_value();
    }
    return true;
  });
  if (!Stop || !Ended || !Attempts || !Selected || !Count) return std::nullopt;

  std::string_view Line = *Stop;
  while (Line == PageLine) {
    if (Session.Pages.size() >= static_cast<std::size_t>(*Count)) return std::nullopt;
    auto Page = ReadPageFields(Reader, Line);
    if (!Page) return std::nullopt;
    Session.Pages.push_back(std::move(*Page));
  }
  if (Line != EndLine || !Reader.AtEnd()) return std::nullopt;
  if (Session.Pages.size() != static_cast<std::size_t>(*Count)) return std::nullopt;
  if (*Selected >= *Count) return std::nullopt;
  Session.Selected = *Selected;
  return Session;
}

TSessionStart DecideSessionStart(const TSavedSession& Saved, bool RestoreOption) {
  if (Saved.Pages.empty()) return TSessionStart::Nothing;
  if (Saved.EndedCleanly) return RestoreOption ? TSessionStart::Restore : TSessionStart::Nothing;
  // A crash: the pages come back, unless bringing them back is what crashed the last start.
  return Saved.RestoreAttempts >= 1 ? TSessionStart::OfferLinks : TSessionStart::Restore;
}

}  // namespace vorlane::platform
