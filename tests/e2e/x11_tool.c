/* What the end-to-end runs ask of an X window:
 *   kv17_x11 close WINDOW-ID          asks it to close, as a window manager's
 *                                     close button does (WM_DELETE_WINDOW)
 *   kv17_x11 lit WINDOW-ID FIRST END  prints how many pixels of the rows in
 *                                     [FIRST, END) are lit, as a screenshot
 *                                     would show them */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Close(Display* display, Window window) {
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    return XSendEvent(display, window, False, NoEventMask, &event) ? 0 : 1;
}

static int CountLit(Display* display, Window window, int first, int end) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    if (end > attributes.height) end = attributes.height;
    if (first < 0 || end <= first) return 1;
    XImage* image =
        XGetImage(display, window, 0, first, attributes.width, end - first, AllPlanes, ZPixmap);
    if (!image) return 1;
    long lit = 0;
    for (int y = 0; y < end - first; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            lit += (p & image->red_mask) * 255 / image->red_mask > 40 ||
                   (p & image->green_mask) * 255 / image->green_mask > 40 ||
                   (p & image->blue_mask) * 255 / image->blue_mask > 40;
        }
    printf("%ld\n", lit);
    XDestroyImage(image);
    return 0;
}

int main(int argc, char** argv) {
    const int close = argc == 3 && !strcmp(argv[1], "close");
    const int lit = argc == 5 && !strcmp(argv[1], "lit");
    if (!close && !lit) {
        fprintf(stderr, "usage: %s close WINDOW-ID | lit WINDOW-ID FIRST-ROW END-ROW\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) return 1;
    Window window = (Window)strtoul(argv[2], NULL, 0);
    int status = close ? Close(display, window)
                       : CountLit(display, window, atoi(argv[3]), atoi(argv[4]));
    XCloseDisplay(display);
    return status;
}
