#include "platform/media/VideoReader.h"

#include <QTransform>

#include <cmath>
#include <memory>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct CodecCloser {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsCloser {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;

struct Opened {
    FormatPtr format;
    int stream = -1;
};

// The containers videos come in (those of the library's video extensions).
// FFmpeg would take any file it can read, and reads much outside the decode
// budget: still pictures (a JPEG or GIF of a size no video has, a drawing
// inflated and drawn by librsvg) and music of old game consoles, whose
// reader inflates any gzip whole (a 3 MB file took 6 GB).
constexpr const char* kVideoContainers = "mov,mp4,m4v,3gp,avi,matroska,webm";

Opened openVideo(const QString& path)
{
    // Files that are not videos are an expected answer, not news for the log.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    Opened out;
    AVFormatContext* raw = nullptr;
    const QByteArray local = path.toLocal8Bit();
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kVideoContainers, 0);
    const int opened = avformat_open_input(&raw, local.constData(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return out;
    out.format.reset(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) {
        out.format.reset();
        return out;
    }
    out.stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (out.stream < 0)
        out.format.reset();
    return out;
}

int rotationOf(const AVStream* stream)
{
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    double degrees = 0;
    if (matrix) {
        degrees = -av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    } else if (const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "rotate", nullptr, 0)) {
        degrees = QString::fromUtf8(tag->value).toDouble();
    }
    if (std::isnan(degrees))
        return 0;
    int quarter = static_cast<int>(std::lround(degrees / 90.0)) % 4;
    if (quarter < 0)
        quarter += 4;
    return quarter * 90;
}

double durationOf(const AVFormatContext* ctx, const AVStream* stream)
{
    if (ctx->duration > 0)
        return static_cast<double>(ctx->duration) / AV_TIME_BASE;
    if (stream->duration > 0)
        return stream->duration * av_q2d(stream->time_base);
    return 0;
}

std::optional<QDateTime> creationTimeOf(const AVFormatContext* ctx, const AVStream* stream)
{
    const AVDictionaryEntry* tag = av_dict_get(ctx->metadata, "creation_time", nullptr, 0);
    if (!tag)
        tag = av_dict_get(stream->metadata, "creation_time", nullptr, 0);
    if (!tag)
        return std::nullopt;
    QDateTime when = QDateTime::fromString(QString::fromUtf8(tag->value), Qt::ISODateWithMs);
    if (!when.isValid())
        when = QDateTime::fromString(QString::fromUtf8(tag->value), Qt::ISODate);
    // Cameras without a clock write the container's epoch (1904) or zero.
    if (!when.isValid() || when.date().year() < 1971)
        return std::nullopt;
    return when.toUTC();
}

QImage toImage(const AVFrame* frame)
{
    if (frame->width <= 0 || frame->height <= 0)
        return {};
    std::unique_ptr<SwsContext, SwsCloser> sws(sws_getContext(
        frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
        frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!sws)
        return {};
    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
    sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    return image;
}

// Decodes the first frame that comes out after the current read position.
QImage decodeOneFrame(AVFormatContext* ctx, AVCodecContext* codec, int streamIndex)
{
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (!packet || !frame)
        return {};
    bool draining = false;
    while (true) {
        if (!draining) {
            const int read = av_read_frame(ctx, packet.get());
            if (read < 0) {
                draining = true;
                avcodec_send_packet(codec, nullptr);
            } else {
                const bool ours = packet->stream_index == streamIndex;
                if (ours)
                    avcodec_send_packet(codec, packet.get());
                av_packet_unref(packet.get());
                if (!ours)
                    continue;
            }
        }
        const int got = avcodec_receive_frame(codec, frame.get());
        if (got == 0)
            return toImage(frame.get());
        if (got != AVERROR(EAGAIN) || draining)
            return {};
    }
}

}

std::optional<VideoReader::Info> VideoReader::probe(const QString& path)
{
    Opened video = openVideo(path);
    if (!video.format)
        return std::nullopt;
    const AVStream* stream = video.format->streams[video.stream];
    Info info;
    info.duration = durationOf(video.format.get(), stream);
    info.creationTime = creationTimeOf(video.format.get(), stream);
    info.rotation = rotationOf(stream);
    info.width = stream->codecpar->width;
    info.height = stream->codecpar->height;
    return info;
}

QImage VideoReader::poster(const QString& path, int maxSide)
{
    Opened video = openVideo(path);
    if (!video.format)
        return {};
    AVFormatContext* ctx = video.format.get();
    AVStream* stream = ctx->streams[video.stream];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder)
        return {};
    CodecPtr codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0)
        return {};
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return {};

    const double duration = durationOf(ctx, stream);
    const double target = std::min(1.0, duration / 2);
    QImage image;
    if (target > 0) {
        const int64_t ts = static_cast<int64_t>(target * AV_TIME_BASE);
        if (av_seek_frame(ctx, -1, ts, AVSEEK_FLAG_BACKWARD) >= 0) {
            avcodec_flush_buffers(codec.get());
            image = decodeOneFrame(ctx, codec.get(), video.stream);
        }
    }
    if (image.isNull()) {
        // Some files cannot seek; their first frame will do.
        if (av_seek_frame(ctx, video.stream, 0, AVSEEK_FLAG_BACKWARD) >= 0)
            avcodec_flush_buffers(codec.get());
        image = decodeOneFrame(ctx, codec.get(), video.stream);
    }
    if (image.isNull())
        return {};
    if (const int rotation = rotationOf(stream))
        image = image.transformed(QTransform().rotate(rotation));
    if (maxSide > 0 && (image.width() > maxSide || image.height() > maxSide))
        image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}
