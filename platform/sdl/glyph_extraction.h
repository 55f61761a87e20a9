// Glyphs made ready for compiling on a helper thread: while the caller
// compiles one glyph into a GL list (Mesa's part, the larger one), FreeType,
// the flattening and the GLU tessellator work on the glyphs after it.
#pragma once

#include "win32_api.h"  // before <GL/gl.h>, which keeps the APIENTRY it defines

#include "font_match.h"
#include "glyph_outline.h"
#include "glyph_tessellation.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kv17::platform {

struct ExtractedGlyph {
    std::vector<Contour> contours;  // in font units
    GlyphFill fill;
    GLYPHMETRICSFLOAT metrics;  // in em
};

struct FreeTypeRelease {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

class GlyphExtraction {
public:
    // Starts extracting the glyphs of codes first .. first + count - 1 (code
    // page 1252) of `file`, in order, arcs flattened to `deviation` em (0:
    // one design unit), bold synthesized when the file asks for it. Null,
    // with nothing started, when the file has no outline face.
    static std::unique_ptr<GlyphExtraction> Start(const FontFile& file, float deviation,
                                                  unsigned first, unsigned count);
    ~GlyphExtraction();  // stops the helper if it is still at work
    GlyphExtraction(const GlyphExtraction&) = delete;
    GlyphExtraction& operator=(const GlyphExtraction&) = delete;

    double UnitsPerEm() const { return unitsPerEm_; }
    // Glyph `i` of the range once it is ready; null when it failed, and for
    // every glyph after it: extraction stops at the first failure.
    const ExtractedGlyph* Wait(unsigned i);

private:
    using Library = std::unique_ptr<FT_LibraryRec_, FreeTypeRelease>;
    using Face = std::unique_ptr<FT_FaceRec_, FreeTypeRelease>;

    GlyphExtraction(Library library, Face face, bool embolden, double tolerance, unsigned first,
                    unsigned count);
    void Run();
    bool Extract(unsigned char code, ExtractedGlyph* glyph) const;
    bool Publish(unsigned i, bool extracted);  // false: stop

    // Used by the helper alone once it runs.
    Library library_;
    Face face_;
    double unitsPerEm_;
    bool embolden_;
    double tolerance_;  // font units
    unsigned first_;

    std::vector<ExtractedGlyph> glyphs_;
    std::mutex mutex_;
    std::condition_variable progress_;
    unsigned ready_ = 0;    // glyphs_[0 .. ready_) are complete
    bool stopped_ = false;  // no more will come: a glyph failed, or the owner left
    std::thread helper_;
};

}  // namespace kv17::platform
