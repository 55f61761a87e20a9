#include "video_file.h"

#include "output_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

struct Format {
    const char* extension;
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;  // what the encoder is fed
};

// GIF frames go through a filter graph that turns RGB into a palette
// picture; the others are converted to 4:2:0 YUV, which browsers and phones
// play everywhere.
constexpr Format kFormats[] = {
    {".mp4", "mp4", "libx264", AV_PIX_FMT_YUV420P},
    {".webm", "webm", "libvpx-vp9", AV_PIX_FMT_YUV420P},
    {".gif", "gif", "gif", AV_PIX_FMT_RGB24},
    {".webp", "webp", "libwebp_anim", AV_PIX_FMT_YUV420P},
};

// A palette of its own for every frame, so that the textured cube and the
// coloured pyramids both get their colours; a palette for the whole video
// would need every frame before the first could be written. Ordered
// dithering changes little from frame to frame, which keeps GIF's
// compression working.
constexpr char kGifFilters[] =
    "split[a][b];[a]palettegen=stats_mode=single[p];"
    "[b][p]paletteuse=new=1:dither=bayer:bayer_scale=3";

const Format* FormatFor(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return (char)std::tolower(c); });
    for (const Format& format : kFormats) {
        std::string_view extension = format.extension;
        if (lower.size() > extension.size() && lower.ends_with(extension)) return &format;
    }
    return nullptr;
}

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE];
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

bool IsVideoFileName(const std::string& path) { return FormatFor(path) != nullptr; }

bool IsGifFileName(const std::string& path) {
    const Format* format = FormatFor(path);
    return format && format->muxer == std::string_view("gif");
}

struct VideoFile::State {
    explicit State(const std::string& path) : path(path) {}
    ~State() {
        sws_freeContext(scaler);
        av_frame_free(&picture);
        av_frame_free(&filtered);
        av_packet_free(&packet);
        avfilter_graph_free(&graph);
        avcodec_free_context(&encoder);
        if (muxer) avio_closep(&muxer->pb);
        avformat_free_context(muxer);
    }

    bool Fail(const char* doing, int code, std::string* error) {
        *error = std::string("could not ") + doing + " " + path + ": " + AvError(code);
        return false;
    }

    bool Start(const Format& format, int width, int height, int fps, std::string* error);
    bool Encode(AVFrame* frame, std::string* error);
    bool Filter(AVFrame* frame, std::string* error);

    std::string path;
    OutputFile file;  // FFmpeg writes its temporary file by name
    AVFormatContext* muxer = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    SwsContext* scaler = nullptr;
    AVFrame* picture = nullptr;   // the converted picture
    AVFrame* filtered = nullptr;  // a palette picture out of the GIF filters
    AVPacket* packet = nullptr;
    AVFilterGraph* graph = nullptr;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
};

namespace {

// The filters that give each RGB picture its palette, from the buffer
// source to the sink.
bool BuildGifFilters(VideoFile::State* video, int fps, std::string* error) {
    video->graph = avfilter_graph_alloc();
    if (!video->graph) return video->Fail("make", AVERROR(ENOMEM), error);
    char arguments[128];
    snprintf(arguments, sizeof arguments,
             "video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=1/1", video->encoder->width,
             video->encoder->height, (int)AV_PIX_FMT_RGB24, fps);
    int result = avfilter_graph_create_filter(&video->source, avfilter_get_by_name("buffer"), "in",
                                              arguments, nullptr, video->graph);
    if (result >= 0)
        result = avfilter_graph_create_filter(&video->sink, avfilter_get_by_name("buffersink"),
                                              "out", nullptr, nullptr, video->graph);
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    if (result >= 0 && (!outputs || !inputs)) result = AVERROR(ENOMEM);
    if (result >= 0) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = video->source;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = video->sink;
        result = avfilter_graph_parse_ptr(video->graph, kGifFilters, &inputs, &outputs, nullptr);
    }
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (result >= 0) result = avfilter_graph_config(video->graph, nullptr);
    if (result < 0) return video->Fail("set up the palette filters for", result, error);
    return true;
}

