// Code page 1252 against the C library's own converter, byte by byte.
#include "code_page_1252.h"

#include <gtest/gtest.h>

#include <iconv.h>

using kv17::platform::UnicodeFromCodePage1252;

namespace {

// glibc's CP1252 table; 0 where it knows no character for the byte.
char32_t ConvertedByIconv(unsigned char code) {
    iconv_t cd = iconv_open("UTF-32LE", "CP1252");
    if (cd == (iconv_t)-1) return 0;
    char in[1] = {(char)code};
    unsigned char out[4] = {};
    char* inPtr = in;
    char* outPtr = (char*)out;
    size_t inLeft = 1, outLeft = 4;
    size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == (size_t)-1) return 0;
    return out[0] | out[1] << 8 | out[2] << 16 | (char32_t)out[3] << 24;
}

}  // namespace

TEST(CodePage1252, EveryDefinedByteMatchesTheSystemTable) {
    int compared = 0;
    for (int code = 0; code < 256; ++code) {
        char32_t expected = ConvertedByIconv((unsigned char)code);
        if (expected == 0 && code != 0) continue;
        EXPECT_EQ(UnicodeFromCodePage1252((unsigned char)code), expected) << "byte " << code;
        ++compared;
    }
    EXPECT_GE(compared, 251);  // all but the five undefined bytes
}

TEST(CodePage1252, TheHighControlRangeHoldsTypographicSigns) {
    EXPECT_EQ(UnicodeFromCodePage1252(0x80), U'\u20AC');  // euro sign
    EXPECT_EQ(UnicodeFromCodePage1252(0x85), U'\u2026');  // ellipsis
    EXPECT_EQ(UnicodeFromCodePage1252(0x89), U'\u2030');  // per mille
    EXPECT_EQ(UnicodeFromCodePage1252(0x9F), U'\u0178');  // Y with diaeresis
}

TEST(CodePage1252, UndefinedBytesBecomeTheControlOfTheSameValue) {
    for (unsigned char code : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(UnicodeFromCodePage1252(code), (char32_t)code);
}

TEST(CodePage1252, AsciiAndLatin1AreThemselves) {
    for (unsigned char code : {0x00, 0x1F, 0x41, 0x7F, 0xA0, 0xC7, 0xFF})
        EXPECT_EQ(UnicodeFromCodePage1252(code), (char32_t)code);
}
