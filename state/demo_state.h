// The demo state: the process-wide variables that the shell and the scene
// share. Every access happens on the program's one thread.
#pragma once

#include "win32_api.h"

extern bool keyDown[256];  // indexed by virtual-key code
extern bool isActive;      // the window is not minimised
extern bool isFullscreen;  // the window is (to be) full-screen
extern bool spinRising;    // the spin steps grow (else they shrink)
extern float spinStepX;    // degrees per frame about x
extern float spinStepY;    // degrees per frame about y
extern float viewDepth;    // camera translation along z
extern bool flashPending;  // the next cube frame draws the white flash

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HDC windowDC;
extern HGLRC renderContext;

// Puts every variable above back to its start value, as at process start.
void ResetDemoState();
