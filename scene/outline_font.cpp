#include "outline_font.h"

#include "demo_state.h"
#include "scene_state.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool cullHiddenGlyphs = true;

namespace {

constexpr GLsizei kListCount = 256;
constexpr DWORD kGlyphCount = 255;  // list 255 stays empty
constexpr float kExtrusion = 0.1f;
constexpr size_t kTextBytes = 1024;

// Slack around each glyph's box in the visibility test, in em units. It
// covers the rounding by which GL's float matrix, advanced glyph by glyph,
// drifts from the double-precision pen used here: under 0.002 em at the end
// of the 982-byte greeting, whatever the rotation.
constexpr double kBoxSlack = 1.0 / 16.0;

// Each twin ends as its glyph list does: the front face's normal current and
// a translation by the cell increment (exactly the same floats on our own
// platform, so the matrix after the line matches bit for bit); list 255
// stays empty like its glyph.
GLuint BuildAdvanceLists() {
    GLuint base = glGenLists(kListCount);
    if (base == 0) return 0;
    for (DWORD c = 0; c < kGlyphCount; ++c) {
        glNewList(base + c, GL_COMPILE);
        glNormal3f(0.0f, 0.0f, 1.0f);
        glTranslatef(glyphMetrics[c].gmfCellIncX, glyphMetrics[c].gmfCellIncY, 0.0f);
        glEndList();
    }
    return base;
}

// Column-major 4x4, as GL returns matrices.
struct Matrix {
    double m[16];
};

Matrix CurrentClipTransform() {
    GLfloat projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    Matrix product{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                product.m[col * 4 + row] +=
                    (double)projection[k * 4 + row] * modelview[col * 4 + k];
    return product;
}

// True when the box lies wholly outside one of the six clip planes: nothing
// of it can reach the screen. Corners behind the eye fail the near plane.
bool IsOutsideView(const Matrix& clip, const double low[3], const double high[3]) {
    int outside[6] = {0, 0, 0, 0, 0, 0};  // -x, +x, -y, +y, -z, +z
    for (int corner = 0; corner < 8; ++corner) {
        double p[3] = {corner & 1 ? high[0] : low[0], corner & 2 ? high[1] : low[1],
                       corner & 4 ? high[2] : low[2]};
        double v[4];
        for (int row = 0; row < 4; ++row)
            v[row] = clip.m[row] * p[0] + clip.m[4 + row] * p[1] + clip.m[8 + row] * p[2] +
                     clip.m[12 + row];
        for (int axis = 0; axis < 3; ++axis) {
            outside[2 * axis] += v[axis] < -v[3];
            outside[2 * axis + 1] += v[axis] > v[3];
        }
    }
    for (int plane : outside)
        if (plane == 8) return true;
    return false;
}

// The names of the lists that draw `text`: the glyph list where the glyph
// may show, its advance-only twin where it cannot.
void ChooseLists(const unsigned char* text, size_t length, GLuint* names) {
    const Matrix clip = CurrentClipTransform();
    double penX = 0.0, penY = 0.0;
    for (size_t i = 0; i < length; ++i) {
        const GLYPHMETRICSFLOAT& g = glyphMetrics[text[i]];
        double left = penX + g.gmfptGlyphOrigin.x, top = penY + g.gmfptGlyphOrigin.y;
        const double low[3] = {left - kBoxSlack, top - g.gmfBlackBoxY - kBoxSlack,
                               -kExtrusion - kBoxSlack};
        const double high[3] = {left + g.gmfBlackBoxX + kBoxSlack, top + kBoxSlack, kBoxSlack};
        names[i] = (IsOutsideView(clip, low, high) ? advanceListBase : fontBase) + text[i];
        penX += g.gmfCellIncX;
        penY += g.gmfCellIncY;
    }
}

}  // namespace

void BuildOutlineFont() {
    fontBase = glGenLists(kListCount);
    advanceListBase = 0;
    // Without list names there is nothing to compile into: on Windows, list
    // base 0 would make the extraction draw every glyph at once instead.
    if (fontBase == 0) return;
    HFONT font = CreateFontA(-5, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FF_DONTCARE | DEFAULT_PITCH,
                             "Glass Gauge");
    HGDIOBJ previous = SelectObject(windowDC, font);
    BOOL extracted = wglUseFontOutlinesA(windowDC, 0, kGlyphCount, fontBase, 0.0f, kExtrusion,
                                         WGL_FONT_POLYGONS, glyphMetrics);
    // Only the lists are needed from here on. Put the DC's font back and
    // free this one, or every window rebuild would keep one more.
    SelectObject(windowDC, previous);
    DeleteObject(font);
    // The twins are only right when every glyph list is.
    advanceListBase = extracted ? BuildAdvanceLists() : 0;
}

void DeleteOutlineFont() {
    glDeleteLists(fontBase, kListCount);
    if (advanceListBase != 0) glDeleteLists(advanceListBase, kListCount);
    advanceListBase = 0;
}

void PrintScroller(const char* format, ...) {
    scrollOffset += kScrollStep;

    char text[kTextBytes];
    va_list args;
    va_start(args, format);
    // Longer output is cut at the end of the buffer instead of overrunning it.
    if (vsnprintf(text, sizeof text, format, args) < 0) text[0] = '\0';
    va_end(args);
    const size_t length = strlen(text);

    glTranslatef(5.0f - scrollOffset, -2.0f, 0.0f);
    glPushAttrib(GL_LIST_BIT);
    if (cullHiddenGlyphs && advanceListBase != 0) {
        GLuint names[kTextBytes];
        ChooseLists((const unsigned char*)text, length, names);
        glListBase(0);
        glCallLists((GLsizei)length, GL_UNSIGNED_INT, names);
    } else {
        glListBase(fontBase);
        glCallLists((GLsizei)length, GL_UNSIGNED_BYTE, text);
    }
    glPopAttrib();
}