void SetEncoderOptions(const Format& format, AVCodecContext* encoder) {
    if (format.encoder == std::string_view("libx264")) {
        // veryfast with the quickest motion search (a third less CPU time
        // for 15 % more bytes; superfast would double the size) keeps up
        // with llvmpipe on two cores. At crf 18 the cube's texture and the
        // glyphs' thin edges keep their detail.
        av_opt_set(encoder->priv_data, "preset", "veryfast", 0);
        av_opt_set(encoder->priv_data, "x264-params", "me=dia:subme=1", 0);
        av_opt_set(encoder->priv_data, "crf", "18", 0);
        // One thread: llvmpipe's rendering keeps the other core busy, and
        // x264's frame threads cost a fifth more CPU time for nothing here.
        encoder->thread_count = 1;
    } else if (format.encoder == std::string_view("libvpx-vp9")) {
        // Constant quality (a bit rate of 0 lets crf alone decide).
        av_opt_set(encoder->priv_data, "crf", "31", 0);
        av_opt_set(encoder->priv_data, "deadline", "good", 0);
        av_opt_set(encoder->priv_data, "cpu-used", "4", 0);
        av_opt_set(encoder->priv_data, "row-mt", "1", 0);
        encoder->bit_rate = 0;
        // VP9 is several times slower than x264: every core helps, each
        // frame split into rows.
        encoder->thread_count = 0;
    } else if (format.encoder == std::string_view("libwebp_anim")) {
        av_opt_set(encoder->priv_data, "quality", "75", 0);
    }
}

}  // namespace

bool VideoFile::State::Start(const Format& format, int width, int height, int fps,
                             std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(format.encoder);
    if (!codec) {
        *error = std::string("this system's FFmpeg has no ") + format.encoder + " encoder, which " +
                 format.extension + " needs";
        return false;
    }
    if (!file.Open(path)) {
        *error = "could not create " + file.Error();
        return false;
    }
    // FFmpeg takes a name for an address ("12:30.mp4" a protocol, "a:b/c"
    // a host). Ours is a local file whatever it holds: the file protocol,
    // told so, with the absolute path, and no other protocol allowed (the
    // mp4 muxer reopens the file by this name to move its index up front).
    std::error_code absoluteError;
    const std::string url =
        "file:" + std::filesystem::absolute(file.TemporaryPath(), absoluteError).string();
    if (absoluteError) return Fail("make", AVERROR(absoluteError.value()), error);
    int result = avformat_alloc_output_context2(&muxer, nullptr, format.muxer, url.c_str());
    if (result < 0) return Fail("make", result, error);
    muxer->protocol_whitelist = av_strdup("file");
    if (!muxer->protocol_whitelist) return Fail("make", AVERROR(ENOMEM), error);
    stream = avformat_new_stream(muxer, nullptr);
    encoder = avcodec_alloc_context3(codec);
    picture = av_frame_alloc();
    filtered = av_frame_alloc();
    packet = av_packet_alloc();
    if (!stream || !encoder || !picture || !filtered || !packet)
        return Fail("make", AVERROR(ENOMEM), error);

    const bool palette = format.pixels == AV_PIX_FMT_RGB24;
    encoder->width = palette ? width : width & ~1;
    encoder->height = palette ? height : height & ~1;
    encoder->pix_fmt = palette ? AV_PIX_FMT_PAL8 : format.pixels;
    encoder->time_base = AVRational{1, fps};
    encoder->framerate = AVRational{fps, 1};
    encoder->sample_aspect_ratio = AVRational{1, 1};
    // swscale's RGB to YUV is BT.601 with limited range: say so.
    encoder->color_range = AVCOL_RANGE_MPEG;
    encoder->colorspace = AVCOL_SPC_SMPTE170M;
    encoder->color_primaries = AVCOL_PRI_SMPTE170M;
    encoder->color_trc = AVCOL_TRC_SMPTE170M;
    if (muxer->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    SetEncoderOptions(format, encoder);
    result = avcodec_open2(encoder, codec, nullptr);
    if (result < 0) {
        *error =
            std::string("could not start the ") + format.encoder + " encoder: " + AvError(result);
        return false;
    }
    result = avcodec_parameters_from_context(stream->codecpar, encoder);
    if (result < 0) return Fail("make", result, error);
    stream->time_base = encoder->time_base;
    if (palette && !BuildGifFilters(this, fps, error)) return false;

    picture->format = format.pixels;
    picture->width = encoder->width;
    picture->height = encoder->height;
    result = av_frame_get_buffer(picture, 0);
    if (result < 0) return Fail("make", result, error);

    AVDictionary* fileOptions = nullptr;
    av_dict_set(&fileOptions, "protocol_whitelist", "file", 0);
    result = avio_open2(&muxer->pb, url.c_str(), AVIO_FLAG_WRITE, nullptr, &fileOptions);
    av_dict_free(&fileOptions);
    if (result < 0) return Fail("create", result, error);
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);  // mp4: the index before the data
    av_dict_set(&options, "loop", "0", 0);               // gif, webp: loop for ever
    result = avformat_write_header(muxer, &options);
    av_dict_free(&options);
    if (result < 0) return Fail("write", result, error);
    return true;
}

