#include "demo_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    return DemoMain(instance, previous, commandLine, showCommand);
}
