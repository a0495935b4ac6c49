#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Hexadecimal text of bytes, high nibble first.
std::string codec_hex_encode(const void* data, size_t size, bool upperCase = false);
std::string codec_hex_encode(std::string_view bytes, bool upperCase = false);

// Bytes from hexadecimal text (either case); nothing for an odd length or a
// character that is not a hexadecimal digit.
std::optional<std::vector<uint8_t>> codec_hex_decode(std::string_view text);
