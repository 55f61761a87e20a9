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

#include "font_match.h"
#include "glyph_extraction.h"
#include "glyph_list.h"

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

    auto extraction =
        kv17::platform::GlyphExtraction::Start(FontOf(dc)->file, deviation, first, count);
    if (!extraction) return FALSE;
    for (DWORD i = 0; i < count; ++i) {
        // Stop at a glyph that fails: the lists after it are left untouched.
        const kv17::platform::ExtractedGlyph* glyph = extraction->Wait(i);
        if (!glyph) return FALSE;
        kv17::platform::CompileGlyphList(listBase + i, glyph->contours, glyph->fill,
                                         extraction->UnitsPerEm(), extrusion,
                                         glyph->metrics.gmfCellIncX);
        if (metrics) metrics[i] = glyph->metrics;
    }
    return TRUE;
}

int kv17::platform::LiveFontCount() { return (int)gdi.fonts.size(); }

void kv17::platform::ReleaseAllFonts() { gdi.fonts.clear(); }
