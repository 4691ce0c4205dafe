#include "bench/support/PageGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace vellomar::bench {

namespace {

// Letter shapes, enough to give text its mix of stems, bars and bowls.
enum class TGlyphKind { Arch, Bowl, Ascender, Descender, Stem };

struct TGlyph {
    int X, Width;
    TGlyphKind Kind;
};

struct TTextLine {
    int Baseline, XHeight, Ascent, Descent, Stroke;
    std::vector<TGlyph> Glyphs;  // left to right
};

// The text of the page in untilted page coordinates (u to the right, v down).
class TPageText {
public:
    TPageText(int width, int height, uint32_t seed) {
        std::mt19937 random(seed);
        auto between = [&](int lo, int hi) { return lo + int(random() % uint32_t(hi - lo + 1)); };
        const int left = 250, right = width - 250, bottom = height - 300;
        int top = 300;
        while (true) {
            const bool heading = between(0, 5) == 0;
            const int xHeight = heading ? 34 : 22, stroke = heading ? 6 : 4;
            const int pitch = heading ? 80 : 50, lines = heading ? 1 : between(4, 12);
            for (int n = 0; n < lines; ++n, top += pitch) {
                if (top + pitch > bottom) return;
                TTextLine line{top + xHeight + 12, xHeight, xHeight + 12, 10, stroke, {}};
                const bool last = n == lines - 1;
                const int end = last ? left + (right - left) * between(25, 90) / 100 : right;
                int x = left + (n == 0 && !heading ? 80 : 0);
                while (true) {
                    const int letters = between(1, 9);
                    const int wordWidth = letters * (xHeight * 3 / 4 + 4);
                    if (x + wordWidth > end) break;
                    for (int i = 0; i < letters; ++i) {
                        const int w = between(xHeight / 2 + 2, xHeight + 2);
                        line.Glyphs.push_back({x, w, TGlyphKind(between(0, 4))});
                        x += w + stroke;
                    }
                    x += xHeight * 4 / 5;
                }
                FLines.push_back(std::move(line));
            }
            top += 50;  // paragraph gap
        }
    }

    bool IsInk(double u, double v) const {
        // The first line whose band ends below v.
        auto line = std::upper_bound(FLines.begin(), FLines.end(), v, [](double value, const TTextLine& l) {
            return value < l.Baseline + l.Descent;
        });
        if (line == FLines.end() || v < line->Baseline - line->Ascent) return false;
        auto glyph = std::upper_bound(line->Glyphs.begin(), line->Glyphs.end(), u,
                                      [](double value, const TGlyph& g) { return value < g.X; });
        if (glyph == line->Glyphs.begin()) return false;
        --glyph;
        if (u >= glyph->X + glyph->Width) return false;
        return GlyphInk(*line, *glyph, u - glyph->X, line->Baseline - v);
    }

private:
    // gx from the glyph's left edge, gy upwards from the baseline.
    static bool GlyphInk(const TTextLine& l, const TGlyph& g, double gx, double gy) {
        const double s = l.Stroke, w = g.Width, xh = l.XHeight;
        const bool inXBand = gy >= 0 && gy < xh;
        const bool leftStem = gx < s, rightStem = gx >= w - s;
        const bool bowl = inXBand && (leftStem || rightStem || gy < s || gy >= xh - s);
        switch (g.Kind) {
        case TGlyphKind::Arch: return inXBand && (leftStem || rightStem || gy >= xh - s);
        case TGlyphKind::Bowl: return bowl;
        case TGlyphKind::Ascender: return bowl || (rightStem && gy >= 0 && gy < l.Ascent);
        case TGlyphKind::Descender: return bowl || (leftStem && gy >= -l.Descent && gy < xh);
        case TGlyphKind::Stem: return gx >= w / 2 - s / 2 && gx < w / 2 + s / 2 && inXBand;
        }
        return false;
    }

    std::vector<TTextLine> FLines;  // top to bottom
};

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

uint8_t Jitter(uint8_t base, uint32_t noise, int spread) {
    return uint8_t(std::clamp(int(base) + int(noise % uint32_t(2 * spread + 1)) - spread, 0, 255));
}

}  // namespace

TBitmap GenerateScanPage(const TScanPage& layout) {
    const TPageText text(layout.Width, layout.Height, layout.Seed);
    TBitmap scan(layout.Width, layout.Height, layout.Format);
    const double t = layout.TiltDegrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(t), s = std::sin(t);
    const double cx = layout.Width / 2.0, cy = layout.Height / 2.0;
    for (int y = 0; y < layout.Height; ++y) {
        uint8_t* row = scan.Row(y);
        for (int x = 0; x < layout.Width; ++x) {
            // Turn the scan point back clockwise onto the untilted page.
            const double px = x + 0.5 - cx, py = y + 0.5 - cy;
            const double u = px * c - py * s + cx, v = px * s + py * c + cy;
            const bool lid = layout.Border > 0 && (u < layout.Border || v < layout.Border ||
                                                 u >= layout.Width - layout.Border || v >= layout.Height - layout.Border);
            const bool ink = !lid && text.IsInk(u, v);
            const uint32_t noise = Hash(uint32_t(x), uint32_t(y), layout.Seed);
            if (layout.Format == TPixelFormat::Bw1) {
                const bool speck = noise % 5000 == 0;
                if (!lid && ink == speck) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
                continue;
            }
            uint8_t* p = row + 3 * size_t(x);
            const uint8_t base[3] = {uint8_t(lid ? 34 : ink ? 30 : 246), uint8_t(lid ? 33 : ink ? 30 : 244),
                                     uint8_t(lid ? 36 : ink ? 42 : 236)};
            for (int k = 0; k < 3; ++k) p[k] = Jitter(base[k], noise >> (8 * k), lid ? 5 : 4);
        }
    }
    return scan;
}

std::string DescribeScanPage(const TScanPage& layout) {
    char text[96];
    std::snprintf(text, sizeof text, "%s/tilt%+.2f/border%d", layout.Format == TPixelFormat::Bw1 ? "bw1" : "rgb24",
                  layout.TiltDegrees, layout.Border);
    return text;
}

}  // namespace vellomar::bench
