#include "codec/Xxtea.h"

#include "codec/Digest.h"

#include <cstring>

namespace {
constexpr uint32_t kDelta = 0x9e3779b9;

inline uint32_t mx(uint32_t sum, uint32_t y, uint32_t z, size_t p, uint32_t e, const uint32_t* k)
{
    return (((z >> 5) ^ (y << 2)) + ((y >> 3) ^ (z << 4))) ^ ((sum ^ y) + (k[(p & 3) ^ e] ^ z));
}

inline uint32_t loadLe(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void storeLe(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

void toWords(const uint8_t* in, size_t words, uint32_t* out)
{
    for (size_t i = 0; i < words; ++i)
        out[i] = loadLe(in + 4 * i);
}

void fromWords(const uint32_t* in, size_t words, uint8_t* out)
{
    for (size_t i = 0; i < words; ++i)
        storeLe(out + 4 * i, in[i]);
}
}

CodecXxteaKey codec_xxtea_key(std::string_view keyString)
{
    uint8_t bytes[16] = {};
    if (keyString.size() > 16) {
        const CodecMd5Digest digest = codec_md5(keyString);
        std::memcpy(bytes, digest.data(), digest.size());
    } else {
        std::memcpy(bytes, keyString.data(), keyString.size());
    }
    CodecXxteaKey key;
    for (int i = 0; i < 4; ++i)
        key.k[i] = loadLe(bytes + 4 * i);
    return key;
}

void codec_xxtea_encrypt(uint32_t* v, size_t n, const CodecXxteaKey& key)
{
    if (n < 2)
        return;
    const uint32_t* k = key.k;
    uint32_t rounds = uint32_t(6 + 52 / n);
    uint32_t sum = 0;
    uint32_t z = v[n - 1];
    while (rounds-- > 0) {
        sum += kDelta;
        const uint32_t e = (sum >> 2) & 3;
        size_t p;
        for (p = 0; p < n - 1; ++p) {
            const uint32_t y = v[p + 1];
            z = v[p] += mx(sum, y, z, p, e, k);
        }
        const uint32_t y = v[0];
        z = v[n - 1] += mx(sum, y, z, p, e, k);
    }
}

void codec_xxtea_decrypt(uint32_t* v, size_t n, const CodecXxteaKey& key)
{
    if (n < 2)
        return;
    const uint32_t* k = key.k;
    uint32_t rounds = uint32_t(6 + 52 / n);
    uint32_t sum = rounds * kDelta;
    uint32_t y = v[0];
    while (rounds-- > 0) {
        const uint32_t e = (sum >> 2) & 3;
        size_t p;
        for (p = n - 1; p > 0; --p) {
            const uint32_t z = v[p - 1];
            y = v[p] -= mx(sum, y, z, p, e, k);
        }
        const uint32_t z = v[n - 1];
        y = v[0] -= mx(sum, y, z, p, e, k);
        sum -= kDelta;
    }
}

size_t codec_xxtea_padded_size(size_t plainSize)
{
    return ((plainSize + 7) / 4) * 4;
}

size_t codec_xxtea_encrypt_padded(const uint8_t* in, size_t size, uint8_t* out, const CodecXxteaKey& key)
{
    const size_t padded = codec_xxtea_padded_size(size);
    const size_t words = padded / 4;
    // Work in place on the output: copy, pad, trailer, then encipher the words.
    if (size)
        std::memmove(out, in, size);
    std::memset(out + size, 0, padded - size);
    storeLe(out + padded - 4, uint32_t(size));
    uint32_t* w = reinterpret_cast<uint32_t*>(out);
    bool aligned = reinterpret_cast<uintptr_t>(out) % alignof(uint32_t) == 0;
    if (aligned) {
        toWords(out, words, w);
        codec_xxtea_encrypt(w, words, key);
        fromWords(w, words, out);
    } else {
        uint32_t* tmp = new uint32_t[words];
        toWords(out, words, tmp);
        codec_xxtea_encrypt(tmp, words, key);
        fromWords(tmp, words, out);
        delete[] tmp;
    }
    return padded;
}

long codec_xxtea_decrypt_padded(const uint8_t* in, size_t size, uint8_t* out, const CodecXxteaKey& key)
{
    if (size < 4 || size % 4 != 0)
        return kCodecXxteaBadPadding;
    const size_t words = size / 4;
    if (in != out)
        std::memmove(out, in, size);
    uint32_t* w = reinterpret_cast<uint32_t*>(out);
    bool aligned = reinterpret_cast<uintptr_t>(out) % alignof(uint32_t) == 0;
    if (aligned) {
        toWords(out, words, w);
        codec_xxtea_decrypt(w, words, key);
        fromWords(w, words, out);
    } else {
        uint32_t* tmp = new uint32_t[words];
        toWords(out, words, tmp);
        codec_xxtea_decrypt(tmp, words, key);
        fromWords(tmp, words, out);
        delete[] tmp;
    }
    const size_t plain = loadLe(out + size - 4);
    if (plain > size - 4 || codec_xxtea_padded_size(plain) != size)
        return kCodecXxteaBadPadding;
    return long(plain);
}
