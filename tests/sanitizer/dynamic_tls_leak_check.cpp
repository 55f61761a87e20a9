// The leak check at exit survives a loaded library's TLS block that glibc
// mallocs 16 bytes past a page (without the sanitizer defaults it crashes).
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

void* kept[1 << 16];  // reachable, so never reported

int main(int, char** argv) {
    void* module = dlopen(argv[1], RTLD_NOW);
    auto touch = module ? reinterpret_cast<void** (*)()>(dlsym(module, "TouchSlots")) : nullptr;
    if (!touch) {
        fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    // The block is malloc(32): 48-byte chunks with a 16-byte header. Take
    // them until the next one starts a page.
    for (void*& chunk : kept)
        if ((reinterpret_cast<uintptr_t>(chunk = malloc(32)) + 48) % 4096 == 16) break;
    // Any other place means the heap changed and this no longer checks.
    return reinterpret_cast<uintptr_t>(touch()) % 4096 == 16 ? 0 : 3;
}