// Sends one picture (or, with null, the end) to the encoder and writes
// every packet it has ready.
bool VideoFile::State::Encode(AVFrame* frame, std::string* error) {
    int result = avcodec_send_frame(encoder, frame);
    if (result < 0) return Fail("encode", result, error);
    for (;;) {
        result = avcodec_receive_packet(encoder, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) return Fail("encode", result, error);
        // Every picture shows for one frame. Without a duration the muxers
        // give the last picture none: mp4 would cut it from the edit list.
        if (packet->duration == 0) packet->duration = 1;
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        result = av_interleaved_write_frame(muxer, packet);
        if (result < 0) return Fail("write", result, error);
    }
}

// Through the palette filters, then to the encoder; null ends the stream.
bool VideoFile::State::Filter(AVFrame* frame, std::string* error) {
    int result = av_buffersrc_add_frame_flags(source, frame, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (result < 0) return Fail("encode", result, error);
    for (;;) {
        result = av_buffersink_get_frame(sink, filtered);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
        if (result < 0) return Fail("encode", result, error);
        bool encoded = Encode(filtered, error);
        av_frame_unref(filtered);
        if (!encoded) return false;
    }
    return frame || Encode(nullptr, error);
}

VideoFile::VideoFile(std::unique_ptr<State> state) : state_(std::move(state)) {}

VideoFile::~VideoFile() = default;

std::unique_ptr<VideoFile> VideoFile::Open(const std::string& path, int width, int height, int fps,
                                           std::string* error) {
    const Format* format = FormatFor(path);
    if (!format) {
        *error = "cannot tell the video format of " + path;
        return nullptr;
    }
    // FFmpeg's own notes (encoder settings, statistics) are not for users;
    // its errors are, next to ours.
    av_log_set_level(AV_LOG_ERROR);
    auto state = std::make_unique<State>(path);
    if (!state->Start(*format, width, height, fps, error)) return nullptr;
    return std::unique_ptr<VideoFile>(new VideoFile(std::move(state)));
}

bool VideoFile::AddFrame(const uint8_t* bgr, int width, int height, int64_t index,
                         std::string* error) {
    State& video = *state_;
    AVFrame* picture = video.picture;
    video.scaler = sws_getCachedContext(
        video.scaler, width, height, AV_PIX_FMT_BGR24, picture->width, picture->height,
        (AVPixelFormat)picture->format, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!video.scaler) return video.Fail("convert a frame for", AVERROR(EINVAL), error);
    // The encoder may still hold the last picture.
    int result = av_frame_make_writable(picture);
    if (result < 0) return video.Fail("encode", result, error);
    // From the top row down: start at the last row GL gave, step backwards.
    const int rowBytes = width * 3;
    const uint8_t* top[1] = {bgr + (size_t)(height - 1) * rowBytes};
    const int stride[1] = {-rowBytes};
    sws_scale(video.scaler, top, stride, 0, height, picture->data, picture->linesize);
    picture->pts = index;
    return video.graph ? video.Filter(picture, error) : video.Encode(picture, error);
}

bool VideoFile::Finish(std::string* error) {
    State& video = *state_;
    if (!(video.graph ? video.Filter(nullptr, error) : video.Encode(nullptr, error))) return false;
    // The trailer flushes what is buffered and reports any write error;
    // the close reports a failed close.
    int result = av_write_trailer(video.muxer);
    if (result < 0) return video.Fail("write", result, error);
    result = avio_closep(&video.muxer->pb);
    if (result < 0) return video.Fail("write", result, error);
    if (video.file.Commit()) return true;
    *error = "could not write " + video.file.Error();
    return false;
}
