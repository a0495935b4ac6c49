#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// MD5 and SHA-1 digests, and the PBKDF2-HMAC-SHA256 key derivation (Nettle
// underneath).
using CodecMd5Digest = std::array<uint8_t, 16>;
using CodecSha1Digest = std::array<uint8_t, 20>;

CodecMd5Digest codec_md5(const void* data, size_t size);
CodecMd5Digest codec_md5(std::string_view bytes);
CodecSha1Digest codec_sha1(const void* data, size_t size);
CodecSha1Digest codec_sha1(std::string_view bytes);

// The digests as hexadecimal text (32 and 40 digits).
std::string codec_md5_hex(std::string_view bytes, bool upperCase = false);
std::string codec_sha1_hex(std::string_view bytes, bool upperCase = false);

// A SHA-1 digest taken over bytes given in pieces.
class CodecSha1Stream {
public:
    CodecSha1Stream();
    void update(const void* data, size_t size);
    // The digest as lower-case hexadecimal text; the stream starts over.
    std::string finishHex();

private:
    alignas(8) unsigned char m_ctx[128];
};

// PBKDF2 with HMAC-SHA256 over password and salt: `length` bytes as
// lower-case hexadecimal text.
std::string codec_pbkdf2_sha256_hex(std::string_view password, std::string_view salt, unsigned iterations,
                                    size_t length = 32);
