#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// XXTEA (corrected block TEA) over little-endian 32-bit words, and the padded
// whole-buffer form used by the file cipher:
//   padded length P = ((n + 7) / 4) * 4; the plain bytes are zero-padded to P
//   and the last 32-bit little-endian word holds n; the P bytes are then
//   enciphered as P / 4 words.

inline constexpr int kCodecXxteaBadPadding = -32227;

struct CodecXxteaKey {
    uint32_t k[4];
};

// The key is the string zero-padded to 16 bytes, or its MD5 digest when the
// string is longer than 16 bytes.
CodecXxteaKey codec_xxtea_key(std::string_view keyString);

// In-place over `words` 32-bit words (no-op for fewer than 2 words).
void codec_xxtea_encrypt(uint32_t* words, size_t count, const CodecXxteaKey& key);
void codec_xxtea_decrypt(uint32_t* words, size_t count, const CodecXxteaKey& key);

size_t codec_xxtea_padded_size(size_t plainSize);

// Writes codec_xxtea_padded_size(size) bytes to out. Returns that size.
size_t codec_xxtea_encrypt_padded(const uint8_t* in, size_t size, uint8_t* out, const CodecXxteaKey& key);

// Deciphers size bytes into out (which must hold size bytes) and returns the
// plain length, or kCodecXxteaBadPadding when the length or trailer is wrong.
long codec_xxtea_decrypt_padded(const uint8_t* in, size_t size, uint8_t* out, const CodecXxteaKey& key);
