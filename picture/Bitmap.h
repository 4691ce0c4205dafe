#pragma once
// An in-memory raster picture in one of the pixel formats that scanned pages
// come in, with an optional 8-bit alpha plane.
//
// Conventions every caller relies on:
// - rows run top-down; row y starts at Row(y) and is Stride() bytes long;
//   Stride() is the row size rounded up to a multiple of 4 bytes (the layout
//   of a Windows DIB, so the presentation layer can blit rows as they are);
// - Rgb24 stores red, green, blue in that order, 3 bytes a pixel;
// - Bw1 packs 8 pixels a byte, most significant bit first; a set bit (1) is
//   WHITE and a clear bit is black, so a blank page is all ones;
// - Gray8 is one grey byte a pixel (0 black); Palette8 is one index a pixel
//   into Palette();
// - the alpha plane, when present, is Width() × Height() bytes without row
//   padding, 255 opaque.
// Padding bits and bytes at the end of a row are kept zero, so two bitmaps
// with equal pixels compare equal byte for byte.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellomar {

enum class TPixelFormat : uint8_t { Bw1, Gray8, Palette8, Rgb24 };

// A colour value as the system passes it: low byte red, then green, then blue.
using TColor = uint32_t;
constexpr uint8_t RedOf(TColor c) { return c & 0xFF; }
constexpr uint8_t GreenOf(TColor c) { return (c >> 8) & 0xFF; }
constexpr uint8_t BlueOf(TColor c) { return (c >> 16) & 0xFF; }
constexpr TColor MakeColor(uint8_t r, uint8_t g, uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

struct TRgb {
    uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const TRgb& a, const TRgb& b) { return a.R == b.R && a.G == b.G && a.B == b.B; }
    friend bool operator!=(const TRgb& a, const TRgb& b) { return !(a == b); }
};

// Parameters of the file a picture was last read from or written to.
struct TIOParams {
    int BitsPerSample = 8;
    int SamplesPerPixel = 3;
    friend bool operator==(const TIOParams& a, const TIOParams& b) {
        return a.BitsPerSample == b.BitsPerSample && a.SamplesPerPixel == b.SamplesPerPixel;
    }
};

class TBitmap {
public:
    TBitmap() = default;
    // A width × height picture, pixels zero (black; for Bw1 also black),
    // palette empty, no alpha. Raises EVellomarError when the size is
    // negative or the memory cannot be had.
    TBitmap(int width, int height, TPixelFormat format);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }
    TPixelFormat Format() const { return FFormat; }
    int BitsPerPixel() const;
    size_t Stride() const { return FStride; }

    uint8_t* Row(int y) { return FPixels.data() + size_t(y) * FStride; }
    const uint8_t* Row(int y) const { return FPixels.data() + size_t(y) * FStride; }
    std::vector<uint8_t>& Pixels() { return FPixels; }
    const std::vector<uint8_t>& Pixels() const { return FPixels; }

    // Palette8 only; up to 256 entries.
    std::vector<TRgb>& Palette() { return FPalette; }
    const std::vector<TRgb>& Palette() const { return FPalette; }

    bool HasAlpha() const { return !FAlpha.empty(); }
    // Adds a fully opaque alpha plane when there is none.
    void EnsureAlpha();
    void RemoveAlpha() { FAlpha.clear(); FAlpha.shrink_to_fit(); }
    uint8_t* AlphaRow(int y) { return FAlpha.data() + size_t(y) * FWidth; }
    const uint8_t* AlphaRow(int y) const { return FAlpha.data() + size_t(y) * FWidth; }
    std::vector<uint8_t>& Alpha() { return FAlpha; }
    const std::vector<uint8_t>& Alpha() const { return FAlpha; }

    TIOParams& IOParams() { return FIOParams; }
    const TIOParams& IOParams() const { return FIOParams; }

    // Pixel access for the few places that work per pixel (the eraser,
    // tests). Bulk operations work on rows. Outside the picture GetPixel
    // answers black and SetPixel does nothing; a palette index beyond the
    // palette reads as black.
    TRgb GetPixel(int x, int y) const;
    // Stores the nearest colour the format can hold (Bw1: white when the
    // grey value is 128 or more; Palette8: the nearest palette entry).
    void SetPixel(int x, int y, TRgb c);

    // The same picture in 24-bit RGB (alpha and I/O parameters kept).
    TBitmap ToRgb24() const;

    // Zeroes the bits and bytes past the last pixel of every row (decoders
    // call it after writing whole rows from a file).
    void ClearPadding();

    void Swap(TBitmap& other) noexcept;
    // Equal size, format, pixel bytes, palette and alpha plane; the I/O
    // parameters describe a file, not the picture, and are not compared.
    friend bool operator==(const TBitmap& a, const TBitmap& b);
    friend bool operator!=(const TBitmap& a, const TBitmap& b) { return !(a == b); }

private:
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FFormat = TPixelFormat::Rgb24;
    size_t FStride = 0;
    std::vector<uint8_t> FPixels;
    std::vector<TRgb> FPalette;
    std::vector<uint8_t> FAlpha;
    TIOParams FIOParams;
};

// Bytes of one row of width pixels at bitsPerPixel, rounded up to 4.
size_t StrideFor(int width, int bitsPerPixel);
int BitsPerPixelOf(TPixelFormat format);

// Largest width or height, and largest pixel store, a picture may have;
// decoders check a file's header against them before allocating.
constexpr int kMaxPictureDimension = 1 << 20;
constexpr uint64_t kMaxPictureBytes = uint64_t(1) << 31;
// Raises EVellomarError when a width × height picture of the format (with an
// alpha plane when withAlpha) is negative, too wide or too large.
void CheckPictureSize(int width, int height, TPixelFormat format, bool withAlpha = false);

// Grey value of a colour (ITU-R BT.601 weights, rounded).
constexpr uint8_t GreyOf(TRgb c) {
    return uint8_t((c.R * 299 + c.G * 587 + c.B * 114 + 500) / 1000);
}
constexpr TRgb RgbOf(TColor c) { return TRgb{RedOf(c), GreenOf(c), BlueOf(c)}; }

}  // namespace vellomar
