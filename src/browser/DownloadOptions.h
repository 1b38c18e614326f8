#pragma once
// The host's option sets, stored as bit masks over their members' ordinals, and the flag
// words the engine reads.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace vorlane::browser {

enum TDownloadControlOption : uint32_t {
  DLCTL_DLIMAGES, DLCTL_VIDEOS, DLCTL_BGSOUNDS, DLCTL_NO_SCRIPTS, DLCTL_NO_JAVA,
  DLCTL_NO_RUNACTIVEXCTLS, DLCTL_NO_DLACTIVEXCTLS, DLCTL_DOWNLOADONLY, DLCTL_NO_FRAMEDOWNLOAD,
  DLCTL_RESYNCHRONIZE, DLCTL_PRAGMA_NO_CACHE, DLCTL_NO_BEHAVIORS, DLCTL_NO_METACHARSET,
  DLCTL_URL_ENCODING_DISABLE_UTF8, DLCTL_URL_ENCODING_ENABLE_UTF8, DLCTL_FORCEOFFLINE,
  DLCTL_NO_CLIENTPULL, DLCTL_SILENT, DLCTL_OFFLINE,
  DownloadControlOptionCount
};

enum TUserInterfaceOption : uint32_t {
  DIALOG, DISABLE_HELP_MENU, NO3DBORDER, SCROLL_NO, DISABLE_SCRIPT_INACTIVE, OPENNEWWIN,
  DISABLE_OFFSCREEN, FLAT_SCROLLBAR, DIV_BLOCKDEFAULT, ACTIVATE_CLIENTHIT_ONLY,
  OVERRIDEBEHAVIORFACTORY, CODEPAGELINKEDFONTS, URL_ENCODING_DISABLE_UTF8_UI,
  URL_ENCODING_ENABLE_UTF8_UI, ENABLE_FORMS_AUTOCOMPLETE, ENABLE_INPLACE_NAVIGATION,
  IME_ENABLE_RECONVERSION, THEME, NOTHEME, NOPICS, NO3DOUTERBORDER,
  UserInterfaceOptionCount
};

// A set of members as a bit mask over ordinals.
template <typename Member>
class OptionSet {
public:
  constexpr OptionSet() = default;
  constexpr OptionSet(std::initializer_list<Member> Members) {
    for (Member M : Members) Include(M);
  }
  constexpr bool Contains(Member M) const { return (FMask >> M) & 1u; }
  constexpr void Include(Member M) { FMask |= 1u << M; }
  constexpr void Exclude(Member M) { FMask &= ~(1u << M); }
  constexpr void Set(Member M, bool On) { On ? Include(M) : Exclude(M); }
  constexpr uint32_t Mask() const { return FMask; }
  constexpr bool operator==(const OptionSet&) const = default;

private:
  uint32_t FMask = 0;
};

using TDownloadControlOptions = OptionSet<TDownloadControlOption>;
using TUserInterfaceOptions = OptionSet<TUserInterfaceOption>;

// The DLCTL_* word of a download option set.
uint32_t DownloadFlagsOf(TDownloadControlOptions Options);
// The DOCHOSTUIFLAG_* word of a user-interface option set.
uint32_t InterfaceFlagsOf(TUserInterfaceOptions Options);

// DLCTL_* values the engine reads.
namespace dlctl {
constexpr uint32_t DLIMAGES = 0x10, VIDEOS = 0x20, BGSOUNDS = 0x40, NO_SCRIPTS = 0x80,
                   NO_JAVA = 0x100, NO_RUNACTIVEXCTLS = 0x200, NO_DLACTIVEXCTLS = 0x400,
                   FORCEOFFLINE = 0x10000000, OFFLINE = 0x80000000;
}

}  // namespace vorlane::browser
