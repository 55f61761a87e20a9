// The GL window: building and tearing down the window with its device
// context, pixel format and GL context; the window procedure; the projection.
#pragma once

#include "win32_api.h"

bool OpenDemoWindow(const char* title, int width, int height, int bits, bool fullscreen);
void CloseDemoWindow();
LRESULT CALLBACK DemoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ResizeScene(int width, int height);
