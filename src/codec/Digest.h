#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// MD5 and SHA-1 digests (Nettle underneath).
using CodecMd5Digest = std::array<uint8_t, 16>;
using CodecSha1Digest = std::array<uint8_t, 20>;

CodecMd5Digest codec_md5(const void* data, size_t size);
CodecMd5Digest codec_md5(std::string_view bytes);
CodecSha1Digest codec_sha1(const void* data, size_t size);
CodecSha1Digest codec_sha1(std::string_view bytes);

// The digests as hexadecimal text (32 and 40 digits).
std::string codec_md5_hex(std::string_view bytes, bool upperCase = false);
std::string codec_sha1_hex(std::string_view bytes, bool upperCase = false);
