// On Windows the demo calls the system itself: the real Win32 API, GDI and
// WGL, with OpenGL 1.1 and GLU from opengl32 and glu32.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
