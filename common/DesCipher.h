#pragma once
// DES (FIPS PUB 46-3) in ECB mode over byte strings, zero padded, with an
// upper-case hex form. Station URLs and the update endpoints are kept this way.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace telvanta {

inline constexpr std::string_view StationKey = "HarborLamp";
inline constexpr std::string_view UpdateKey = "CopperField";

enum class DesDirection { Encrypt = 0, Decrypt = 1 };

using DesBlock = std::array<std::uint8_t, 8>;
using DesSubkeys = std::array<std::uint64_t, 16>;  // 48-bit round keys, K1 first

// Throws Error "Error: the last char is NULL char." when text ends in a zero byte.
std::string DesEncryptHex(std::string_view text, std::string_view key);
// Throws Error "Error: not a Hex String" on a non-hex character in a complete pair.
std::string DesDecryptHex(std::string_view hex, std::string_view key);
std::string DesEncryptString(std::string_view text, std::string_view key);
std::string DesDecryptString(std::string_view bytes, std::string_view key);
// Throws Error "Error: not a Hex String". Digits beyond sixteen wrap around
// (the value is kept modulo 2^64); the cipher only ever passes two.
std::uint64_t HexToInt(std::string_view digits);
DesSubkeys DesMakeSubkeys(const DesBlock& key);
DesBlock DesCryptBlock(DesDirection direction, const DesBlock& input, const DesSubkeys& subkeys);

}  // namespace telvanta
