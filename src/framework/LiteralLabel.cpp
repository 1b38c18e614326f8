#include "framework/LiteralLabel.h"

#include <glib.h>

namespace vorlane::framework {

std::string LiteralLabel(std::string_view Text) {
  std::string Utf8(Text);
  if (!g_utf8_validate(Utf8.data(), static_cast<gssize>(Utf8.size()), nullptr)) {
    // The conversion stops at a NUL; a NUL is a control character anyway.
    for (char& C : Utf8)
      if (C == '\0') C = ' ';
    gchar* Display = g_filename_display_name(Utf8.c_str());
    Utf8 = Display;
    g_free(Display);
  }
  std::string Out;
  Out.reserve(Utf8.size());
  for (const char* P = Utf8.data(); P < Utf8.data() + Utf8.size(); P = g_utf8_next_char(P)) {
    gunichar C = g_utf8_get_char(P);
    const char* Next = g_utf8_next_char(P);
    if (C == 0 || g_unichar_iscntrl(C) || C == 0x2028 || C == 0x2029)
      Out += ' ';
    else
      Out.append(P, Next);
  }
  return Out;
}

std::string LiteralMenuLabel(std::string_view Text) {
  std::string Out;
  for (char C : LiteralLabel(Text)) {
    if (C == '_') Out += '_';
    Out += C;
  }
  return Out;
}

}  // namespace vorlane::framework
