// kv17-capture at its edges: a video name that reads like an address, a folder missing or in
// the way, SIGQUIT while recording, no texture; each says so and leaves only what it should.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct EdgeCase {
    const char* name;
    std::vector<std::string> args;  // after --headless, in a folder of its own
    int status;                     // the exit status, or 128 + the signal that ended it
    std::string says;               // a part of what stderr holds
    std::vector<std::string> left;  // the files made, apart from the folder "in.mp4" and Data/
    bool data = true;               // Data/texture.bmp is there
    bool quit = false;              // SIGQUIT once the recording's temporary file is there
};
void PrintTo(const EdgeCase& row, std::ostream* out) { *out << row.name; }

class CaptureEdgeTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(CaptureEdgeTest, SaysWhatHappenedAndLeavesOnlyThat) {
    const EdgeCase& row = GetParam();
    const fs::path dir = fs::temp_directory_path() / ("kv17-edge-" + std::string(row.name));
    fs::remove_all(dir);
    fs::create_directories(dir / "in.mp4");  // a folder where a file might go; it keeps stderr
    if (row.data) fs::create_directory_symlink(KV17_SOURCE_DIR "/Data", dir / "Data");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "in.mp4/err", O_WRONLY | O_CREAT, 0644);
    std::vector<char*> argv = {(char*)KV17_CAPTURE, (char*)"--headless"};
    for (const std::string& arg : row.args) argv.push_back((char*)arg.c_str());
    argv.push_back(nullptr);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // Started as from a terminal: a SIGQUIT ignored by whatever runs the
    // tests (a shell's background job) must not be ignored by the tool too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t quit;
    sigemptyset(&quit);
    sigaddset(&quit, SIGQUIT);
    posix_spawnattr_setsigdefault(&attributes, &quit);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, KV17_CAPTURE, &actions, &attributes, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    auto hidden = [](const fs::directory_entry& file) {
        return file.path().filename().c_str()[0] == '.';
    };
    while (row.quit && std::none_of(fs::directory_iterator(dir), {}, hidden) &&
           waitpid(pid, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (row.quit) kill(pid, SIGQUIT);
    waitpid(pid, &status, 0);
    EXPECT_EQ(WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status), row.status);
    std::ifstream err(dir / "in.mp4/err");
    const std::string said((std::istreambuf_iterator<char>(err)), {});
    EXPECT_NE(said.find(row.says), std::string::npos) << said;
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (!entry.path().string().starts_with((dir / "in.mp4").string()) &&
            entry.path() != dir / "Data")
            left.push_back(entry.path().lexically_relative(dir).string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, row.left);
    fs::remove_all(dir);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Edges, CaptureEdgeTest, ::testing::Values(
    EdgeCase{"NameLikeAnAddress", {"--video", "12:30.mp4", "--frames", "1-60", "--fps", "30"}, 0,
             "kv17-capture: 12:30.mp4: frames 1-60, 30 video frames at 30 fps: 1.0 s of video, "
             "made in ", {"12:30.mp4"}},
    EdgeCase{"FolderMissing", {"--video", "none/x.mp4"}, 1,
             "kv17-capture: could not create none/x.mp4: No such file or directory", {}},
    EdgeCase{"FolderInTheWay", {"--video", "in.mp4"}, 1,
             "kv17-capture: could not create in.mp4: Is a directory", {}},
    EdgeCase{"QuitWhileRecording", {"--video", "clip.mp4", "--frames", "1-100000"}, 128 + SIGQUIT,
             "", {}, true, true},
    // A folder name stat refuses outright, not as missing.
    EdgeCase{"FolderNameTooLong", {"--frames", "1", "--out", std::string(300, 'x') + "/shots"}, 1,
             "File name too long", {}},
    EdgeCase{"NoTexture", {"--frames", "1", "--out", "shots/new"}, 1,
             "Data/texture.bmp: No such file or directory", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
