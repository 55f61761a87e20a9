// The process entry: hand over to WinMain as the Win32 runtime does, with
// the command line after the program name, and shut SDL down afterwards.
#include "win32_api.h"

#include <SDL.h>

#include <string>

int main(int argc, char** argv) {
    SDL_SetMainReady();
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    int exitCode = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOW);
    SDL_Quit();
    return exitCode;
}
