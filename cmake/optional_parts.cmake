# Which optional parts are built: KV17_BUILD_TOOLS, KV17_BUILD_BENCHMARKS and
# KV17_BUILD_TESTS, from KV17_TOOLS, KV17_BENCHMARKS and KV17_TESTS and the
# libraries installed. The demo itself needs none of these libraries.

# kv17_decide(PART MISSING VAR...): KV17_BUILD_<PART> from KV17_<PART>. The
# part's libraries are there when every VAR is true; MISSING names them.
function(kv17_decide part missing)
    set(found ON)
    foreach(var IN LISTS ARGN)
        set(value "${${var}}")
        if(NOT value)
            set(found OFF)
        endif()
    endforeach()
    set(choice "${KV17_${part}}")
    string(TOLOWER ${part} name)
    if(choice STREQUAL "AUTO")
        set(build ${found})
        if(NOT found)
            message(STATUS "kv17: no ${name}: ${missing} not installed")
        endif()
    elseif(choice)
        if(NOT found)
            message(FATAL_ERROR "KV17_${part}=${choice}, but ${missing} not installed")
        endif()
        set(build ON)
    else()
        set(build OFF)
    endif()
    set(KV17_BUILD_${part} ${build} PARENT_SCOPE)
endfunction()

if(WIN32)
    # The demo, and the suites that need no platform of ours against
    # GoogleTest built for the target from Debian's sources (googletest).
    set(KV17_BUILD_TOOLS OFF)
    set(KV17_BUILD_BENCHMARKS OFF)
    find_path(KV17_GOOGLETEST_SOURCE NAMES googletest/src/gtest-all.cc
              PATH_SUFFIXES src/googletest NO_CMAKE_FIND_ROOT_PATH
              DOC "GoogleTest's source tree, built for the target")
    kv17_decide(TESTS "GoogleTest's sources (googletest)" KV17_GOOGLETEST_SOURCE)
    return()
endif()
if(EMSCRIPTEN)
    # The page and its test in a browser; none of the native parts.
    set(KV17_BUILD_TOOLS OFF)
    set(KV17_BUILD_BENCHMARKS OFF)
    kv17_decide(TESTS "")
    return()
endif()

# stb is headers only: the tools compile the parts they use.
find_path(KV17_STB_INCLUDE_DIR NAMES stb/stb_image.h DOC "The folder holding stb/")
if(KV17_STB_INCLUDE_DIR)
    add_library(kv17_stb INTERFACE)
    target_include_directories(kv17_stb SYSTEM INTERFACE ${KV17_STB_INCLUDE_DIR})
endif()
pkg_check_modules(FFMPEG QUIET IMPORTED_TARGET
    libavcodec libavformat libavfilter libswscale libavutil)
pkg_check_modules(LIBPNG QUIET IMPORTED_TARGET libpng)
find_package(benchmark QUIET)
find_package(GTest QUIET)
pkg_check_modules(WEBPDEMUX QUIET IMPORTED_TARGET libwebpdemux)

kv17_decide(TOOLS "stb (libstb-dev), FFmpeg (libav*-dev) or libpng (libpng-dev)"
            KV17_STB_INCLUDE_DIR FFMPEG_FOUND LIBPNG_FOUND)
kv17_decide(BENCHMARKS "stb (libstb-dev) or Google Benchmark (libbenchmark-dev)"
            KV17_STB_INCLUDE_DIR benchmark_FOUND)
# The tests run the tools and read animated WebP back with libwebp.
kv17_decide(TESTS "the tools, GoogleTest (libgtest-dev) or libwebp (libwebp-dev)"
            KV17_BUILD_TOOLS GTest_FOUND WEBPDEMUX_FOUND)
