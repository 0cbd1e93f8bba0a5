// Reading video files frame by frame into 24-bit bitmaps.
#include "platform/video/avi_reader.h"

#include "platform/core/exceptions.h"
#include "platform/core/rounding.h"
#include "platform/graphics/bitmap.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <algorithm>
#include <dlfcn.h>

namespace {

// The video libraries (and the hundred they pull in) load with the first video opened,
// not with the program: they would cost every start-up tens of milliseconds.
struct TVideoLibraries {
#define K_VIDEO_FUNCTIONS(X) \
    X(avformat, avformat_open_input) \
    X(avformat, avformat_find_stream_info) \
    X(avformat, av_find_best_stream) \
    X(avformat, av_read_frame) \
    X(avformat, av_seek_frame) \
    X(avformat, avformat_close_input) \
    X(avcodec, avcodec_alloc_context3) \
    X(avcodec, avcodec_parameters_to_context) \
    X(avcodec, avcodec_open2) \
    X(avcodec, avcodec_receive_frame) \
    X(avcodec, avcodec_send_packet) \
    X(avcodec, avcodec_flush_buffers) \
    X(avcodec, avcodec_free_context) \
    X(avcodec, av_packet_alloc) \
    X(avcodec, av_packet_unref) \
    X(avcodec, av_packet_free) \
    X(avutil, av_frame_alloc) \
    X(avutil, av_frame_free) \
    X(avutil, av_log_set_level) \
    X(avutil, av_rescale_q) \
    X(swscale, sws_getCachedContext) \
    X(swscale, sws_scale) \
    X(swscale, sws_freeContext)
#define K_VIDEO_POINTER(lib, fn) decltype(&::fn) fn = nullptr;
    K_VIDEO_FUNCTIONS(K_VIDEO_POINTER)
#undef K_VIDEO_POINTER
    bool Loaded = false;

