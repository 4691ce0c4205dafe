#include "surface/win32/ViewPainter.h"

#include <cstdint>
#include <vector>

namespace vellomar {

namespace {

uint32_t Bgrx(TRgb c) { return uint32_t(c.B) | (uint32_t(c.G) << 8) | (uint32_t(c.R) << 16); }

// The colour of pixel x of a row, for every pixel format of the picture.
class TRowReader {
public:
    explicit TRowReader(const TBitmap& bitmap) : FBitmap(bitmap) {
        if (bitmap.Format() == TPixelFormat::Palette8) {
            for (const TRgb& entry : bitmap.Palette()) FPalette.push_back(Bgrx(entry));
        }
        FPalette.resize(256, 0);  // indexes beyond the palette read as black
    }

    uint32_t At(const uint8_t* row, int x) const {
        switch (FBitmap.Format()) {
        case TPixelFormat::Bw1:
            return (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFF : 0;
        case TPixelFormat::Gray8:
            return uint32_t(row[x]) * 0x010101;
        case TPixelFormat::Palette8:
            return FPalette[row[x]];
        case TPixelFormat::Rgb24:
        default: {
            const uint8_t* p = row + size_t(x) * 3;
            return uint32_t(p[2]) | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16);
        }
        }
    }

private:
    const TBitmap& FBitmap;
    std::vector<uint32_t> FPalette;
};

// The view as 32-bit top-down rows of width × height pixels.
std::vector<uint32_t> RenderView(const TPictureView& view, int width, int height) {
    const TColor background = view.Background();
    std::vector<uint32_t> pixels(size_t(width) * size_t(height),
                                 Bgrx(TRgb{RedOf(background), GreenOf(background), BlueOf(background)}));
    if (!view.HasBitmapObject()) return pixels;
    const TBitmap& bitmap = view.Bitmap();
    if (bitmap.IsEmpty()) return pixels;

    // Which picture column and row every screen column and row shows.
    std::vector<int> columns(size_t(width), -1), rows(size_t(height), -1);
    for (int x = 0; x < width; ++x) {
        const int bx = view.XScr2Bmp(x);
        if (bx >= 0 && bx < bitmap.Width()) columns[size_t(x)] = bx;
    }
    for (int y = 0; y < height; ++y) {
        const int by = view.YScr2Bmp(y);
        if (by >= 0 && by < bitmap.Height()) rows[size_t(y)] = by;
    }
    const TRowReader reader(bitmap);
    for (int y = 0; y < height; ++y) {
        if (rows[size_t(y)] < 0) continue;
        const uint8_t* source = bitmap.Row(rows[size_t(y)]);
        uint32_t* target = pixels.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            if (columns[size_t(x)] >= 0) target[x] = reader.At(source, columns[size_t(x)]);
        }
    }
    return pixels;
}

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

void PaintPictureView(HDC dc, int left, int top, const TPictureView& view) {
    const int width = view.ViewWidth(), height = view.ViewHeight();
    if (width <= 0 || height <= 0) return;
    const std::vector<uint32_t> pixels = RenderView(view, width, height);
    BITMAPINFO info = TopDownInfo(width, height);
    SetDIBitsToDevice(dc, left, top, DWORD(width), DWORD(height), 0, 0, 0, UINT(height),
                      pixels.data(), &info, DIB_RGB_COLORS);
}

void DrawPictureViewInto(HDC dc, const RECT& bounds, const TPictureView& view) {
    const int width = view.ViewWidth(), height = view.ViewHeight();
    if (width <= 0 || height <= 0) return;
    const std::vector<uint32_t> pixels = RenderView(view, width, height);
    BITMAPINFO info = TopDownInfo(width, height);
    const int previous = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, bounds.left, bounds.top, bounds.right - bounds.left,
                  bounds.bottom - bounds.top, 0, 0, width, height, pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, previous);
}

}  // namespace vellomar
