/* Counts the lit pixels of an X window, as a screenshot would show them:
 *   kv17_window_probe WINDOW-ID [FIRST-ROW END-ROW]
 * prints "lit N of M" for the rows in [FIRST-ROW, END-ROW) (default: all). */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        fprintf(stderr, "usage: %s WINDOW-ID [FIRST-ROW END-ROW]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) return 1;
    Window window = (Window)strtoul(argv[1], NULL, 0);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    int first = argc == 4 ? atoi(argv[2]) : 0;
    int end = argc == 4 ? atoi(argv[3]) : attributes.height;
    if (first < 0) first = 0;
    if (end > attributes.height) end = attributes.height;
    if (end <= first) return 1;
    XImage* image = XGetImage(display, window, 0, first, attributes.width, end - first,
                              AllPlanes, ZPixmap);
    if (!image) return 1;
    long lit = 0;
    for (int y = 0; y < end - first; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            unsigned long r = (pixel & image->red_mask) * 255 / image->red_mask;
            unsigned long g = (pixel & image->green_mask) * 255 / image->green_mask;
            unsigned long b = (pixel & image->blue_mask) * 255 / image->blue_mask;
            if (r > 40 || g > 40 || b > 40) ++lit;
        }
    }
    printf("lit %ld of %ld\n", lit, (long)attributes.width * (end - first));
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}
