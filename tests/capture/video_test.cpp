// kv17-capture run as a program: its videos read back with FFmpeg's
// libraries (animated WebP, which this FFmpeg cannot read, with libwebp) and
// compared with its PNG of the same frame; and its failures.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <webp/demux.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

namespace fs = std::filesystem;

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("kv17-video-" + std::to_string(getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path))
            names.push_back(entry.path().filename());
        return names;
    }
};

// Runs kv17-capture --headless in the source tree (for its Data/) through
// the shell, its files limited to `blocks` of 512 bytes as a full disk would
// (with SIGXFSZ ignored a write past it fails with EFBIG); `meanwhile` runs
// while it works, $! its pid. The exit status and what it said on stderr.
std::pair<int, std::string> Capture(const std::vector<std::string>& args,
                                    const std::string& blocks = "unlimited",
                                    const std::string& meanwhile = "") {
    std::string command = "cd " KV17_SOURCE_DIR " && trap '' XFSZ && ulimit -f " + blocks +
                          " && " KV17_CAPTURE " --headless";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>&1 >/dev/null & " + meanwhile + " wait $!";
    FILE* shell = popen(command.c_str(), "r");
    std::string said;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, shell)) > 0;) said.append(buffer, n);
    const int status = pclose(shell);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

struct Decoded {
    int frames = 0, width = 0, height = 0;
    std::vector<uint8_t> rgb;  // frame `pick`
};

Decoded Decode(const std::string& path, int pick) {
    Decoded out;
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const WebPData data{(const uint8_t*)bytes.data(), bytes.size()};
    // Animated WebP through libwebp (RGBA), anything else through FFmpeg.
    if (WebPAnimDecoder* webp = WebPAnimDecoderNew(&data, nullptr)) {
        WebPAnimInfo info;
        WebPAnimDecoderGetInfo(webp, &info);
        out.width = (int)info.canvas_width, out.height = (int)info.canvas_height;
        uint8_t* rgba = nullptr;
        for (int time; WebPAnimDecoderGetNext(webp, &rgba, &time); ++out.frames)
            for (int i = 0; out.frames == pick && i < out.width * out.height * 4; ++i)
                if (i % 4 != 3) out.rgb.push_back(rgba[i]);
        WebPAnimDecoderDelete(webp);
        return out;
    }
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return out;
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, input->streams[stream]->codecpar);
    avcodec_open2(decoder, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    for (bool more = true; more;) {
        more = av_read_frame(input, packet) >= 0;
        if (!more || packet->stream_index == stream)
            avcodec_send_packet(decoder, more ? packet : nullptr);
        av_packet_unref(packet);
        while (avcodec_receive_frame(decoder, frame) == 0) {
            if (out.frames++ != pick) continue;
            out.rgb.resize((size_t)frame->width * frame->height * 3);
            SwsContext* toRgb = sws_getContext(
                frame->width, frame->height, (AVPixelFormat)frame->format, frame->width,
                frame->height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
            uint8_t* planes[1] = {out.rgb.data()};
            const int strides[1] = {frame->width * 3};
            sws_scale(toRgb, frame->data, frame->linesize, 0, frame->height, planes, strides);
            sws_freeContext(toRgb);
        }
    }
    out.width = decoder->width, out.height = decoder->height;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return out;
}

double Psnr(const std::vector<uint8_t>& a, const uint8_t* b) {
    double squares = 0.0;
    for (size_t i = 0; i < a.size(); ++i) squares += (a[i] - b[i]) * (a[i] - b[i]);
    return 10.0 * std::log10(255.0 * 255.0 * a.size() / squares);
}

// Each format holds the frames asked for at the size asked for, and its
// sixth picture is demo frame 155 as the PNG capture has it: at 30 fps every
// second frame is kept, at 50 five of six. GIF's palette of 256 colours a
// frame is near lossless.
TEST(CaptureVideoTest, EachFormatReadsBackAsItsFrames) {
    TempDir dir;
    ASSERT_EQ(Capture({"--frames", "155", "--shrink", "2", "--out", dir.path}).first, 0);
    int width = 0, height = 0, channels = 0;
    uint8_t* png = stbi_load((dir.path / "frame-00155.png").c_str(), &width, &height, &channels, 3);
    ASSERT_TRUE(png);
    const struct {
        const char *name, *frames, *fps;
        int count;
        double leastPsnr;
    } cases[] = {{"clip.mp4", "150-161", "60", 12, 30},
                 {"clip.webm", "150-161", "60", 12, 30},
                 {"clip.gif", "149-160", "50", 10, 38},
                 {"clip.webp", "150-161", "60", 12, 30},
                 {"half.mp4", "145-156", "30", 6, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path / c.name;
        auto [status, said] =
            Capture({"--video", path, "--frames", c.frames, "--fps", c.fps, "--shrink", "2"});
        ASSERT_EQ(status, 0) << said;
        Decoded video = Decode(path, 5);
        EXPECT_EQ(video.frames, c.count);
        EXPECT_EQ(video.width, 320);
        EXPECT_EQ(video.height, 240);
        ASSERT_EQ(video.rgb.size(), (size_t)width * height * 3);
        EXPECT_GT(Psnr(video.rgb, png), c.leastPsnr);
    }
    stbi_image_free(png);
}

TEST(CaptureVideoTest, FailuresSayWhyAndLeaveNoFile) {
    TempDir dir;
    const std::string in = dir.path.string() + "/";
    std::ofstream(in + "file") << "in the way";
    const struct {
        std::vector<std::string> args;
        const char* blocks;
        int status;
        std::string says;
    } cases[] = {
        {{"--video", in + "clip.avi"}, "unlimited", 2, "cannot tell the video format"},
        {{"--video", in + "file/x.mp4"}, "unlimited", 1, "create " + in + "file/x.mp4: Not a dir"},
        {{"--video", in + "x.mp4", "--frames", "1-90"}, "8", 1, in + "x.mp4: File too large"},
        {{"--frames", "1", "--out", in}, "8", 1, in + "frame-00001.png: File too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        auto [status, said] = Capture(c.args, c.blocks);
        EXPECT_EQ(status, c.status);
        EXPECT_NE(said.find(c.says), std::string::npos) << said;
        EXPECT_EQ(dir.Files(), std::vector<std::string>{"file"});
    }
}

// Stopped while recording (SIGTERM here; Ctrl-C takes the same way): the
// frames made so far, as a finished video.
TEST(CaptureVideoTest, StoppedVideoIsFinishedShorter) {
    TempDir dir;
    const std::string path = dir.path / "clip.mp4";
    // Stopped once its temporary file is there, with the first frame.
    auto [status, said] = Capture({"--video", path, "--frames", "1-100000"}, "unlimited",
                                  "while [ -z \"$(ls -A " + dir.path.string() +
                                      ")\" ] && kill -0 $!; do sleep 0.01; done; kill $!;");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"clip.mp4"});
    const int frames = Decode(path, 0).frames;
    EXPECT_GT(frames, 0);
    char summary[48];  // the summary counts as many as were made
    snprintf(summary, sizeof summary, " (stopped early), %d video frames", frames);
    EXPECT_NE(said.find(summary), std::string::npos) << said;
}

}  // namespace
