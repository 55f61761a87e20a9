#include "glyph_extraction.h"

#include "code_page_1252.h"

#include FT_OUTLINE_H

#include <system_error>
#include <utility>

namespace kv17::platform {

namespace {

constexpr FT_Int32 kUnscaledOutline = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

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

}  // namespace

std::unique_ptr<GlyphExtraction> GlyphExtraction::Start(const FontFile& file, float deviation,
                                                        unsigned first, unsigned count) {
    FT_Library library = nullptr;
    if (file.path.empty() || FT_Init_FreeType(&library) != 0) return nullptr;
    Library ownedLibrary(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) return nullptr;
    Face ownedFace(face);
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    const double tolerance = deviation > 0.0f ? deviation * face->units_per_EM : 1.0;
    return std::unique_ptr<GlyphExtraction>(new GlyphExtraction(
        std::move(ownedLibrary), std::move(ownedFace), file.embolden, tolerance, first, count));
}

GlyphExtraction::GlyphExtraction(Library library, Face face, bool embolden, double tolerance,
                                 unsigned first, unsigned count)
    : library_(std::move(library)),
      face_(std::move(face)),
      unitsPerEm_(face_->units_per_EM),
      embolden_(embolden),
      tolerance_(tolerance),
      first_(first),
      glyphs_(count) {
#ifdef __EMSCRIPTEN__
    Run();  // a page has no second thread: the whole range now
#else
    try {
        helper_ = std::thread(&GlyphExtraction::Run, this);
    } catch (const std::system_error&) {
        Run();  // no thread to be had: the whole range now, on this one
    }
#endif
}

GlyphExtraction::~GlyphExtraction() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    if (helper_.joinable()) helper_.join();
}

const ExtractedGlyph* GlyphExtraction::Wait(unsigned i) {
    std::unique_lock lock(mutex_);
    progress_.wait(lock, [&] { return ready_ > i || stopped_; });
    return ready_ > i ? &glyphs_[i] : nullptr;
}

void GlyphExtraction::Run() {
    for (unsigned i = 0; i < glyphs_.size(); ++i) {
        // Only this thread touches glyphs_[i] until Publish hands it over.
        if (!Publish(i, Extract((unsigned char)(first_ + i), &glyphs_[i]))) return;
    }
}

bool GlyphExtraction::Publish(unsigned i, bool extracted) {
    {
        std::lock_guard lock(mutex_);
        if (extracted)
            ready_ = i + 1;
        else
            stopped_ = true;
        extracted = extracted && !stopped_;
    }
    progress_.notify_one();
    return extracted;
}

bool GlyphExtraction::Extract(unsigned char code, ExtractedGlyph* glyph) const {
    FT_Face face = face_.get();
    // Index 0, what a missing code gets, is the font's missing-glyph shape.
    FT_UInt index = FT_Get_Char_Index(face, UnicodeFromCodePage1252(code));
    if (FT_Load_Glyph(face, index, kUnscaledOutline) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    FT_Pos advance = slot->metrics.horiAdvance;
    if (embolden_) {
        // FreeType's own synthetic-bold strength: 1/24 em wider and higher.
        FT_Pos strength = face->units_per_EM / 24;
        if (FT_Outline_EmboldenXY(&slot->outline, strength, strength) != 0) return false;
        advance += strength;
    }
    if (!FlattenOutline(&slot->outline, tolerance_, &glyph->contours)) return false;
    if (!FillContours(glyph->contours, &glyph->fill)) return false;
    glyph->metrics = MetricsOf(slot->outline, advance, unitsPerEm_);
    return true;
}

}  // namespace kv17::platform
