#include "platform/Base64.h"

namespace vorlane::platform {
namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a base64 character, -1 for any other byte.
int SextetOf(char C) {
  if (C >= 'A' && C <= 'Z') return C - 'A';
  if (C >= 'a' && C <= 'z') return C - 'a' + 26;
  if (C >= '0' && C <= '9') return C - '0' + 52;
  if (C == '+') return 62;
  if (C == '/') return 63;
  return -1;
}

}  // namespace

std::string EncodeBase64(std::span<const uint8_t> Bytes) {
  std::string Out;
  Out.reserve((Bytes.size() + 2) / 3 * 4);
  std::size_t I = 0;
  for (; I + 3 <= Bytes.size(); I += 3) {
    uint32_t Group = uint32_t{Bytes[I]} << 16 | uint32_t{Bytes[I + 1]} << 8 | Bytes[I + 2];
    for (int Shift = 18; Shift >= 0; Shift -= 6) Out += Alphabet[(Group >> Shift) & 63];
  }
  std::size_t Left = Bytes.size() - I;
  if (Left > 0) {
    uint32_t Group = uint32_t{Bytes[I]} << 16 | (Left == 2 ? uint32_t{Bytes[I + 1]} << 8 : 0);
    Out += Alphabet[(Group >> 18) & 63];
    Out += Alphabet[(Group >> 12) & 63];
    Out += Left == 2 ? Alphabet[(Group >> 6) & 63] : '=';
    Out += '=';
  }
  return Out;
}

std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view Text) {
  if (Text.size() % 4 != 0) return std::nullopt;
  std::vector<uint8_t> Out;
  Out.reserve(Text.size() / 4 * 3);
  for (std::size_t I = 0; I < Text.size(); I += 4) {
    bool Last = I + 4 == Text.size();
    // Padding may stand only in the last two places of the last group: "xx==" or "xxx=".
    int Padding = Last && Text[I + 3] == '=' ? (Text[I + 2] == '=' ? 2 : 1) : 0;
    uint32_t Group = 0;
    for (int K = 0; K < 4; ++K) {
      int Sextet = K < 4 - Padding ? SextetOf(Text[I + K]) : 0;
      if (Sextet < 0) return std::nullopt;
      Group = Group << 6 | static_cast<uint32_t>(Sextet);
    }
    // Bits that the padding drops must be zero, so every byte string has one spelling.
    if ((Padding == 1 && (Group & 0xff) != 0) || (Padding == 2 && (Group & 0xffff) != 0)) return std::nullopt;
    Out.push_back(static_cast<uint8_t>(Group >> 16));
    if (Padding < 2) Out.push_back(static_cast<uint8_t>(Group >> 8));
    if (Padding < 1) Out.push_back(static_cast<uint8_t>(Group));
  }
  return Out;
}

}  // namespace vorlane::platform
