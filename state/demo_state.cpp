#include "demo_state.h"

#include <cstring>

bool keyDown[256];
bool isActive = true;
bool isFullscreen = true;
bool spinRising = true;
float spinStepX = 0.1f;
float spinStepY = 0.1f;
float viewDepth = -5.0f;
bool flashPending = false;

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HDC windowDC = nullptr;
HGLRC renderContext = nullptr;

void ResetDemoState() {
    memset(keyDown, 0, sizeof keyDown);
    isActive = true;
    isFullscreen = true;
    spinRising = true;
    spinStepX = 0.1f;
    spinStepY = 0.1f;
    viewDepth = -5.0f;
    flashPending = false;
    appInstance = nullptr;
    mainWindow = nullptr;
    windowDC = nullptr;
    renderContext = nullptr;
}