    TVideoLibraries()
    {
#define K_VIDEO_SONAME(lib, major) "lib" #lib ".so." K_VIDEO_STR(major)
#define K_VIDEO_STR(x) #x
        void* const avutil = ::dlopen(K_VIDEO_SONAME(avutil, LIBAVUTIL_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        void* const avcodec = ::dlopen(K_VIDEO_SONAME(avcodec, LIBAVCODEC_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        void* const avformat = ::dlopen(K_VIDEO_SONAME(avformat, LIBAVFORMAT_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
        void* const swscale = ::dlopen(K_VIDEO_SONAME(swscale, LIBSWSCALE_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
#undef K_VIDEO_STR
#undef K_VIDEO_SONAME
        if (!avutil || !avcodec || !avformat || !swscale)
            return;
        bool all = true;
#define K_VIDEO_RESOLVE(lib, fn) \
    fn = reinterpret_cast<decltype(fn)>(::dlsym(lib, #fn)); \
    all = all && fn;
        K_VIDEO_FUNCTIONS(K_VIDEO_RESOLVE)
#undef K_VIDEO_RESOLVE
#undef K_VIDEO_FUNCTIONS
        // The libraries stay loaded: their frames and contexts may outlive any one reader.
        Loaded = all;
        if (Loaded)
            av_log_set_level(AV_LOG_QUIET);
    }
};

const TVideoLibraries& video()
{
    static const TVideoLibraries libraries;
    return libraries;
}

}  // namespace

struct TAviReader::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* sws = nullptr;
    int stream = -1;
    int64_t count = 0;
    AVRational timeBase{1, 25};
    int next = 0;  // the frame the decoder delivers next
    bool drained = false;

    ~Impl()
    {
        if (!video().Loaded)
            return;
        video().sws_freeContext(sws);
        video().av_frame_free(&frame);
        video().av_packet_free(&packet);
        video().avcodec_free_context(&codec);
        video().avformat_close_input(&format);
    }

    int64_t startTs() const
    {
        const AVStream* st = format->streams[stream];
        return st->start_time == AV_NOPTS_VALUE ? 0 : st->start_time;
    }

    // Frame number of a decoded frame by its time stamp, else by counting.
    int64_t frameNumber(int64_t counted) const
    {
        const int64_t ts = frame->best_effort_timestamp;
        const AVStream* st = format->streams[stream];
        if (ts == AV_NOPTS_VALUE || st->avg_frame_rate.num <= 0 || st->avg_frame_rate.den <= 0)
            return counted;
        return video().av_rescale_q(ts - startTs(), timeBase, av_inv_q(st->avg_frame_rate));
    }

    // The next decoded frame into `frame`; false at the end or on an error.
    bool decodeNext()
    {
        for (;;) {
            const int r = video().avcodec_receive_frame(codec, frame);
            if (r == 0)
                return true;
            if (r != AVERROR(EAGAIN) || drained)
                return false;
            if (video().av_read_frame(format, packet) < 0) {
                drained = true;
                video().avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index == stream)
                video().avcodec_send_packet(codec, packet);
            video().av_packet_unref(packet);
        }
    }

    bool seekTo(int n)
    {
        const AVStream* st = format->streams[stream];
        int64_t target = startTs();
        if (st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0)
            target += video().av_rescale_q(n, av_inv_q(st->avg_frame_rate), timeBase);
        if (video().av_seek_frame(format, stream, target, AVSEEK_FLAG_BACKWARD) < 0 &&
            video().av_seek_frame(format, stream, startTs(), AVSEEK_FLAG_BACKWARD) < 0)
            return false;
        video().avcodec_flush_buffers(codec);
        drained = false;
        next = -1;  // known again after the first frame
        return true;
    }
};

int AviFrameInterval(int64_t rate, int64_t scale)
{
    if (rate <= 0 || scale <= 0)
        return 100;
    return Trunc(1000.0 / (double(rate) / double(scale)));
}

TAviReader::TAviReader(const QString& fileName) : d_(std::make_unique<Impl>())
{
    if (!video().Loaded)
        throw EInvalidGraphic(QStringLiteral("unable to open AVI file"));
    const QByteArray path = QFile::encodeName(fileName);
    if (video().avformat_open_input(&d_->format, path.constData(), nullptr, nullptr) < 0 ||
        video().avformat_find_stream_info(d_->format, nullptr) < 0)
        throw EInvalidGraphic(QStringLiteral("unable to open AVI file"));
    const AVCodec* decoder = nullptr;
    d_->stream = video().av_find_best_stream(d_->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    auto refuse = [] { return EInvalidGraphic(QStringLiteral("unable to open AVI stream")); };
    if (d_->stream < 0 || !decoder)
        throw refuse();
    AVStream* st = d_->format->streams[d_->stream];
    d_->codec = video().avcodec_alloc_context3(decoder);
    d_->packet = video().av_packet_alloc();
    d_->frame = video().av_frame_alloc();
    if (!d_->codec || !d_->packet || !d_->frame || video().avcodec_parameters_to_context(d_->codec, st->codecpar) < 0 ||
        video().avcodec_open2(d_->codec, decoder, nullptr) < 0 || d_->codec->width <= 0 || d_->codec->height <= 0)
        throw refuse();
    d_->timeBase = st->time_base;
    d_->count = st->nb_frames;
    if (d_->count <= 0 && st->duration != AV_NOPTS_VALUE && st->avg_frame_rate.num > 0)
        d_->count = video().av_rescale_q(st->duration, st->time_base, av_inv_q(st->avg_frame_rate));
    d_->count = std::clamp<int64_t>(d_->count, 0, INT32_MAX);
}

TAviReader::~TAviReader() = default;

int TAviReader::FrameCount() const { return int(d_->count); }
// A video container's time base is scale / rate.
int64_t TAviReader::Rate() const { return d_->timeBase.den; }
int64_t TAviReader::Scale() const { return d_->timeBase.num; }
int TAviReader::Width() const { return d_->codec->width; }
int TAviReader::Height() const { return d_->codec->height; }

bool TAviReader::ReadFrame(int n, TBitmap& out, int maxW, int maxH)
{
    if (n < 0)
        return false;
    if (n != d_->next && !d_->seekTo(n))
        return false;
    // Decode up to frame n (after a seek the first frames may lie before it).
    int64_t counted = d_->next < 0 ? -1 : d_->next - 1;
    for (;;) {
        if (!d_->decodeNext())
            return false;
        ++counted;
        const int64_t at = d_->next < 0 ? d_->frameNumber(counted) : counted;
        counted = at;
        d_->next = int(std::min<int64_t>(at + 1, INT32_MAX));
        if (at >= n)
            break;
    }
    AVFrame* f = d_->frame;
    if (f->width <= 0 || f->height <= 0)
        return false;
    int w = f->width, h = f->height;
    if (maxW > 0 && maxH > 0 && (w > maxW || h > maxH)) {
        const double s = std::min(double(maxW) / w, double(maxH) / h);
        w = std::max(1, Trunc(w * s));
        h = std::max(1, Trunc(h * s));
    }
    d_->sws = video().sws_getCachedContext(d_->sws, f->width, f->height, AVPixelFormat(f->format), w, h,
                                           AV_PIX_FMT_BGR24, SWS_AREA, nullptr, nullptr, nullptr);
    if (!d_->sws)
        return false;
    TBitmap bitmap(w, h, pf24bit);
    uint8_t* dst[4] = {bitmap.ScanLine(0), nullptr, nullptr, nullptr};
    const int stride[4] = {bitmap.BytesPerLine(), 0, 0, 0};
    if (video().sws_scale(d_->sws, f->data, f->linesize, 0, f->height, dst, stride) != h)
        return false;
    out = bitmap;
    return true;
}
