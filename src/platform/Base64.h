#pragma once
// Base64 (RFC 4648, standard alphabet, padded) for bytes kept in text files.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::platform {

std::string EncodeBase64(std::span<const uint8_t> Bytes);
// Only the canonical form is accepted: length a multiple of 4, padding only at the end,
// no whitespace, unused bits zero. nullopt for anything else.
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view Text);

}  // namespace vorlane::platform
