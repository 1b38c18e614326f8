#include "shell/DocumentName.h"

#include <glib.h>

#include <memory>

namespace vorlane::shell {

namespace {

// Decoded only when the result is text a caption can show: escaped bytes that are no
// UTF-8, or line breaks and other controls, stay as the address wrote them.
std::string Decoded(const std::string& Part) {
  std::unique_ptr<char, decltype(&g_free)> Plain(g_uri_unescape_string(Part.c_str(), nullptr), g_free);
  if (!Plain || !g_utf8_validate(Plain.get(), -1, nullptr)) return Part;
  for (const char* P = Plain.get(); *P; P = g_utf8_next_char(P))
    if (g_unichar_iscntrl(g_utf8_get_char(P))) return Part;
  return Plain.get();
}

}  // namespace

std::string DocumentFileName(const std::string& Url) {
  size_t Authority = Url.find("://");
  if (Authority == std::string::npos) return Url;
  size_t PathStart = Url.find('/', Authority + 3);
  size_t End = Url.find_first_of("?#", Authority + 3);
  if (End == std::string::npos) End = Url.size();
  if (PathStart == std::string::npos || PathStart >= End) return Url;
  size_t NameStart = Url.rfind('/', End - 1) + 1;
  if (NameStart >= End) return Url;
  return Decoded(Url.substr(NameStart, End - NameStart));
}

}  // namespace vorlane::shell
