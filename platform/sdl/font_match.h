// Finding the font file for a logical font: fontconfig's best match.
#pragma once

#include <string>

namespace kv17::platform {

struct FontFile {
    std::string path;       // empty: nothing matched
    int index = 0;          // face within the file
    bool embolden = false;  // bold asked for, only a lighter face found
};

// The installed face that best fits `family` (any face when null or empty),
// a Win32 weight (100..900, 0 meaning normal) and slant. A family that is not
// installed gets fontconfig's substitute, as GDI substitutes a face.
FontFile MatchFont(const char* family, int weight, bool italic);

// Starts loading fontconfig's configuration and font caches (about 5 ms) on a
// helper thread, once per process; the next MatchFont waits for it to end.
// Creating a GL context calls it: a program makes its outline fonts after
// that, and the load overlaps what it does before.
void LoadFontConfigurationAhead();

}  // namespace kv17::platform
