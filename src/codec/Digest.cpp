#include "codec/Digest.h"

#include "codec/Hex.h"

#include <nettle/md5.h>
#include <nettle/pbkdf2.h>
#include <nettle/sha1.h>

#include <new>
#include <vector>

CodecMd5Digest codec_md5(const void* data, size_t size)
{
    md5_ctx ctx;
    md5_init(&ctx);
    md5_update(&ctx, size, static_cast<const uint8_t*>(data));
    CodecMd5Digest digest;
    md5_digest(&ctx, digest.size(), digest.data());
    return digest;
}

CodecMd5Digest codec_md5(std::string_view bytes)
{
    return codec_md5(bytes.data(), bytes.size());
}

CodecSha1Digest codec_sha1(const void* data, size_t size)
{
    sha1_ctx ctx;
    sha1_init(&ctx);
    sha1_update(&ctx, size, static_cast<const uint8_t*>(data));
    CodecSha1Digest digest;
    sha1_digest(&ctx, digest.size(), digest.data());
    return digest;
}

CodecSha1Digest codec_sha1(std::string_view bytes)
{
    return codec_sha1(bytes.data(), bytes.size());
}

std::string codec_md5_hex(std::string_view bytes, bool upperCase)
{
    const CodecMd5Digest digest = codec_md5(bytes);
    return codec_hex_encode(digest.data(), digest.size(), upperCase);
}

std::string codec_sha1_hex(std::string_view bytes, bool upperCase)
{
    const CodecSha1Digest digest = codec_sha1(bytes);
    return codec_hex_encode(digest.data(), digest.size(), upperCase);
}

static_assert(sizeof(sha1_ctx) <= 128, "the stream keeps the context inline");

CodecSha1Stream::CodecSha1Stream()
{
    sha1_init(new (m_ctx) sha1_ctx);
}

void CodecSha1Stream::update(const void* data, size_t size)
{
    sha1_update(reinterpret_cast<sha1_ctx*>(m_ctx), size, static_cast<const uint8_t*>(data));
}

std::string CodecSha1Stream::finishHex()
{
    CodecSha1Digest digest;
    sha1_digest(reinterpret_cast<sha1_ctx*>(m_ctx), digest.size(), digest.data());
    return codec_hex_encode(digest.data(), digest.size());
}

std::string codec_pbkdf2_sha256_hex(std::string_view password, std::string_view salt, unsigned iterations,
                                    size_t length)
{
    std::vector<uint8_t> key(length);
    pbkdf2_hmac_sha256(password.size(), reinterpret_cast<const uint8_t*>(password.data()), iterations ? iterations : 1,
                       salt.size(), reinterpret_cast<const uint8_t*>(salt.data()), length, key.data());
    return codec_hex_encode(key.data(), key.size());
}
