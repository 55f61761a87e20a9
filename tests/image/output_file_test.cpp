// The tools' output files: a signal that ends a tool while it writes leaves nothing behind.
#include "output_file.h"
#include "test_files.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct SignalCase {
    const char* name;
    int signal;
};
void PrintTo(const SignalCase& row, std::ostream* out) { *out << row.name; }

class OutputFileSignalTest : public ::testing::TestWithParam<SignalCase> {};

// A child opens the file, writes part of it and says so; then the signal comes.
TEST_P(OutputFileSignalTest, EndsTheToolAndRemovesTheTemporaryFile) {
    TempDirectory temp;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        // As a tool started from a terminal has it, whatever runs the tests
        // ignores; and never a child left waiting if the signal is lost.
        signal(GetParam().signal, SIG_DFL);
        alarm(60);
        OutputFile file;
        const bool open = file.Open(temp.PathOf("out.bmp")) && file.Write("BM", 2);
        if (write(ready[1], &open, 1) != 1) _exit(1);
        for (;;) pause();
    }
    pollfd said{ready[0], POLLIN, 0};
    bool open = false;
    ASSERT_TRUE(poll(&said, 1, 10000) == 1 && read(ready[0], &open, 1) == 1 && open);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path), {}), 1);
    kill(child, GetParam().signal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam().signal) << status;
    EXPECT_TRUE(std::filesystem::is_empty(temp.path));
    close(ready[0]);
    close(ready[1]);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, OutputFileSignalTest,
    ::testing::Values(SignalCase{"Interrupt", SIGINT}, SignalCase{"Terminate", SIGTERM},
                      SignalCase{"HangUp", SIGHUP}, SignalCase{"Quit", SIGQUIT},
                      SignalCase{"BrokenPipe", SIGPIPE}, SignalCase{"User1", SIGUSR1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
