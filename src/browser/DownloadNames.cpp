#include "browser/DownloadNames.h"

#include "platform/FileNames.h"
#include "platform/TextCodec.h"

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

namespace vorlane::browser {

namespace {

// Room kept for " (999)" and ".part" after the name.
constexpr std::size_t ReservedBytes = 6 + 5;
constexpr std::size_t MaxExtensionBytes = 16;

std::string Lower(std::string_view Text) {
  std::string Out(Text);
  for (char& C : Out) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Out;
}

std::string Trim(std::string_view Text) {
  size_t Start = Text.find_first_not_of(" \t");
  if (Start == std::string_view::npos) return {};
  size_t End = Text.find_last_not_of(" \t");
  return std::string(Text.substr(Start, End - Start + 1));
}

std::string PercentDecode(std::string_view Text) {
  std::string Out;
  for (size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '%' && I + 2 < Text.size() &&
        std::isxdigit(static_cast<unsigned char>(Text[I + 1])) &&
        std::isxdigit(static_cast<unsigned char>(Text[I + 2]))) {
      Out += static_cast<char>(std::stoi(std::string(Text.substr(I + 1, 2)), nullptr, 16));
      I += 2;
    } else {
      Out += Text[I];
    }
  }
  return Out;
}

// The parameters of a header value: "attachment; filename="a b"; filename*=UTF-8''x".
std::vector<std::pair<std::string, std::string>> Parameters(std::string_view Value) {
  std::vector<std::pair<std::string, std::string>> Out;
  size_t At = Value.find(';');
  while (At != std::string_view::npos && At < Value.size()) {
    ++At;
    size_t Equals = Value.find('=', At);
    if (Equals == std::string_view::npos) break;
    std::string Name = Lower(Trim(Value.substr(At, Equals - At)));
    size_t V = Value.find_first_not_of(" \t", Equals + 1);
    std::string Text;
    if (V != std::string_view::npos && Value[V] == '"') {
      // A quoted string; a backslash takes the next character as it is.
      for (At = V + 1; At < Value.size() && Value[At] != '"'; ++At) {
        if (Value[At] == '\\' && At + 1 < Value.size()) ++At;
        Text += Value[At];
      }
      At = Value.find(';', At);
    } else {
      size_t End = Value.find(';', Equals + 1);
      Text = Trim(Value.substr(Equals + 1, End == std::string_view::npos ? std::string_view::npos : End - Equals - 1));
      At = End;
    }
    Out.emplace_back(std::move(Name), std::move(Text));
  }
  return Out;
}

// RFC 5987: charset'language'percent-encoded bytes.
std::optional<std::string> ExtendedValue(std::string_view Value) {
  size_t First = Value.find('\'');
  size_t Second = First == std::string_view::npos ? First : Value.find('\'', First + 1);
  if (Second == std::string_view::npos) return std::nullopt;
  std::string Charset = Lower(Value.substr(0, First));
  std::string Bytes = PercentDecode(Value.substr(Second + 1));
  if (Charset == "utf-8" || Charset.empty()) {
    if (platform::IsValidUtf8(Bytes)) return Bytes;
    return platform::DecodeLegacyText(Bytes);
  }
  if (auto Text = platform::ConvertCodePage(Bytes, Charset.c_str(), "UTF-8")) return Text;
  return platform::DecodeLegacyText(Bytes);
}

// What follows the last "/" or "\\": a name, never a way into another folder.
std::string LastPart(std::string Name) {
  std::replace(Name.begin(), Name.end(), '\\', '/');
  return Name.substr(Name.find_last_of('/') == std::string::npos ? 0 : Name.find_last_of('/') + 1);
}

std::string LastPathPart(std::string_view Url, std::string* Host) {
  GUri* Parsed = g_uri_parse(std::string(Url).c_str(), G_URI_FLAGS_ENCODED, nullptr);
  if (!Parsed) return {};
  if (const char* H = g_uri_get_host(Parsed)) *Host = H;
  // A data: address's "path" is its content, no name.
  std::string Path = std::string_view(g_uri_get_scheme(Parsed)) == "data" ? "" : g_uri_get_path(Parsed);
  g_uri_unref(Parsed);
  return LastPart(platform::DecodeLegacyText(PercentDecode(LastPart(Path))));
}

// Splits "name.ext" at its last dot; a name that starts with its only dot has none.
std::pair<std::string, std::string> StemAndExtension(std::string_view Name) {
  size_t Dot = Name.find_last_of('.');
  if (Dot == std::string_view::npos || Dot == 0 || Name.size() - Dot > MaxExtensionBytes)
    return {std::string(Name), {}};
  return {std::string(Name.substr(0, Dot)), std::string(Name.substr(Dot))};
}

}  // namespace

std::string ContentDispositionFileName(std::string_view Value) {
  std::string Plain;
  for (auto& [Name, Text] : Parameters(Value)) {
    if (Name == "filename*") {
      if (auto Extended = ExtendedValue(Text); Extended && !Extended->empty()) return *Extended;
    } else if (Name == "filename" && Plain.empty()) {
      Plain = platform::DecodeLegacyText(Text);
    }
  }
  return Plain;
}

std::string ExtensionForMimeType(std::string_view MimeType) {
  static const std::pair<const char*, const char*> Known[] = {
      {"application/zip", ".zip"},     {"application/pdf", ".pdf"},       {"application/gzip", ".gz"},
      {"application/x-gzip", ".gz"},   {"application/x-tar", ".tar"},     {"application/x-7z-compressed", ".7z"},
      {"application/json", ".json"},   {"application/x-msdownload", ".exe"}, {"application/vnd.debian.binary-package", ".deb"},
      {"text/plain", ".txt"},          {"text/html", ".html"},            {"text/csv", ".csv"},
      {"image/png", ".png"},           {"image/jpeg", ".jpg"},            {"image/gif", ".gif"},
      {"image/webp", ".webp"},         {"image/svg+xml", ".svg"},         {"audio/mpeg", ".mp3"},
      {"video/mp4", ".mp4"},           {"video/webm", ".webm"},
  };
  std::string Type = Lower(Trim(MimeType.substr(0, MimeType.find(';'))));
  for (auto [Mime, Extension] : Known)
    if (Type == Mime) return Extension;
  return {};
}

std::string DownloadFileName(std::string_view ContentDisposition, std::string_view Url, std::string_view MimeType) {
  std::string Host;
  const std::string FromAddress = LastPathPart(Url, &Host);
  // Only the last part of whatever path the server or the page sends counts.
  std::string Name = LastPart(ContentDispositionFileName(ContentDisposition));
  if (Name.empty()) Name = FromAddress;
  // A host name's dots are no extension.
  auto [Stem, Extension] = Name.empty() ? std::pair{Host, std::string()} : StemAndExtension(Name);
  if (Extension.empty()) Extension = ExtensionForMimeType(MimeType);
  if (!Extension.empty()) {
    Extension = platform::CleanNameCharacters(Extension.substr(1));  // the same characters for the extension
    if (!Extension.empty()) Extension.insert(0, ".");
  }
  std::string Safe = platform::FileNameFromTitle(
      platform::ShortenUtf8(Stem, platform::MaxFileNameBytes - ReservedBytes - Extension.size()), Extension);
  if (Safe.empty() || Safe == Extension) Safe = platform::FileNameFromTitle("下载", Extension);
  return Safe;
}
}  // namespace vorlane::browser
