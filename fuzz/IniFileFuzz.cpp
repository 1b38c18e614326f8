// The INI reader and writer on arbitrary text: no crash; setting a value and reading it
// back agrees with a fresh file; every other line survives the write.
#include "FuzzCheck.h"
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using vorlane::platform::IniFile;

namespace {

std::vector<std::string> Lines(const std::string& Text) {
  std::vector<std::string> Out;
  std::size_t Start = 0;
  while (Start < Text.size()) {
    std::size_t Lf = Text.find('\n', Start);
    std::string L = Text.substr(Start, Lf == std::string::npos ? std::string::npos : Lf - Start);
    if (!L.empty() && L.back() == '\r') L.pop_back();
    Out.push_back(L);
    if (Lf == std::string::npos) break;
    Start = Lf + 1;
  }
  return Out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // The first line of the input is the value to write, the rest the file.
  std::string Input(reinterpret_cast<const char*>(Data), Size);
  std::size_t Lf = Input.find('\n');
  std::string Value = Lf == std::string::npos ? Input : Input.substr(0, Lf);
  std::string Text = Lf == std::string::npos ? std::string() : Input.substr(Lf + 1);

  (void)IniFile::FindValue(Text, "InternetShortcut", "URL");
  std::string Written = IniFile::SetValue(Text, "InternetShortcut", "URL", Value);
  auto Fresh = IniFile::FindValue(IniFile::SetValue("", "InternetShortcut", "URL", Value), "InternetShortcut", "URL");
  FUZZ_CHECK(Fresh.has_value());
  FUZZ_CHECK(IniFile::FindValue(Written, "InternetShortcut", "URL") == Fresh);

  // The old lines are all there, in order, but for the one that was replaced: the texts
  // differ in at most one old line, and at most two new ones (a section and its key).
  auto Old = Lines(Text), New = Lines(Written);
  std::size_t Prefix = 0;
  while (Prefix < Old.size() && Prefix < New.size() && Old[Prefix] == New[Prefix]) ++Prefix;
  std::size_t Suffix = 0;
  while (Suffix < Old.size() - Prefix && Suffix < New.size() - Prefix &&
         Old[Old.size() - 1 - Suffix] == New[New.size() - 1 - Suffix])
    ++Suffix;
  FUZZ_CHECK(Old.size() - Prefix - Suffix <= 1);
  FUZZ_CHECK(New.size() - Prefix - Suffix <= 2);
  return 0;
}
