// Compiled into every program that links the platform (see CMakeLists.txt):
// the libraries under this layer keep memory they never free, which
// LeakSanitizer would otherwise report at every exit. Never our own code.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n"             // Mesa's software rasterizer
           "leak:FcInitLoadConfigAndFonts\n"  // fontconfig's one-time set-up
           "leak:libfontconfig.so\n";
}

// Quiet about the suppressions themselves; real leaks are still reported.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
