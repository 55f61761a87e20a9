#include "demo_state.h"

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
