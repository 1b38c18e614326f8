#pragma once
// Window, engine and end-to-end tests run with LANG=zh_CN.UTF-8 (see tests/CMakeLists.txt).
// Without that locale on the machine the C library would quietly fall back to English and
// the tests would pass for the wrong reason: say so instead.
#include <clocale>
#include <locale.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorlane::test {

inline bool TestLocaleAvailable() {
  const char* Lang = std::getenv("LANG");
  if (!Lang || std::strncmp(Lang, "zh_CN", 5) != 0) return true;
  // Checked without switching: the program's locale stays for GTK to set.
  if (locale_t Locale = newlocale(LC_ALL_MASK, "", locale_t(nullptr))) {
    freelocale(Locale);
    return true;
  }
  std::fprintf(stderr, "the locale %s is not installed: run 'make deps'\n", Lang);
  return false;
}

}  // namespace vorlane::test
