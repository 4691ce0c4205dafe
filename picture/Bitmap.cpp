#include "picture/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"

namespace vellomar {

int BitsPerPixelOf(TPixelFormat format) {
    switch (format) {
    case TPixelFormat::Bw1: return 1;
    case TPixelFormat::Gray8: return 8;
    case TPixelFormat::Palette8: return 8;
    case TPixelFormat::Rgb24: return 24;
    }
    return 24;
}

size_t StrideFor(int width, int bitsPerPixel) {
    const uint64_t bits = uint64_t(width < 0 ? 0 : width) * uint64_t(bitsPerPixel);
    return size_t(((bits + 31) / 32) * 4);
}

void CheckPictureSize(int width, int height, TPixelFormat format, bool withAlpha) {
    if (width < 0 || height < 0)
        throw EVellomarError("Invalid picture size " + std::to_string(width) + " x " +
                             std::to_string(height));
    if (width > kMaxPictureDimension || height > kMaxPictureDimension)
        throw EVellomarError("Picture of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels is too large");
    // Both factors are below 2^21 and a row below 2^26 bytes, so the products
    // cannot overflow 64 bits.
    uint64_t bytes = uint64_t(StrideFor(width, BitsPerPixelOf(format))) * uint64_t(height);
    if (withAlpha) bytes += uint64_t(width) * uint64_t(height);
    if (bytes > kMaxPictureBytes)
        throw EVellomarError("Picture of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels needs more memory than allowed");
}

namespace {

template <typename Vector>
void ResizeOrRaise(Vector& v, size_t n) {
    try {
        v.assign(n, typename Vector::value_type{});
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory for a picture of " + std::to_string(n) + " bytes");
    } catch (const std::length_error&) {
        throw EVellomarError("Not enough memory for a picture of " + std::to_string(n) + " bytes");
    }
}

}  // namespace

TBitmap::TBitmap(int width, int height, TPixelFormat format) {
    CheckPictureSize(width, height, format);
    const size_t stride = StrideFor(width, BitsPerPixelOf(format));
    ResizeOrRaise(FPixels, stride * size_t(height));
    FWidth = width;
    FHeight = height;
    FFormat = format;
    FStride = stride;
    switch (format) {
    case TPixelFormat::Bw1: FIOParams = {1, 1}; break;
    case TPixelFormat::Gray8:
    case TPixelFormat::Palette8: FIOParams = {8, 1}; break;
    case TPixelFormat::Rgb24: FIOParams = {8, 3}; break;
    }
}

int TBitmap::BitsPerPixel() const { return BitsPerPixelOf(FFormat); }

void TBitmap::EnsureAlpha() {
    if (HasAlpha() || IsEmpty()) return;
    CheckPictureSize(FWidth, FHeight, FFormat, true);
    std::vector<uint8_t> alpha;
    ResizeOrRaise(alpha, size_t(FWidth) * size_t(FHeight));
    std::fill(alpha.begin(), alpha.end(), uint8_t(255));
    FAlpha.swap(alpha);
}

TRgb TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return TRgb{};
    const uint8_t* row = Row(y);
    switch (FFormat) {
    case TPixelFormat::Bw1: {
        const uint8_t v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        return TRgb{v, v, v};
    }
    case TPixelFormat::Gray8: return TRgb{row[x], row[x], row[x]};
    case TPixelFormat::Palette8:
        return row[x] < FPalette.size() ? FPalette[row[x]] : TRgb{};
    case TPixelFormat::Rgb24: {
        const uint8_t* p = row + size_t(x) * 3;
        return TRgb{p[0], p[1], p[2]};
    }
    }
    return TRgb{};
}

void TBitmap::SetPixel(int x, int y, TRgb c) {
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
    uint8_t* row = Row(y);
    switch (FFormat) {
    case TPixelFormat::Bw1:
        if (GreyOf(c) >= 128)
            row[x >> 3] |= uint8_t(0x80 >> (x & 7));
        else
            row[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
        break;
    case TPixelFormat::Gray8: row[x] = GreyOf(c); break;
    case TPixelFormat::Palette8: row[x] = NearestPaletteIndex(FPalette, c); break;
    case TPixelFormat::Rgb24: {
        uint8_t* p = row + size_t(x) * 3;
        p[0] = c.R;
        p[1] = c.G;
        p[2] = c.B;
        break;
    }
    }
}

TBitmap TBitmap::ToRgb24() const {
    if (FFormat == TPixelFormat::Rgb24) return *this;
    TBitmap result(FWidth, FHeight, TPixelFormat::Rgb24);
    for (int y = 0; y < FHeight; ++y) RowToRgb24(*this, y, result.Row(y));
    result.FAlpha = FAlpha;
    result.FIOParams = FIOParams;
    return result;
}

void TBitmap::ClearPadding() {
    const uint64_t usedBits = uint64_t(FWidth) * uint64_t(BitsPerPixel());
    const size_t fullBytes = size_t(usedBits / 8);
    const unsigned tailBits = unsigned(usedBits % 8);
    for (int y = 0; y < FHeight; ++y) {
        uint8_t* row = Row(y);
        size_t first = fullBytes;
        if (tailBits != 0) {
            row[fullBytes] &= uint8_t(0xFF00 >> tailBits);
            ++first;
        }
        if (first < FStride) std::memset(row + first, 0, FStride - first);
    }
}

void TBitmap::Swap(TBitmap& other) noexcept {
    std::swap(FWidth, other.FWidth);
    std::swap(FHeight, other.FHeight);
    std::swap(FFormat, other.FFormat);
    std::swap(FStride, other.FStride);
    FPixels.swap(other.FPixels);
    FPalette.swap(other.FPalette);
    FAlpha.swap(other.FAlpha);
    std::swap(FIOParams, other.FIOParams);
}

bool operator==(const TBitmap& a, const TBitmap& b) {
    return a.FWidth == b.FWidth && a.FHeight == b.FHeight && a.FFormat == b.FFormat &&
           a.FPixels == b.FPixels && a.FPalette == b.FPalette && a.FAlpha == b.FAlpha;
}

}  // namespace vellomar
