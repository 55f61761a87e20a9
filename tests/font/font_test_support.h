// What the font tests share: the font file fontconfig picks, an independent
// FreeType reading of it, and a few GL read-backs.
#pragma once

#include "glyph_outline.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The file of fontconfig's best match for a pattern such as "Glass Gauge:bold".
inline std::string MatchedFontFile(const char* pattern) {
    FcPattern* request = FcNameParse((const FcChar8*)pattern);
    FcConfigSubstitute(nullptr, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, request, &result);
    FcPatternDestroy(request);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = (const char*)file;
    if (match) FcPatternDestroy(match);
    return path;
}

// A face read straight from its file, in font units.
class FreeTypeFace {
public:
    explicit FreeTypeFace(const std::string& path) {
        if (FT_Init_FreeType(&library_) != 0) return;
        if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) face_ = nullptr;
    }
    ~FreeTypeFace() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    bool ok() const { return face_ != nullptr; }
    double unitsPerEm() const { return face_->units_per_EM; }
    const char* styleName() const { return face_->style_name; }
    bool HasGlyph(char32_t unicode) const { return FT_Get_Char_Index(face_, unicode) != 0; }

    // Loads the glyph (index 0, the missing-glyph shape, for a code the face lacks).
    FT_GlyphSlot Load(char32_t unicode) {
        FT_Load_Glyph(face_, FT_Get_Char_Index(face_, unicode), FT_LOAD_NO_SCALE);
        return face_->glyph;
    }
    double Advance(char32_t unicode) { return Load(unicode)->metrics.horiAdvance; }
    FT_BBox Box(char32_t unicode) {
        FT_BBox box{};
        FT_Outline_Get_CBox(&Load(unicode)->outline, &box);
        return box;
    }
    std::vector<kv17::platform::Contour> Flattened(char32_t unicode, double tolerance) {
        std::vector<kv17::platform::Contour> contours;
        kv17::platform::FlattenOutline(&Load(unicode)->outline, tolerance, &contours);
        return contours;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

using GlMatrix = std::array<GLfloat, 16>;

inline GlMatrix CurrentModelview() {
    GlMatrix m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// The matrix GL itself makes of `setup` applied to the identity.
template <typename Setup>
GlMatrix MatrixMadeBy(Setup setup) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    setup();
    GlMatrix m = CurrentModelview();
    glPopMatrix();
    return m;
}

inline bool SameBits(const GlMatrix& a, const GlMatrix& b) {
    return memcmp(a.data(), b.data(), sizeof(GLfloat) * 16) == 0;
}

// Pixels of an RGB frame (as ReadFrame gives it) brighter than `threshold`
// in any channel, within [x0, x1) x [y0, y1), rows counted from the bottom.
inline int LitPixels(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1,
                     int threshold = 64, int width = 640) {
    int lit = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &frame[((size_t)y * width + x) * 3];
            lit += p[0] > threshold || p[1] > threshold || p[2] > threshold;
        }
    return lit;
}
