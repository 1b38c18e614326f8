#include "browser/UrlFixup.h"

#include <glib.h>
#include <memory>

namespace vorlane::browser {
namespace {

bool IsBlank(char C) { return g_ascii_isspace(C); }
bool IsAsciiAlpha(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

std::string_view Trim(std::string_view Text) {
  while (!Text.empty() && IsBlank(Text.front())) Text.remove_prefix(1);
  while (!Text.empty() && IsBlank(Text.back())) Text.remove_suffix(1);
  return Text;
}

std::string ValidUtf8(std::string_view Text) {
  if (g_utf8_validate(Text.data(), static_cast<gssize>(Text.size()), nullptr)) return std::string(Text);
  std::unique_ptr<gchar, decltype(&g_free)> Valid(
      g_utf8_make_valid(Text.data(), static_cast<gssize>(Text.size())), &g_free);
  return Valid.get();
}

// "host:port" with a port of digits only, optionally followed by a path, query or fragment.
bool IsPortAfterColon(std::string_view Rest) {
  size_t Digits = 0;
  while (Digits < Rest.size() && IsDigit(Rest[Digits])) ++Digits;
  return Digits > 0 && (Digits == Rest.size() || Rest[Digits] == '/' || Rest[Digits] == '?' ||
                        Rest[Digits] == '#');
}

// RFC 3986 scheme followed by ':', unless what follows the colon is a port number
// ("localhost:8080" and "example.com:80/x" are hosts, not schemes).
bool HasScheme(std::string_view Text) {
  if (Text.empty() || !IsAsciiAlpha(Text[0])) return false;
  size_t I = 1;
  while (I < Text.size() && (IsAsciiAlpha(Text[I]) || IsDigit(Text[I]) || Text[I] == '+' ||
                             Text[I] == '-' || Text[I] == '.'))
    ++I;
  if (I >= Text.size() || Text[I] != ':') return false;
  return !IsPortAfterColon(Text.substr(I + 1));
}

bool IsHostCharacter(char C) {
  return IsAsciiAlpha(C) || IsDigit(C) || C == '.' || C == '-' || C == '_' ||
         static_cast<unsigned char>(C) >= 0x80;  // internationalised names
}

// "example.com", "127.0.0.1:8080/x", "localhost", "[::1]:8080": a host with a dot, a
// port, "localhost" or an IPv6 literal, then anything that may follow a host.
bool LooksLikeHost(std::string_view Text) {
  for (char C : Text)
    if (IsBlank(C)) return false;
  std::string_view Authority = Text.substr(0, Text.find_first_of("/?#"));
  if (Authority.starts_with("[")) {
    size_t Close = Authority.find(']');
    if (Close == std::string_view::npos) return false;
    std::string_view After = Authority.substr(Close + 1);
    return After.empty() || (After[0] == ':' && IsPortAfterColon(After.substr(1)));
  }
  size_t Colon = Authority.find(':');
  std::string_view Host = Authority.substr(0, Colon);
  if (Host.empty() || Host.front() == '.' || Host.front() == '-') return false;
  for (char C : Host)
    if (!IsHostCharacter(C)) return false;
  bool HasPort = Colon != std::string_view::npos;
  if (HasPort && !IsPortAfterColon(Authority.substr(Colon + 1))) return false;
  return HasPort || Host.find('.') != std::string_view::npos ||
         g_ascii_strcasecmp(std::string(Host).c_str(), "localhost") == 0;
}

std::string ExpandHome(std::string_view Path) {
  if (Path == "~" || Path.starts_with("~/"))
    return std::string(g_get_home_dir()) + std::string(Path.substr(1));
  return std::string(Path);
}

bool NamesLocalPath(std::string_view Text) { return Text.starts_with('/') || Text == "~" || Text.starts_with("~/"); }

// A scheme address that may hold blanks: one with "//" after its scheme ("http://host/a b",
// "file:///tmp/my page.html") or of a scheme that takes free text. "note: buy milk" is words.
bool IsAddressWithBlanks(std::string_view Text) {
  if (!HasScheme(Text)) return false;
  size_t Colon = Text.find(':');
  if (Text.substr(Colon + 1).starts_with("//")) return true;
  std::string Scheme(Text.substr(0, Colon));
  for (const char* Free : {"about", "data", "mailto"})
    if (g_ascii_strcasecmp(Scheme.c_str(), Free) == 0) return true;
  return false;
}

// Spaces inside an address are percent-encoded; other blanks stay for the engine to refuse.
std::string EncodeSpaces(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (char C : Text) {
    if (C == ' ') Out += "%20";
    else Out += C;
  }
  return Out;
}

}  // namespace

std::optional<std::string> LocalPathText(std::string_view Raw) {
  std::string_view Text = Trim(Raw);
  if (!NamesLocalPath(Text)) return std::nullopt;
  return std::string(Text);
}

bool LooksLikeAddress(std::string_view Raw, bool PathExists) {
  std::string_view Text = Trim(Raw);
  if (Text.empty()) return true;
  if (NamesLocalPath(Text)) return PathExists;
  if (IsAddressWithBlanks(Text)) return true;
  for (char C : Text)
    if (IsBlank(C)) return false;
  return HasScheme(Text) || LooksLikeHost(Text);
}

std::string FixupUrl(std::string_view Raw) {
  std::string_view Trimmed = Trim(Raw);
  if (!Trimmed.empty() && (Trimmed.front() == '/' || Trimmed.front() == '~')) {
    // A local name is bytes, not text (GBK names from a Windows zip): g_filename_to_uri
    // escapes whatever it holds. Never a look at the disk here (this runs on the UI
    // thread): a missing file is the engine's to report.
    std::string Path = ExpandHome(Trimmed);
    if (Path.front() == '/') {
      std::unique_ptr<gchar, decltype(&g_free)> Uri(
          g_filename_to_uri(Path.c_str(), nullptr, nullptr), &g_free);
      if (Uri) return Uri.get();
    }
    return ValidUtf8(Trimmed);
  }
  std::string Text = ValidUtf8(Trimmed);
  if (Text.empty()) return Text;
  if (HasScheme(Text)) return IsAddressWithBlanks(Text) ? EncodeSpaces(Text) : Text;
  if (LooksLikeHost(Text)) return "http://" + Text;
  return Text;
}

}  // namespace vorlane::browser
