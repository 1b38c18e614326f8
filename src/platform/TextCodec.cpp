#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdint>
#include <glib.h>
#include <iconv.h>
#include <memory>

namespace vorlane::platform {
namespace {

size_t Utf8CharLength(unsigned char Lead) {
  if (Lead < 0x80) return 1;
  if ((Lead & 0xE0) == 0xC0) return 2;
  if ((Lead & 0xF0) == 0xE0) return 3;
  if ((Lead & 0xF8) == 0xF0) return 4;
  return 1;
}

void AppendUtf8(std::string& Out, std::uint32_t Cp) {
  gchar Buffer[6];
  Out.append(Buffer, static_cast<std::size_t>(g_unichar_to_utf8(static_cast<gunichar>(Cp), Buffer)));
}

// UTF-16 code units in the given byte order; an unpaired surrogate or a lone last byte
// becomes U+FFFD.
std::string DecodeUtf16(std::string_view Bytes, bool BigEndian) {
  auto Unit = [&](std::size_t I) {
    auto A = static_cast<unsigned char>(Bytes[I]), B = static_cast<unsigned char>(Bytes[I + 1]);
    return static_cast<std::uint32_t>(BigEndian ? (A << 8) | B : (B << 8) | A);
  };
  std::string Out;
  Out.reserve(Bytes.size());
  std::size_t I = 0;
  for (; I + 1 < Bytes.size(); I += 2) {
    std::uint32_t U = Unit(I);
    if (U >= 0xD800 && U <= 0xDBFF && I + 3 < Bytes.size()) {
      std::uint32_t Low = Unit(I + 2);
      if (Low >= 0xDC00 && Low <= 0xDFFF) {
        AppendUtf8(Out, 0x10000 + ((U - 0xD800) << 10) + (Low - 0xDC00));
        I += 2;
        continue;
      }
    }
    AppendUtf8(Out, U >= 0xD800 && U <= 0xDFFF ? 0xFFFD : U);
  }
  if (I < Bytes.size()) AppendUtf8(Out, 0xFFFD);
  return Out;
}

}  // namespace

void CodePageConverter::Closer::operator()(void* Cd) const { iconv_close(static_cast<iconv_t>(Cd)); }

CodePageConverter::CodePageConverter(const char* From, const char* To) {
  iconv_t Raw = iconv_open(To, From);
  if (Raw != reinterpret_cast<iconv_t>(-1)) FCd.reset(Raw);
}

std::optional<std::string> CodePageConverter::operator()(std::string_view Text) const {
  if (!FCd) return std::nullopt;
  auto Raw = static_cast<iconv_t>(FCd.get());
  iconv(Raw, nullptr, nullptr, nullptr, nullptr);  // a fresh start after an earlier failure
  std::string Out;
  Out.resize(Text.size() * 4 + 16);
  char* In = const_cast<char*>(Text.data());
  size_t InLeft = Text.size();
  char* OutPtr = Out.data();
  size_t OutLeft = Out.size();
  while (InLeft > 0) {
    if (iconv(Raw, &In, &InLeft, &OutPtr, &OutLeft) == static_cast<size_t>(-1)) {
      if (errno != E2BIG) return std::nullopt;
      size_t Used = static_cast<size_t>(OutPtr - Out.data());
      Out.resize(Out.size() * 2);
      OutPtr = Out.data() + Used;
      OutLeft = Out.size() - Used;
    }
  }
  if (iconv(Raw, nullptr, nullptr, &OutPtr, &OutLeft) == static_cast<size_t>(-1)) return std::nullopt;
  Out.resize(static_cast<size_t>(OutPtr - Out.data()));
  return Out;
}

bool IsValidUtf8(std::string_view Text) {
  return g_utf8_validate(Text.data(), static_cast<gssize>(Text.size()), nullptr);
}

std::optional<std::string> ConvertCodePage(std::string_view Text, const char* From, const char* To) {
  return CodePageConverter(From, To)(Text);
}

std::string DecodeLegacyText(std::string_view Bytes) {
  if (IsValidUtf8(Bytes)) return std::string(Bytes);
  if (auto Decoded = ConvertCodePage(Bytes, "GB18030", "UTF-8")) return *Decoded;
  // Not even GB18030: keep what can be kept rather than lose the whole text.
  return DecodeUtf8Lossy(Bytes);
}

std::string DecodeUtf8Lossy(std::string_view Bytes) {
  if (IsValidUtf8(Bytes)) return std::string(Bytes);
  gchar* Valid = g_utf8_make_valid(Bytes.data(), static_cast<gssize>(Bytes.size()));
  std::string Out(Valid);
  g_free(Valid);
  return Out;
}

std::optional<std::string> DecodeByteOrderMark(std::string_view Bytes) {
  if (Bytes.substr(0, 3) == "\xEF\xBB\xBF") return DecodeUtf8Lossy(Bytes.substr(3));
  if (Bytes.substr(0, 2) == "\xFF\xFE") return DecodeUtf16(Bytes.substr(2), false);
  if (Bytes.substr(0, 2) == "\xFE\xFF") return DecodeUtf16(Bytes.substr(2), true);
  return std::nullopt;
}

std::string DecodeTextFile(std::string_view Bytes) {
  if (auto Marked = DecodeByteOrderMark(Bytes)) return *Marked;
  return DecodeLegacyText(Bytes);
}

std::string FirstCharacterGbk(std::string_view Utf8) {
  if (Utf8.empty()) return {};
  size_t Len = std::min(Utf8CharLength(static_cast<unsigned char>(Utf8[0])), Utf8.size());
  auto First = Utf8.substr(0, Len);
  if (auto Gbk = ConvertCodePage(First, "UTF-8", "GBK")) return *Gbk;
  return "?";  // what the old platform made of a character its code page lacked
}

bool StartsWithGbkLeadByte(std::string_view Utf8) {
  std::string Gbk = FirstCharacterGbk(Utf8);
  if (Gbk.empty()) return false;
  auto Lead = static_cast<unsigned char>(Gbk[0]);
  // GBK lead bytes are 0x81..0xFE.
  return Lead >= 0x81 && Lead <= 0xFE;
}

std::string ShownText(std::string_view Text) {
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

}  // namespace vorlane::platform
