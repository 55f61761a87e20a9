// Windows-1252, the ANSI code page that single-byte character codes mean.
#pragma once

namespace kv17::platform {

// The Unicode code point of a code page 1252 byte. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// of the same value, as Windows' own conversion does.
char32_t UnicodeFromCodePage1252(unsigned char code);

}  // namespace kv17::platform
