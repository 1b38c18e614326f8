#include "browser/DownloadOptions.h"

#include <gtest/gtest.h>

using namespace vorlane::browser;

TEST(DownloadOptions, SetsBecomeTheEnginesFlagWords) {
  EXPECT_EQ(DownloadFlagsOf({DLCTL_DLIMAGES, DLCTL_VIDEOS, DLCTL_BGSOUNDS}), 0x70u);
  EXPECT_EQ(DownloadFlagsOf({DLCTL_NO_SCRIPTS, DLCTL_OFFLINE}), 0x80000080u);
  EXPECT_EQ(DownloadFlagsOf({DLCTL_FORCEOFFLINE, DLCTL_NO_CLIENTPULL, DLCTL_SILENT}), 0x70000000u);
  EXPECT_EQ(DownloadFlagsOf({}), 0u);
  EXPECT_EQ(InterfaceFlagsOf({FLAT_SCROLLBAR}), 0x80u);
  // Ordinals 14 and 15 map to 0x4000 and 0x10000: the flag words are not plain powers of ordinals.
  EXPECT_EQ(InterfaceFlagsOf({ENABLE_FORMS_AUTOCOMPLETE, ENABLE_INPLACE_NAVIGATION, NO3DOUTERBORDER}), 0x214000u);
  TDownloadControlOptions All;
  for (uint32_t I = 0; I < DownloadControlOptionCount; ++I) All.Include(static_cast<TDownloadControlOption>(I));
  EXPECT_EQ(DownloadFlagsOf(All), 0xF007FFF0u);
}

TEST(DownloadOptions, MembersAreBitsOverOrdinals) {
  TDownloadControlOptions S{DLCTL_DLIMAGES};
  S.Set(DLCTL_NO_JAVA, true);
  EXPECT_EQ(S.Mask(), (1u << 0) | (1u << 4));
  S.Set(DLCTL_DLIMAGES, false);
  EXPECT_FALSE(S.Contains(DLCTL_DLIMAGES));
  EXPECT_TRUE(S.Contains(DLCTL_NO_JAVA));
}
