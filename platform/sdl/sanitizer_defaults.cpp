// Compiled into every program that links the platform (see CMakeLists.txt);
// the hooks matter only in a sanitizer build.

// The libraries under this layer keep memory they never free, which
// LeakSanitizer would otherwise report at every exit. Never our own code.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n"             // Mesa's software rasterizer
           "leak:FcInitLoadConfigAndFonts\n"  // fontconfig's one-time set-up
           "leak:libfontconfig.so\n";
}

// Quiet about the suppressions themselves; real leaks are still reported.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

// GCC 12's runtime still guesses the bounds of a dynamically loaded library's
// TLS block the way glibc 2.19 laid it out: a block that glibc mallocs 16
// bytes past a page boundary is taken to start where the word before it
// points. The leak check at exit then scans from a near-null address and
// dies ("Tracer caught signal 11"), which depends only on where the heap put
// that block (Mesa's, here). Current glibc mallocs these blocks, so the leak
// checker reaches them through the heap without that guess.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
