/* Loaded into the demo with LD_PRELOAD, it appends the time of every frame
 * presented (each SDL_GL_SwapWindow call, CLOCK_MONOTONIC in nanoseconds),
 * one line each, to the file KV17_SWAP_LOG names, so frame pacing can be
 * measured from outside on the binary as shipped. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Window SDL_Window;
typedef void (*SwapFunction)(SDL_Window*);

static SwapFunction swap;
static int logFd = -1;

/* Before the first frame, so that it is timed as the others are. */
__attribute__((constructor)) static void Start(void) {
    *(void**)&swap = dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"); /* POSIX's idiom */
    const char* path = getenv("KV17_SWAP_LOG");
    if (!path) return;
    logFd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (logFd < 0) fprintf(stderr, "kv17-swap-clock: cannot open %s: %s\n", path, strerror(errno));
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (logFd >= 0) {
        char line[32];
        int length = snprintf(line, sizeof line, "%lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
        if (write(logFd, line, (size_t)length) != length) logFd = -1;
    }
    swap(window);
}
