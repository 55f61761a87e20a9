// The program's entry on the page: a link naming a moment arrives as the
// arguments kv17-capture would take for it (--frames N --keys SCRIPT) and is
// read by the same parser; then WinMain runs, and the page is told the end.
#include "page.h"
#include "page_moment.h"
#include "win32_api.h"

#include <SDL.h>

#include <string>
#include <vector>

namespace {

// True when the run may start: no moment named, or one that reads well.
bool ReadMoment(const std::vector<std::string>& args) {
    if (args.empty()) return true;
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(args, false, &options, &error)) {
        kv17::page::TellBadLink(error.c_str());
        return false;
    }
    if (options.frames.size() != 1) {
        kv17::page::TellBadLink("frame= names one frame");
        return false;
    }
    kv17::page::NameMoment(options.frames.front(), options.keys);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    if (!ReadMoment(std::vector<std::string>(argv + 1, argv + argc))) return 2;
    char noCommandLine[] = "";
    const int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, noCommandLine, SW_SHOW);
    SDL_Quit();
    kv17::page::TellEnded(exitCode);
    return exitCode;
}
