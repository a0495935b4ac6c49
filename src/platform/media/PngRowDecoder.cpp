#include "platform/media/PngRowDecoder.h"

#include <QIODevice>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <vector>

namespace {

void readData(png_structp png, png_bytep out, size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    size_t done = 0;
    while (done < length) {
        const qint64 n = device->read(reinterpret_cast<char*>(out) + done, qint64(length - done));
        if (n <= 0)
            png_error(png, "truncated");
        done += size_t(n);
    }
}

void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

// Everything the rows need, made before the first row is read: an error
// leaves readRows through longjmp, past no destructor.
struct Plan {
    int srcW = 0;
    int srcH = 0;
    int dstW = 0;
    int dstH = 0;
    bool interlaced = false;
    std::vector<unsigned char> row;   // one source row, RGBA
    std::vector<int> column;          // source x -> destination x
    std::vector<quint64> sums;        // per destination pixel: r*a, g*a, b*a, a
    std::vector<quint32> counts;      // per destination pixel: pixels summed
    uchar* out = nullptr;             // first line of the result
    qsizetype stride = 0;
    int lastFlushed = -1;
};

void accumulate(Plan* p, const unsigned char* px)
{
    quint64* sums = p->sums.data();
    quint32* counts = p->counts.data();
    const int* column = p->column.data();
    for (int x = 0; x < p->srcW; ++x, px += 4) {
        const int dx = column[x];
        const quint32 a = px[3];
        quint64* s = sums + 4 * dx;
        s[0] += quint32(px[0]) * a;
        s[1] += quint32(px[1]) * a;
        s[2] += quint32(px[2]) * a;
        s[3] += a;
        ++counts[dx];
    }
}

// Writes destination row dy from the sums (premultiplied ARGB), repeats it
// over rows no source row reached, and clears the sums.
void flush(Plan* p, int dy)
{
    auto* line = reinterpret_cast<quint32*>(p->out + dy * p->stride);
    for (int dx = 0; dx < p->dstW; ++dx) {
        const quint64 n = std::max<quint32>(1, p->counts[dx]);
        const quint64* s = p->sums.data() + 4 * dx;
        const quint32 r = quint32(s[0] / (255 * n));
        const quint32 g = quint32(s[1] / (255 * n));
        const quint32 b = quint32(s[2] / (255 * n));
        const quint32 a = quint32(s[3] / n);
        line[dx] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    for (int gap = p->lastFlushed + 1; gap < dy; ++gap)
        std::copy_n(line, p->dstW, reinterpret_cast<quint32*>(p->out + gap * p->stride));
    p->lastFlushed = dy;
    std::fill(p->sums.begin(), p->sums.end(), 0);
    std::fill(p->counts.begin(), p->counts.end(), 0);
}

bool readRows(png_structp png, Plan* p)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    int current = -1;
    const int passes = p->interlaced ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int rows = p->interlaced ? int(PNG_PASS_ROWS(png_uint_32(p->srcH), pass)) : p->srcH;
        // Of an interlaced picture only the last pass holds whole rows (the odd ones).
        const bool used = !p->interlaced || pass == 6;
        for (int r = 0; r < rows; ++r) {
            png_read_row(png, p->row.data(), nullptr);
            if (!used)
                continue;
            const int y = p->interlaced ? 2 * r + 1 : r;
            const int dy = int(qint64(y) * p->dstH / p->srcH);
            if (dy != current && current >= 0)
                flush(p, current);
            current = dy;
            accumulate(p, p->row.data());
        }
    }
    if (current < 0)
        return false;
    flush(p, current);
    for (int gap = p->lastFlushed + 1; gap < p->dstH; ++gap)
        std::copy_n(p->out + current * p->stride, p->stride, p->out + gap * p->stride);
    png_read_end(png, nullptr);
    return true;
}

// Reads the header and sets the transforms to 8-bit RGBA rows.
bool readHeader(png_structp png, png_infop info, QIODevice* device, Plan* p, bool* alpha)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, device, readData);
    png_read_info(png, info);
    const png_byte colorType = png_get_color_type(png, info);
    *alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    if (!*alpha)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    p->srcW = int(png_get_image_width(png, info));
    p->srcH = int(png_get_image_height(png, info));
    p->interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    return p->srcW > 0 && p->srcH > 0 && png_get_rowbytes(png, info) == size_t(p->srcW) * 4;
}

}

QImage PngRowDecoder::decode(QIODevice* device, const QSize& size, qint64 pixelBudget)
{
    if (!device || size.isEmpty())
        return QImage();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png)
        return QImage();
    png_infop info = png_create_info_struct(png);
    Plan plan;
    QImage image;
    bool alpha = false;
    if (info && readHeader(png, info, device, &plan, &alpha) && qint64(plan.srcW) * plan.srcH <= pixelBudget) {
        plan.dstW = std::clamp(size.width(), 1, plan.srcW);
        plan.dstH = std::clamp(size.height(), 1, plan.srcH);
        image = QImage(plan.dstW, plan.dstH, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    }
    bool ok = !image.isNull();
    if (ok) {
        plan.row.resize(size_t(plan.srcW) * 4);
        plan.column.resize(size_t(plan.srcW));
        for (int x = 0; x < plan.srcW; ++x)
            plan.column[size_t(x)] = int(qint64(x) * plan.dstW / plan.srcW);
        plan.sums.assign(size_t(plan.dstW) * 4, 0);
        plan.counts.assign(size_t(plan.dstW), 0);
        plan.out = image.bits();
        plan.stride = image.bytesPerLine();
        ok = readRows(png, &plan);
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return ok ? image : QImage();
}

qint64 PngRowDecoder::memoryFor(const QSize& stored, const QSize& size)
{
    const qint64 srcW = std::max(0, stored.width());
    const qint64 dstW = std::clamp<qint64>(size.width(), 1, std::max<qint64>(1, srcW));
    const qint64 dstH = std::clamp<qint64>(size.height(), 1, std::max(1, stored.height()));
    const qint64 perSourcePixel = 2 * 8 + 4 + qint64(sizeof(int));
    const qint64 perResultColumn = 4 * qint64(sizeof(quint64)) + qint64(sizeof(quint32));
    return srcW * perSourcePixel + dstW * perResultColumn + dstW * dstH * 4;
}
