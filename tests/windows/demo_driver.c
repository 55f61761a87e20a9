// Drives kv17demo.exe from outside, as a user would, for the smoke run under
// Wine. Each command waits up to a few seconds for its window:
//   kv17_demo_driver answer CAPTION yes|no   answers the message box
//   kv17_demo_driver look CLASS              the window exists and is drawn
//   kv17_demo_driver key CLASS CODE          posts a key press to the window
// Exit code 0 on success, 1 on failure (with a line on stderr), 2 on misuse.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kWaitMs = 10000, kPollMs = 20 };

// The message-box window class.
static const char kDialogClass[] = "#32770";

static HWND WaitForWindow(const char* className, const char* caption) {
    for (int waited = 0; waited < kWaitMs; waited += kPollMs) {
        HWND window = FindWindowA(className, caption);
        if (window) return window;
        Sleep(kPollMs);
    }
    fprintf(stderr, "no window of class \"%s\" captioned \"%s\"\n", className,
            caption ? caption : "(any)");
    return NULL;
}

static int Answer(const char* caption, const char* answer) {
    WPARAM button;
    if (strcmp(answer, "yes") == 0)
        button = IDYES;
    else if (strcmp(answer, "no") == 0)
        button = IDNO;
    else
        return 2;
    HWND box = WaitForWindow(kDialogClass, caption);
    if (!box) return 1;
    return PostMessageA(box, WM_COMMAND, button, 0) ? 0 : 1;
}

// Copies the window's client area from the screen and counts the pixels that
// are not black, and the distinct colours among them.
static int Look(const char* className) {
    HWND window = WaitForWindow(className, NULL);
    if (!window) return 1;
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        fprintf(stderr, "the window has no client area\n");
        return 1;
    }
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right;
    const int height = client.bottom;

    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = NULL;
    HBITMAP copy = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, copy);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();

    long lit = 0;
    int colours = 0;
    DWORD seen[16];
    const DWORD* pixels = (const DWORD*)bits;
    for (long i = 0; copied && i < (long)width * height; ++i) {
        DWORD colour = pixels[i] & 0xFFFFFF;
        if (colour == 0) continue;
        ++lit;
        int known = 0;
        for (int c = 0; c < colours; ++c) known |= seen[c] == colour;
        if (!known && colours < 16) seen[colours++] = colour;
    }

    SelectObject(memory, previous);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);

    printf("%dx%d at %ld,%ld: %ld of %ld pixels lit, %s%d colours\n", width, height, origin.x,
           origin.y, lit, (long)width * height, colours == 16 ? "at least " : "", colours);
    if (!copied) {
        fprintf(stderr, "could not copy the window from the screen\n");
        return 1;
    }
    // A drawn frame: a good part of the window lit, in more than one colour.
    if (lit < (long)width * height / 100 || colours < 2) {
        fprintf(stderr, "the window looks blank\n");
        return 1;
    }
    return 0;
}

static int Key(const char* className, const char* code) {
    char* end;
    long key = strtol(code, &end, 10);
    if (*end || key <= 0 || key > 255) return 2;
    HWND window = WaitForWindow(className, NULL);
    if (!window) return 1;
    return PostMessageA(window, WM_KEYDOWN, (WPARAM)key, 1) ? 0 : 1;
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
