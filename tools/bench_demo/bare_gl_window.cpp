// The yardstick for the demo's start-up and memory: the least an SDL
// program does to show GL frames in a 640x480 window, nothing else.
// Prints the wall-clock time of its first presented frame (ns since the
// epoch), presents FRAMES frames of a plain clear and exits.
#include "whole_number.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    int frames = 1;
    if (argc > 2 || (argc == 2 && !ParseWholeNumber(argv[1], 1, 1000000, &frames))) {
        fputs("usage: kv17-bare-gl [FRAMES]\n", stderr);
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("bare", 0, 0, 640, 480, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) return 1;
    for (int frame = 1; frame <= frames; ++frame) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        if (frame == 1) {  // drawn and about to be presented, as the demo reports it
            timespec now;
            clock_gettime(CLOCK_REALTIME, &now);
            printf("%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            fflush(stdout);
        }
        SDL_GL_SwapWindow(window);
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
