// Quarter turns move pixels without resampling. Byte formats are copied in
// square tiles so that reads and writes both stay within a few cache lines
// while one of them walks down columns.
#include <cstring>

#include "picture/Transforms.h"

namespace vellomar {

namespace {

constexpr int kTile = 32;

// Where target pixel (x, y) comes from for the turn, the source being
// w × h pixels.
struct TQuarterMap {
    int Turns, W, H;
    void Source(int x, int y, int& sx, int& sy) const {
        switch (Turns) {
        case 1: sx = W - 1 - y; sy = x; break;          // top edge to the left
        case 2: sx = W - 1 - x; sy = H - 1 - y; break;
        default: sx = y; sy = H - 1 - x; break;         // top edge to the right
        }
    }
};

// Planes of 'bytes'-byte pixels with rows 'stride' apart.
template <typename Byte>
struct TPlane {
    Byte* Data;
    size_t Stride;
};

void TurnBytes(TPlane<const uint8_t> src, TPlane<uint8_t> dst, int dw, int dh, int bytes,
               const TQuarterMap& map) {
    for (int ty = 0; ty < dh; ty += kTile)
        for (int tx = 0; tx < dw; tx += kTile) {
            const int yEnd = ty + kTile < dh ? ty + kTile : dh;
            const int xEnd = tx + kTile < dw ? tx + kTile : dw;
            for (int y = ty; y < yEnd; ++y) {
                uint8_t* out = dst.Data + size_t(y) * dst.Stride + size_t(tx) * bytes;
                for (int x = tx; x < xEnd; ++x, out += bytes) {
                    int sx, sy;
                    map.Source(x, y, sx, sy);
                    const uint8_t* in = src.Data + size_t(sy) * src.Stride + size_t(sx) * bytes;
                    if (bytes == 1)
                        *out = *in;
                    else
                        std::memcpy(out, in, size_t(bytes));
                }
            }
        }
}

void TurnBits(const TBitmap& src, TBitmap& dst, const TQuarterMap& map) {
    for (int y = 0; y < dst.Height(); ++y) {
        uint8_t* out = dst.Row(y);
        for (int x = 0; x < dst.Width(); ++x) {
            int sx, sy;
            map.Source(x, y, sx, sy);
            if (src.Row(sy)[sx >> 3] & (0x80 >> (sx & 7))) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
        }
    }
}

}  // namespace

TBitmap RotateQuarterTurns(const TBitmap& picture, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    if (turns == 0 || picture.IsEmpty()) return picture;
    const bool swap = turns != 2;
    const int dw = swap ? picture.Height() : picture.Width();
    const int dh = swap ? picture.Width() : picture.Height();
    TBitmap result(dw, dh, picture.Format());
    const TQuarterMap map{turns, picture.Width(), picture.Height()};
    if (picture.Format() == TPixelFormat::Bw1)
        TurnBits(picture, result, map);
    else
        TurnBytes({picture.Pixels().data(), picture.Stride()},
                  {result.Pixels().data(), result.Stride()}, dw, dh, picture.BitsPerPixel() / 8,
                  map);
    if (picture.HasAlpha()) {
        result.EnsureAlpha();
        TurnBytes({picture.Alpha().data(), size_t(picture.Width())},
                  {result.Alpha().data(), size_t(dw)}, dw, dh, 1, map);
    }
    result.Palette() = picture.Palette();
    result.IOParams() = picture.IOParams();
    return result;
}

}  // namespace vellomar
