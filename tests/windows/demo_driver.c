// Drives kv17demo.exe from outside, as a user would, for the smoke run under
// Wine. Each command waits up to a few seconds for its window (and a frame):
//   kv17_demo_driver answer CAPTION yes|no   answers the message box
//   kv17_demo_driver look CLASS              the window exists and is drawn
//   kv17_demo_driver key CLASS CODE          posts a key press to the window
// Exit code 0 on success, 1 on failure (with a line on stderr), 2 on misuse.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kWaitMs = 10000, kPollMs = 20 };

static HWND WaitForWindow(const char* className, const char* caption) {
    for (int waited = 0; waited < kWaitMs; waited += kPollMs, Sleep(kPollMs)) {
        HWND window = FindWindowA(className, caption);
        if (window) return window;
    }
    fprintf(stderr, "no window of class \"%s\" captioned \"%s\"\n", className,
            caption ? caption : "(any)");
    return NULL;
}

// A message box (window class "#32770") is answered by its button's command.
static int Answer(const char* caption, const char* answer) {
    const int yes = !strcmp(answer, "yes");
    if (!yes && strcmp(answer, "no")) return 2;
    HWND box = WaitForWindow("#32770", caption);
    return box && PostMessageA(box, WM_COMMAND, yes ? IDYES : IDNO, 0) ? 0 : 1;
}

// Copies the window's client area from the screen until a drawn frame shows:
// a good part of it lit, in more than one colour.
static int Look(const char* className) {
    HWND window = WaitForWindow(className, NULL);
    RECT client;
    if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return 1;
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const long width = client.right, height = client.bottom;
    BITMAPINFO info = {.bmiHeader = {.biSize = sizeof(BITMAPINFOHEADER),
                                     .biWidth = width,
                                     .biHeight = -height,
                                     .biPlanes = 1,
                                     .biBitCount = 32}};
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = NULL;
    HBITMAP copy = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, copy);
    long lit = 0, otherColour = 0;
    for (int waited = 0; waited < kWaitMs && (lit < width * height / 100 || otherColour == 0);
         waited += kPollMs, Sleep(kPollMs)) {
        BOOL copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const DWORD* pixels = (const DWORD*)bits;
        lit = otherColour = 0;
        for (long i = 0; copied && i < width * height; ++i) {
            lit += (pixels[i] & 0xFFFFFF) != 0;
            otherColour += (pixels[i] & 0xFFFFFF) != (pixels[0] & 0xFFFFFF);
        }
    }
    SelectObject(memory, previous);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    printf("%ldx%ld: %ld pixels lit\n", width, height, lit);
    if (lit >= width * height / 100 && otherColour > 0) return 0;
    fprintf(stderr, "the window looks blank\n");
    return 1;
}

static int Key(const char* className, const char* code) {
    char* end;
    long key = strtol(code, &end, 10);
    if (*end || key <= 0 || key > 255) return 2;
    HWND window = WaitForWindow(className, NULL);
    return window && PostMessageA(window, WM_KEYDOWN, (WPARAM)key, 1) ? 0 : 1;
}

int main(int argc, char** argv) {
    int result = 2;
    if (argc == 4 && strcmp(argv[1], "answer") == 0)
        result = Answer(argv[2], argv[3]);
    else if (argc == 3 && strcmp(argv[1], "look") == 0)
        result = Look(argv[2]);
    else if (argc == 4 && strcmp(argv[1], "key") == 0)
        result = Key(argv[2], argv[3]);
    if (result == 2)
        fprintf(stderr,
                "usage: kv17_demo_driver answer CAPTION yes|no | look CLASS | "
                "key CLASS CODE\n");
    return result;
}
