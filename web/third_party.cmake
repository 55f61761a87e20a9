# The C libraries of the browser build, compiled with emcc from Debian's own
# source packages (web/fetch-sources.sh fetches them once into the build
# folder): SDL2 on its Emscripten video driver, FreeType with the TrueType
# modules only, and GLU's tessellator. Warnings in them are theirs: off.
set(KV17_THIRD_PARTY ${CMAKE_BINARY_DIR}/third_party)
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/web/fetch-sources.sh ${KV17_THIRD_PARTY}
                RESULT_VARIABLE fetched)
if(NOT fetched EQUAL 0)
    message(FATAL_ERROR "web/fetch-sources.sh could not fetch the third-party sources")
endif()

# SDL2: its prebuilt Emscripten configuration (include/SDL_config_emscripten.h)
# with the subsystems the demo never starts left out.
set(sdl ${KV17_THIRD_PARTY}/sdl2/src)
file(GLOB sdl_sources
    ${sdl}/*.c ${sdl}/atomic/*.c ${sdl}/cpuinfo/*.c ${sdl}/dynapi/*.c ${sdl}/events/*.c
    ${sdl}/file/*.c ${sdl}/libm/*.c ${sdl}/loadso/dlopen/*.c ${sdl}/stdlib/*.c
    ${sdl}/thread/*.c ${sdl}/thread/generic/*.c ${sdl}/timer/*.c ${sdl}/timer/unix/*.c
    ${sdl}/video/*.c ${sdl}/video/emscripten/*.c ${sdl}/video/yuv2rgb/*.c)
add_library(kv17_sdl2 STATIC ${sdl_sources})
target_include_directories(kv17_sdl2 SYSTEM PUBLIC ${KV17_THIRD_PARTY}/sdl2/include)
target_compile_definitions(kv17_sdl2 PRIVATE SDL_AUDIO_DISABLED=1 SDL_JOYSTICK_DISABLED=1
    SDL_SENSOR_DISABLED=1 SDL_POWER_DISABLED=1 SDL_RENDER_DISABLED=1)
target_compile_options(kv17_sdl2 PRIVATE -w)

# FreeType: outlines of TrueType faces; nothing is rasterised or hinted
# (web/freetype has its modules and options).
set(ft ${KV17_THIRD_PARTY}/freetype)
add_library(kv17_freetype STATIC
    ${ft}/src/base/ftsystem.c ${ft}/src/base/ftinit.c ${ft}/src/base/ftdebug.c
    ${ft}/src/base/ftbase.c ${ft}/src/truetype/truetype.c ${ft}/src/sfnt/sfnt.c
    ${ft}/src/psnames/psnames.c)
target_include_directories(kv17_freetype SYSTEM PUBLIC ${ft}/include)
target_include_directories(kv17_freetype PRIVATE ${CMAKE_CURRENT_LIST_DIR}/freetype)
target_compile_definitions(kv17_freetype PRIVATE FT2_BUILD_LIBRARY
    "FT_CONFIG_MODULES_H=<kv17_ftmodule.h>" "FT_CONFIG_OPTIONS_H=<kv17_ftoption.h>")
target_compile_options(kv17_freetype PRIVATE -w)

# GLU's tessellator, built against GLU's own header.
set(tess ${KV17_THIRD_PARTY}/glu/src/libtess)
add_library(kv17_libtess STATIC
    ${tess}/dict.c ${tess}/geom.c ${tess}/memalloc.c ${tess}/mesh.c ${tess}/normal.c
    ${tess}/priorityq.c ${tess}/render.c ${tess}/sweep.c ${tess}/tess.c ${tess}/tessmono.c)
target_include_directories(kv17_libtess PRIVATE ${KV17_THIRD_PARTY}/glu/include
    ${KV17_THIRD_PARTY}/glu/src/include)
target_compile_options(kv17_libtess PRIVATE -w)
