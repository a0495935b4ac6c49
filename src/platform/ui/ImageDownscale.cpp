#include "platform/ui/ImageDownscale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ui {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// For each target pixel, the source pixels it averages: count of them from
// first, with their weights (summing to kOne) at offset in one array.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset;
    std::vector<int16_t> weights;
};

// The Mitchell-Netravali cubic (B = C = 1/3), zero from |t| = 2 on: smooth
// and nearly free of ringing, and it leaves far less of a pattern finer
// than the target's pixels than a box or a tent does.
double mitchell(double t)
{
    t = std::abs(t);
    if (t < 1)
        return (7 * t * t * t - 12 * t * t + 16.0 / 3) / 6;
    if (t < 2)
        return (-7.0 / 3 * t * t * t + 12 * t * t - 20 * t + 32.0 / 3) / 6;
    return 0;
}

Taps tapsFor(int source, int target)
{
    const double ratio = double(source) / target;
    const double scale = std::max(1.0, ratio);   // the kernel stretched over the source
    const double radius = 2 * scale;
    Taps taps;
    std::vector<double> raw;
    for (int i = 0; i < target; ++i) {
        const double centre = (i + 0.5) * ratio;
        const int from = std::max(0, int(std::floor(centre - radius)));
        const int to = std::min(source - 1, int(std::ceil(centre + radius)));
        raw.clear();
        double sum = 0;
        for (int x = from; x <= to; ++x) {
            raw.push_back(mitchell((x + 0.5 - centre) / scale));
            sum += raw.back();
        }
        taps.first.push_back(from);
        taps.count.push_back(int(raw.size()));
        taps.offset.push_back(int(taps.weights.size()));
        int given = 0;
        std::size_t heaviest = 0;
        for (std::size_t k = 0; k < raw.size(); ++k) {
            taps.weights.push_back(int16_t(std::lround(raw[k] / sum * kOne)));
            given += taps.weights.back();
            if (raw[k] > raw[heaviest])
                heaviest = k;
        }
        taps.weights[taps.offset.back() + heaviest] += kOne - given;   // rounding: flat stays flat
    }
    return taps;
}

inline uint32_t load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// One target pixel: the weighted sum of count source pixels step bytes
// apart, with the weights in kWeightBits fixed point.
inline void average(const uint8_t* source, std::size_t step, const int16_t* weights, int count, uint8_t* out)
{
#if defined(__SSE2__)
    // Two taps at a time: the pixels' channels interleaved as 16-bit pairs,
    // multiplied and summed pairwise by one madd.
    const __m128i zero = _mm_setzero_si128();
    __m128i sum = _mm_set1_epi32(kOne / 2);
    int k = 0;
    for (; k + 1 < count; k += 2, source += 2 * step) {
        const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(load32(source))), zero);
        const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(load32(source + step))), zero);
        const __m128i w = _mm_set1_epi32(int(uint16_t(weights[k])) | (int(weights[k + 1]) << 16));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), w));
    }
    if (k < count) {
        const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(load32(source))), zero);
        sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi16(a, zero), _mm_set1_epi32(uint16_t(weights[k]))));
    }
    sum = _mm_srai_epi32(sum, kWeightBits);
    const uint32_t pixel = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(sum, zero), zero)));
    std::memcpy(out, &pixel, 4);
#else
    int32_t sum[4] = {kOne / 2, kOne / 2, kOne / 2, kOne / 2};
    for (int k = 0; k < count; ++k, source += step)
        for (int c = 0; c < 4; ++c)
            sum[c] += source[c] * weights[k];
    for (int c = 0; c < 4; ++c)
        out[c] = uint8_t(std::clamp(sum[c] >> kWeightBits, 0, 255));
#endif
}

}

QImage downscaled(const QImage& image, QSize size)
{
    if (image.isNull() || size.isEmpty() || size.width() > image.width() || size.height() > image.height() ||
        size == image.size())
        return image;
    const QImage::Format format =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage source = image.convertToFormat(format);
    const int sw = source.width();
    const int sh = source.height();
    const int dw = size.width();
    const int dh = size.height();
    const Taps across = tapsFor(sw, dw);
    const Taps down = tapsFor(sh, dh);

    // Rows first, into dw x sh, then columns.
    std::vector<uint8_t> narrow(std::size_t(dw) * sh * 4);
    for (int y = 0; y < sh; ++y) {
        const uint8_t* row = source.constScanLine(y);
        uint8_t* out = narrow.data() + std::size_t(y) * dw * 4;
        for (int x = 0; x < dw; ++x)
            average(row + std::size_t(across.first[x]) * 4, 4, &across.weights[across.offset[x]], across.count[x],
                    out + std::size_t(x) * 4);
    }
    QImage result(dw, dh, format);
    const std::size_t stride = std::size_t(dw) * 4;
    for (int y = 0; y < dh; ++y) {
        const uint8_t* top = narrow.data() + std::size_t(down.first[y]) * stride;
        uint8_t* out = result.scanLine(y);
        for (int x = 0; x < dw; ++x)
            average(top + std::size_t(x) * 4, stride, &down.weights[down.offset[y]], down.count[y],
                    out + std::size_t(x) * 4);
    }
    if (format == QImage::Format_ARGB32_Premultiplied) {
        // The filter's small negative lobes may leave a colour above its
        // alpha, which premultiplied pixels cannot hold.
        for (int y = 0; y < dh; ++y) {
            auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
            for (int x = 0; x < dw; ++x) {
                const int a = qAlpha(row[x]);
                row[x] = qRgba(std::min(qRed(row[x]), a), std::min(qGreen(row[x]), a), std::min(qBlue(row[x]), a), a);
            }
        }
    }
    return result;
}

}
