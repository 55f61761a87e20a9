// Pixel formats, the same on a desktop and on a page.
//
//   ChoosePixelFormat  format 1, the one every window offers: RGBA, double
//                      buffered, depth >= 16, colour as close to 16 bits as
//                      the display gives; 0 for a descriptor it cannot meet
//   SetPixelFormat     once per DC; the descriptor is kept for the context
#include "sdl_internal.h"
#include "seam_internal.h"

namespace {

constexpr int kTheFormat = 1;

}  // namespace

using kv17::platform::IsDC;

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (kv17::seam::CallFails("ChoosePixelFormat")) return 0;
    if (!IsDC(dc) || !descriptor) return 0;
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((descriptor->dwFlags & needed) != needed) return 0;
    if (descriptor->iPixelType != PFD_TYPE_RGBA) return 0;
    return kTheFormat;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    if (kv17::seam::CallFails("SetPixelFormat")) return FALSE;
    if (!IsDC(dc) || format != kTheFormat || dc->pixelFormat != 0) return FALSE;
    dc->pixelFormat = format;
    if (descriptor) dc->formatAskedFor = *descriptor;
    return TRUE;
}
