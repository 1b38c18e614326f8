#include "browser/DownloadOptions.h"

namespace vorlane::browser {
namespace {

constexpr uint32_t DownloadValues[DownloadControlOptionCount] = {
    0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000,
    0x4000, 0x8000, 0x10000, 0x20000, 0x40000, 0x10000000, 0x20000000, 0x40000000, 0x80000000};

constexpr uint32_t InterfaceValues[UserInterfaceOptionCount] = {
    0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400,
    0x800, 0x1000, 0x2000, 0x4000, 0x10000, 0x20000, 0x40000, 0x80000, 0x100000, 0x200000};

template <typename Member, size_t N>
uint32_t FlagsOf(OptionSet<Member> Options, const uint32_t (&Values)[N]) {
  uint32_t Flags = 0;
  for (size_t I = 0; I < N; ++I)
    if (Options.Contains(static_cast<Member>(I))) Flags |= Values[I];
  return Flags;
}

}  // namespace

uint32_t DownloadFlagsOf(TDownloadControlOptions Options) { return FlagsOf(Options, DownloadValues); }
uint32_t InterfaceFlagsOf(TUserInterfaceOptions Options) { return FlagsOf(Options, InterfaceValues); }

}  // namespace vorlane::browser
