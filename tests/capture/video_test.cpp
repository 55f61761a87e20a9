// kv17-capture run: each video format read back against the PNG of its frame; failures; a stop.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <webp/demux.h>

#include <cmath>
#include <filesystem>
#include <fstream>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

namespace fs = std::filesystem;

struct CaptureVideoTest : ::testing::Test {
    const fs::path dir = fs::temp_directory_path() / ("kv17-video-" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
};

// Runs kv17-capture --headless in the source tree (its Data/), files limited to `blocks` of 512
// bytes as on a full disk, `meanwhile` run beside it ($! its pid).
std::pair<int, std::string> Capture(const std::vector<std::string>& args,
                                    const std::string& blocks = "unlimited",
                                    const std::string& meanwhile = "") {
    std::string command = "cd " KV17_SOURCE_DIR " && trap '' XFSZ && ulimit -f " + blocks +
                          " && " KV17_CAPTURE " --headless";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>&1 & " + meanwhile + " wait $!";
    FILE* shell = popen(command.c_str(), "r");
    std::string said;
    for (int c; (c = fgetc(shell)) != EOF;) said += char(c);
    const int status = pclose(shell);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

// Frame count and frame `pick` as RGB: animated WebP by libwebp (FFmpeg can't), the rest by FFmpeg.
std::pair<int, std::vector<uint8_t>> Decode(const std::string& path, int pick) {
    std::pair<int, std::vector<uint8_t>> out;
    auto& [frames, rgb] = out;
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const WebPData data{(const uint8_t*)bytes.data(), bytes.size()};
    if (WebPAnimDecoder* webp = WebPAnimDecoderNew(&data, nullptr)) {
        WebPAnimInfo info;
        WebPAnimDecoderGetInfo(webp, &info);
        uint8_t* rgba = nullptr;
        for (int time; WebPAnimDecoderGetNext(webp, &rgba, &time); ++frames)
            for (uint32_t i = 0; frames == pick && i < info.canvas_width * info.canvas_height; ++i)
                rgb.insert(rgb.end(), rgba + 4 * i, rgba + 4 * i + 3);
        WebPAnimDecoderDelete(webp);
        return out;
    }
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return out;
    AVCodecContext* decoder = avcodec_alloc_context3(nullptr);
    avcodec_parameters_to_context(decoder, input->streams[0]->codecpar);  // the only stream
    avcodec_open2(decoder, avcodec_find_decoder(decoder->codec_id), nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    for (bool more = true; more;) {
        more = av_read_frame(input, packet) >= 0;
        avcodec_send_packet(decoder, more ? packet : nullptr);
        av_packet_unref(packet);
        while (avcodec_receive_frame(decoder, frame) == 0) {
            if (frames++ != pick) continue;
            const int width = frame->width, height = frame->height, stride = width * 3;
            rgb.resize(height * stride);
            uint8_t* plane = rgb.data();
            SwsContext* toRgb =
                sws_getContext(width, height, (AVPixelFormat)frame->format, width, height,
                               AV_PIX_FMT_RGB24, 0, nullptr, nullptr, nullptr);
            sws_scale(toRgb, frame->data, frame->linesize, 0, height, &plane, &stride);
            sws_freeContext(toRgb);
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return out;
}

// Each format's sixth picture is demo frame 155 as its PNG has it (so of its size too): at 30 fps
// every second frame is kept, at 50 five of six.
TEST_F(CaptureVideoTest, EachFormatReadsBackAsItsFrames) {
    ASSERT_EQ(Capture({"--frames", "155", "--shrink", "2", "--out", dir}).first, 0);
    const std::vector<uint8_t> png = Decode(dir / "frame-00155.png", 0).second;
    ASSERT_EQ(png.size(), 320u * 240 * 3);
    const std::tuple<const char*, const char*, const char*, int, double> cases[] = {
        {"clip.mp4", "150-161", "60", 12, 30},
        {"clip.webm", "150-161", "60", 12, 30},
        {"clip.gif", "149-160", "50", 10, 38},
        {"clip.webp", "150-161", "60", 12, 30},
        {"half.mp4", "145-156", "30", 6, 30}};
    for (const auto& [name, frames, fps, count, leastPsnr] : cases) {
        SCOPED_TRACE(name);
        auto [status, said] =
            Capture({"--video", dir / name, "--frames", frames, "--fps", fps, "--shrink", "2"});
        EXPECT_EQ(status, 0) << said;
        const auto [made, rgb] = Decode(dir / name, 5);
        EXPECT_EQ(made, count);
        EXPECT_EQ(rgb.size(), png.size());
        double squares = 0.0;  // PSNR; a GIF frame's 256 colours are near lossless
        for (size_t i = 0; i < png.size() && i < rgb.size(); ++i)
            squares += (rgb[i] - png[i]) * (rgb[i] - png[i]);
        EXPECT_GT(10.0 * std::log10(255.0 * 255.0 * png.size() / squares), leastPsnr);
    }
}

// Help, misuse and failures: each says why and leaves no file behind. Stopped (SIGTERM here;
// Ctrl-C goes the same way) once its temporary file is there, a recording is finished shorter.
TEST_F(CaptureVideoTest, FailuresLeaveNoFileAndAStopLeavesAFinishedShorterVideo) {
    const std::string in = dir.string() + "/";
    const std::tuple<std::vector<std::string>, const char*, int, std::string> cases[] = {
        {{"-h"}, "unlimited", 0, "usage: kv17-capture --frames LIST"},
        {{"--video", in + "clip.avi"}, "unlimited", 2, "cannot tell the video format"},
        {{"--video", in + "x.mp4", "--frames", "1-90"}, "8", 1, in + "x.mp4: File too large"},
        {{"--frames", "1", "--out", in}, "8", 1, in + "frame-00001.png: File too large"}};
    for (const auto& [args, blocks, want, says] : cases) {
        auto [status, said] = Capture(args, blocks);
        EXPECT_EQ(status, want) << said;
        EXPECT_NE(said.find(says), std::string::npos) << said;
        EXPECT_TRUE(fs::is_empty(dir)) << said;
    }
    const std::string path = dir / "clip.mp4";
    auto [status, said] = Capture({"--video", path, "--frames", "1-100000"}, "unlimited",
                                  "while [ -z \"$(ls -A " + dir.string() +
                                      ")\" ] && kill -0 $!; do sleep 0.01; done; kill $!;");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    const int frames = Decode(path, 0).first;
    EXPECT_GT(frames, 0);
    const std::string counted = " (stopped early), " + std::to_string(frames) + " video frames";
    EXPECT_NE(said.find(counted), std::string::npos) << said;
}

}  // namespace
