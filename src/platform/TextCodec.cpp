#include "platform/TextCodec.h"

#include <cerrno>
#include <glib.h>
#include <iconv.h>
#include <memory>

namespace vorlane::platform {
namespace {

struct IconvCloser {
  void operator()(void* Cd) const { iconv_close(static_cast<iconv_t>(Cd)); }
};

size_t Utf8CharLength(unsigned char Lead) {
  if (Lead < 0x80) return 1;
  if ((Lead & 0xE0) == 0xC0) return 2;
  if ((Lead & 0xF0) == 0xE0) return 3;
  if ((Lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

bool IsValidUtf8(std::string_view Text) {
  return g_utf8_validate(Text.data(), static_cast<gssize>(Text.size()), nullptr);
}

std::optional<std::string> ConvertCodePage(std::string_view Text, const char* From, const char* To) {
  iconv_t Raw = iconv_open(To, From);
  if (Raw == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::unique_ptr<void, IconvCloser> Cd(Raw);
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

std::string DecodeLegacyText(std::string_view Bytes) {
  if (IsValidUtf8(Bytes)) return std::string(Bytes);
  if (auto Decoded = ConvertCodePage(Bytes, "GB18030", "UTF-8")) return *Decoded;
  // Not even GB18030: keep what can be kept rather than lose the whole text.
  gchar* Valid = g_utf8_make_valid(Bytes.data(), static_cast<gssize>(Bytes.size()));
  std::string Out(Valid);
  g_free(Valid);
  return Out;
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

}  // namespace vorlane::platform
