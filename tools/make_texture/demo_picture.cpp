// The demo's own picture: a 256x256 image of the letters "KV17" on a glowing
// disc with rings and a few stars, inside a white frame.
//
// Only integer and basic double arithmetic (no libm), so the bytes are the
// same on every machine. The frame is white out to the four corner texels:
// the pyramids and the greeting line are drawn with texturing on and a
// texture coordinate of (0, 1) or (0, 0), which with linear filtering and
// repeat wrapping samples exactly those four, so white keeps their own
// colours.
#include "demo_picture.h"

#include <cstdint>
#include <vector>

namespace {

constexpr int kSize = kDemoPictureSize;

struct Color {
    double r, g, b;
};

Color Mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

double SmoothStep(double edge0, double edge1, double v) {
    double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// Newton's method from above; exact enough and free of libm.
double SquareRoot(double v) {
    if (v <= 0.0) return 0.0;
    double root = v > 1.0 ? v : 1.0;
    for (int i = 0; i < 40; ++i) root = 0.5 * (root + v / root);
    return root;
}

// A smooth bump that repeats every 1.0: 1 at whole numbers, 0 halfway.
double Ripple(double v) {
    double phase = v - (double)(int64_t)v;
    double distance = phase < 0.5 ? phase : 1.0 - phase;
    double bump = 1.0 - SmoothStep(0.0, 0.18, distance);
    return bump * bump;
}

// 6x7 cells, top row first.
constexpr int kGlyphColumns = 6;
constexpr int kGlyphRows = 7;
const char* const kGlyphs[4][kGlyphRows] = {
    {"XX..XX", "XX.XX.", "XXXX..", "XXX...", "XXXX..", "XX.XX.", "XX..XX"},  // K
    {"XX..XX", "XX..XX", "XX..XX", "XX..XX", ".XXXX.", ".XXXX.", "..XX.."},  // V
    {"..XX..", ".XXX..", "XXXX..", "..XX..", "..XX..", "..XX..", "XXXXXX"},  // 1
    {"XXXXXX", "XXXXXX", "...XX.", "..XX..", "..XX..", ".XX...", ".XX..."},  // 7
};
constexpr int kCell = 7;  // pixels per glyph cell
constexpr int kGlyphWidth = kGlyphColumns * kCell;
constexpr int kGlyphGap = 8;
constexpr int kTextWidth = 4 * kGlyphWidth + 3 * kGlyphGap;
constexpr int kTextHeight = kGlyphRows * kCell;
constexpr int kTextLeft = (kSize - kTextWidth) / 2;
constexpr int kTextTop = (kSize - kTextHeight) / 2;

// The cell (column, row) of the text under pixel (x, y), if it is lit.
bool TextCellLit(int x, int y) {
    int tx = x - kTextLeft;
    int ty = y - kTextTop;
    if (tx < 0 || ty < 0 || tx >= kTextWidth || ty >= kTextHeight) return false;
    int glyph = tx / (kGlyphWidth + kGlyphGap);
    int inGlyph = tx % (kGlyphWidth + kGlyphGap);
    if (inGlyph >= kGlyphWidth) return false;
    return kGlyphs[glyph][ty / kCell][inGlyph / kCell] == 'X';
}

// Lit cells are drawn as bevelled tiles: light on the top left, dark on the
// bottom right, in a gold that pales toward the top.
bool TextColor(int x, int y, Color* out) {
    if (!TextCellLit(x, y)) return false;
    int u = (x - kTextLeft) % (kGlyphWidth + kGlyphGap) % kCell;
    int v = (y - kTextTop) % kCell;
    Color gold = Mix({1.0, 0.97, 0.80}, {1.0, 0.66, 0.12}, (double)(y - kTextTop) / kTextHeight);
    bool litLeft = TextCellLit(x - kCell, y), litRight = TextCellLit(x + kCell, y);
    bool litUp = TextCellLit(x, y - kCell), litDown = TextCellLit(x, y + kCell);
    if ((u == 0 && !litLeft) || (v == 0 && !litUp))
        gold = Mix(gold, {1.0, 1.0, 1.0}, 0.7);
    else if ((u == kCell - 1 && !litRight) || (v == kCell - 1 && !litDown))
        gold = Mix(gold, {0.35, 0.12, 0.0}, 0.6);
    *out = gold;
    return true;
}

// The disc behind the letters: amber in the middle through magenta to a
// deep indigo, with cyan rings fading outward.
Color Background(int x, int y) {
    double dx = (x + 0.5 - kSize / 2.0) / (kSize / 2.0);
    double dy = (y + 0.5 - kSize / 2.0) / (kSize / 2.0);
    double d = SquareRoot(dx * dx + dy * dy);
    Color amber{1.0, 0.62, 0.20}, magenta{0.62, 0.12, 0.52}, indigo{0.09, 0.05, 0.27};
    Color c = d < 0.55 ? Mix(amber, magenta, SmoothStep(0.0, 0.55, d))
                       : Mix(magenta, indigo, SmoothStep(0.55, 1.25, d));
    double ring = Ripple(d * 7.0) * (1.0 - SmoothStep(0.2, 1.3, d));
    c = Mix(c, {0.55, 0.95, 1.0}, 0.55 * ring);
    // A soft diagonal sheen from the top left.
    double sheen = 1.0 - SmoothStep(0.0, 0.35, (dx + dy + 1.1) * (dx + dy + 1.1));
    return Mix(c, {1.0, 1.0, 1.0}, 0.18 * sheen);
}

// Stars: a few bright points with a small cross of glow, placed by a fixed
// linear congruential sequence outside the letters.
void AddStars(std::vector<Color>* picture) {
    uint32_t seed = 17;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int star = 0; star < 40; ++star) {
        int x = 12 + (int)(next() % (kSize - 24));
        int y = 12 + (int)(next() % (kSize - 24));
        double brightness = 0.5 + (next() % 50) / 100.0;
        const int arms[5][3] = {{0, 0, 100}, {1, 0, 45}, {-1, 0, 45}, {0, 1, 45}, {0, -1, 45}};
        for (const auto& arm : arms) {
            int px = x + arm[0], py = y + arm[1];
            Color& c = (*picture)[py * kSize + px];
            c = Mix(c, {1.0, 1.0, 0.95}, brightness * arm[2] / 100.0);
        }
    }
}

// White out to the corners, a pale blue bevel, a dark line, then the disc.
bool FrameColor(int x, int y, Color* out) {
    int edge = x < y ? x : y;
    if (kSize - 1 - x < edge) edge = kSize - 1 - x;
    if (kSize - 1 - y < edge) edge = kSize - 1 - y;
    if (edge < 3)
        *out = {1.0, 1.0, 1.0};
    else if (edge < 5)
        *out = {0.78, 0.84, 0.95};
    else if (edge < kDemoPictureFrame)
        *out = {0.04, 0.03, 0.14};
    else
        return false;
    return true;
}

std::vector<Color> DrawColors() {
    std::vector<Color> picture(kSize * kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) picture[y * kSize + x] = Background(x, y);
    AddStars(&picture);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Color& c = picture[y * kSize + x];
            // A drop shadow down and to the right of the letters.
            if (!TextCellLit(x, y) && TextCellLit(x - 3, y - 3)) c = Mix(c, {0, 0, 0}, 0.6);
            TextColor(x, y, &c);
            FrameColor(x, y, &c);
        }
    }
    return picture;
}

uint8_t ToByte(double v) { return (uint8_t)(Clamp01(v) * 255.0 + 0.5); }

}  // namespace

RgbImage* DrawDemoPicture() {
    const std::vector<Color> colors = DrawColors();  // top row first
    RgbImage* picture = NewRgbImage(kSize, kSize);
    if (picture == nullptr) return nullptr;
    for (int y = 0; y < kSize; ++y) {
        uint8_t* row = picture->pixels + (kSize - 1 - y) * kSize * 3;
        for (int x = 0; x < kSize; ++x) {
            const Color& c = colors[y * kSize + x];
            row[3 * x] = ToByte(c.r);
            row[3 * x + 1] = ToByte(c.g);
            row[3 * x + 2] = ToByte(c.b);
        }
    }
    return picture;
}
