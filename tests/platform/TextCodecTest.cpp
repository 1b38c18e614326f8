#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace vorlane::platform;

TEST(TextCodec, GbkLeadByteDecidesSearches) {
  struct Case { const char* Text; bool Lead; } Cases[] = {
      {"中文", true}, {"，标点", true}, {"ａ全角", true},  // full-width forms are double-byte too
      {"abc 中", false}, {"", false}, {" 中", false}, {"1中", false},
      {"😀", false},  // GBK has no emoji: the old platform saw "?"
  };
  for (auto& C : Cases) EXPECT_EQ(StartsWithGbkLeadByte(C.Text), C.Lead) << C.Text;
}

TEST(TextCodec, LegacyTextIsReadAsGb18030OnlyWhenNotUtf8) {
  EXPECT_EQ(DecodeLegacyText("plain 中文"), "plain 中文");
  std::string Gbk = "\xD6\xD0\xCE\xC4";  // 中文 in GBK
  EXPECT_FALSE(IsValidUtf8(Gbk));
  EXPECT_EQ(DecodeLegacyText(Gbk), "中文");
  EXPECT_EQ(ConvertCodePage("中文", "UTF-8", "GBK"), Gbk);
  EXPECT_FALSE(ConvertCodePage("😀", "UTF-8", "GBK"));
  EXPECT_FALSE(ConvertCodePage("x", "UTF-8", "NO-SUCH-CODEPAGE"));
}

TEST(TextCodec, LongTextConvertsCompletely) {
  std::string Long(100000, 'a');
  Long += "中文";  // its GB18030 bytes are not valid UTF-8 (some characters' bytes are)
  auto Gbk = ConvertCodePage(Long, "UTF-8", "GB18030");
  ASSERT_TRUE(Gbk);
  EXPECT_EQ(Gbk->size(), 100004u);
  EXPECT_TRUE(DecodeLegacyText(*Gbk) == Long);
}
