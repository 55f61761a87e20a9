// Fonts and outline glyphs: the GDI font calls and wglUseFontOutlinesA over
// fontconfig, FreeType and the GLU tessellator.
//
//   CreateFontA          fontconfig's best match for face name, weight and
//                        italic flag; bold is synthesized (FreeType
//                        emboldening) when only a lighter face matches. The
//                        other arguments do not change outlines and are ignored
//   SelectObject         fonts only; a DC starts with the stock system font,
//                        a raster font (it has no outlines)
//   DeleteObject         fails for a font still selected into a live DC
//   wglUseFontOutlinesA  WGL_FONT_POLYGONS only, codes 0..255 through code
//                        page 1252; the em square maps to 1.0, deviation 0 is
//                        one design unit; a code the font lacks gets its
//                        missing-glyph shape
#include "sdl_internal.h"
#include "seam_internal.h"

#include "code_page_1252.h"
#include "font_match.h"
#include "glyph_list.h"
#include "glyph_outline.h"
#include "glyph_tessellation.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

struct HFONT__ {
    kv17::platform::FontFile file;  // no path: a font without outlines
    std::vector<HDC> selectedInto;  // DCs it was selected into, some maybe gone
};

namespace {

struct FontState {
    std::vector<std::unique_ptr<HFONT__>> fonts;
    HFONT__ systemFont;  // stock object: never created, never deleted
} gdi;

constexpr FT_Int32 kUnscaledOutline = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

bool IsFont(HGDIOBJ object) {
    if (object == &gdi.systemFont) return true;
    return std::any_of(gdi.fonts.begin(), gdi.fonts.end(),
                       [object](auto& f) { return f.get() == object; });
}

HFONT FontOf(HDC dc) {
    HGDIOBJ selected = dc->selectedFont;
    return selected ? static_cast<HFONT>(selected) : &gdi.systemFont;
}

bool IsSelected(HFONT font) {
    return std::any_of(font->selectedInto.begin(), font->selectedInto.end(), [font](HDC dc) {
        return kv17::platform::IsDC(dc) && dc->selectedFont == font;
    });
}

// GL is idle without a current context: there is no version to read.
bool HasCurrentContext() { return glGetString(GL_VERSION) != nullptr; }

struct FreeTypeRelease {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<FT_LibraryRec_, FreeTypeRelease>;
using Face = std::unique_ptr<FT_FaceRec_, FreeTypeRelease>;

// An outline face of `file` with a Unicode character map, or null.
Face OpenOutlineFace(FT_Library library, const kv17::platform::FontFile& file) {
    FT_Face face = nullptr;
    if (file.path.empty() || FT_New_Face(library, file.path.c_str(), file.index, &face) != 0)
        return nullptr;
    Face owned(face);
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    return owned;
}

// GDI's metrics in em units; a blank glyph gets a one-unit box, as GDI gives
// it a one-pixel box.
GLYPHMETRICSFLOAT MetricsOf(const FT_Outline& outline, FT_Pos advance, double unitsPerEm) {
    FT_BBox box{0, -1, 1, 0};
    if (outline.n_points > 0) FT_Outline_Get_CBox(&outline, &box);
    GLYPHMETRICSFLOAT metrics;
    metrics.gmfBlackBoxX = (FLOAT)((box.xMax - box.xMin) / unitsPerEm);
    metrics.gmfBlackBoxY = (FLOAT)((box.yMax - box.yMin) / unitsPerEm);
    metrics.gmfptGlyphOrigin.x = (FLOAT)(box.xMin / unitsPerEm);
    metrics.gmfptGlyphOrigin.y = (FLOAT)(box.yMax / unitsPerEm);
    metrics.gmfCellIncX = (FLOAT)(advance / unitsPerEm);
    metrics.gmfCellIncY = 0.0f;
    return metrics;
}

struct Extraction {
    FT_Face face;
    bool embolden;
    double tolerance;  // font units
    float extrusion;
    std::vector<kv17::platform::Contour> contours;
    kv17::platform::GlyphFill fill;
};

// Compiles the glyph of character `code` into `list`.
bool ExtractGlyph(Extraction& x, unsigned char code, GLuint list, GLYPHMETRICSFLOAT* metrics) {
    // Index 0, what a missing code gets, is the font's missing-glyph shape.
    FT_UInt index = FT_Get_Char_Index(x.face, kv17::platform::UnicodeFromCodePage1252(code));
    if (FT_Load_Glyph(x.face, index, kUnscaledOutline) != 0) return false;
    FT_GlyphSlot glyph = x.face->glyph;
    if (glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    FT_Pos advance = glyph->metrics.horiAdvance;
    if (x.embolden) {
        // FreeType's own synthetic-bold strength: 1/24 em wider and higher.
        FT_Pos strength = x.face->units_per_EM / 24;
        if (FT_Outline_EmboldenXY(&glyph->outline, strength, strength) != 0) return false;
        advance += strength;
    }
    double unitsPerEm = x.face->units_per_EM;
    if (!kv17::platform::FlattenOutline(&glyph->outline, x.tolerance, &x.contours)) return false;
    if (!kv17::platform::FillContours(x.contours, &x.fill)) return false;
    GLYPHMETRICSFLOAT m = MetricsOf(glyph->outline, advance, unitsPerEm);
    kv17::platform::CompileGlyphList(list, x.contours, x.fill, unitsPerEm, x.extrusion,
                                     m.gmfCellIncX);
    if (metrics) *metrics = m;
    return true;
}

}  // namespace

HFONT WINAPI CreateFontA(int, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD,
                         DWORD, DWORD, DWORD, LPCSTR faceName) {
    if (kv17::seam::CallFails("CreateFontA")) return nullptr;
    auto font = std::make_unique<HFONT__>();
    font->file = kv17::platform::MatchFont(faceName, weight, italic != 0);
    gdi.fonts.push_back(std::move(font));
    return gdi.fonts.back().get();
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    if (kv17::seam::CallFails("SelectObject")) return nullptr;
    if (!kv17::platform::IsDC(dc) || !IsFont(object)) return nullptr;
    HFONT previous = FontOf(dc);
    HFONT font = static_cast<HFONT>(object);
    dc->selectedFont = font;
    auto& dcs = font->selectedInto;
    std::erase_if(dcs, [](HDC gone) { return !kv17::platform::IsDC(gone); });
    if (std::find(dcs.begin(), dcs.end(), dc) == dcs.end()) dcs.push_back(dc);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    if (kv17::seam::CallFails("DeleteObject")) return FALSE;
    if (object == &gdi.systemFont) return TRUE;  // stock objects ignore deletion
    if (!IsFont(object) || IsSelected(static_cast<HFONT>(object))) return FALSE;
    std::erase_if(gdi.fonts, [object](auto& f) { return f.get() == object; });
    return TRUE;
}

BOOL WINAPI wglUseFontOutlinesA(HDC dc, DWORD first, DWORD count, DWORD listBase, FLOAT deviation,
                                FLOAT extrusion, int format, LPGLYPHMETRICSFLOAT metrics) {
    if (kv17::seam::CallFails("wglUseFontOutlinesA")) return FALSE;
    // List 0 does not exist: compiling into it would draw instead.
    if (!kv17::platform::IsDC(dc) || format != WGL_FONT_POLYGONS || !(deviation >= 0.0f) ||
        first > 256 || count > 256 - first || listBase == 0 || !HasCurrentContext())
        return FALSE;

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return FALSE;
    Library ownedLibrary(library);
    HFONT font = FontOf(dc);
    Face face = OpenOutlineFace(library, font->file);
    if (!face) return FALSE;

    double unitsPerEm = face->units_per_EM;
    Extraction x{face.get(),
                 font->file.embolden,
                 deviation > 0.0f ? deviation * unitsPerEm : 1.0,
                 extrusion,
                 {},
                 {}};
    for (DWORD i = 0; i < count; ++i) {
        // Stop at a glyph that fails: the lists after it are left untouched.
        if (!ExtractGlyph(x, (unsigned char)(first + i), listBase + i,
                          metrics ? &metrics[i] : nullptr))
            return FALSE;
    }
    return TRUE;
}

int kv17::platform::LiveFontCount() { return (int)gdi.fonts.size(); }

void kv17::platform::ReleaseAllFonts() { gdi.fonts.clear(); }
