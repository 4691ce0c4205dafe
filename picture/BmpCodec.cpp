// Windows bitmap files, read and written here without a library.
// Read: 1, 4, 8, 24 and 32 bits a pixel, uncompressed (32 bits also with
// bit-field masks), bottom-up or top-down. Write: 1 bit for Bw1, 8 bits
// with a palette for Gray8 and Palette8, 24 bits for Rgb24, and 32 bits
// with an alpha mask (BITMAPV4HEADER) for any picture with an alpha plane.
#include <cstring>
#include <string>

#include "picture/Codecs.h"
#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40, kV4HeaderSize = 108;

[[noreturn]] void Fail(const std::string& why) { throw EVellomarError("BMP file: " + why); }

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// One channel of a 32-bit pixel described by a bit mask, scaled to 8 bits.
struct TMaskChannel {
    uint32_t Mask = 0;
    int Shift = 0, Bits = 0;
    explicit TMaskChannel(uint32_t mask = 0) : Mask(mask) {
        if (!mask) return;
        while (!((mask >> Shift) & 1)) ++Shift;
        while (Bits < 32 - Shift && ((mask >> (Shift + Bits)) & 1)) ++Bits;
    }
    uint8_t Of(uint32_t pixel) const {
        if (!Mask) return 0;
        const uint32_t v = (pixel & Mask) >> Shift;
        if (Bits >= 8) return uint8_t(v >> (Bits - 8));
        const uint32_t max = (1u << Bits) - 1;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

struct THeader {
    int Width = 0, Height = 0;
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = 0;
    std::vector<TRgb> Palette;
    TMaskChannel Red, Green, Blue, Alpha;
    bool HasMasks = false;
    size_t PixelOffset = 0;
};

THeader ReadHeader(const uint8_t* data, size_t size) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') Fail("no BMP signature");
    THeader h;
    h.PixelOffset = U32(data + 10);
    const uint8_t* info = data + kFileHeaderSize;
    const size_t infoSize = U32(info);
    if (infoSize < 12 || infoSize > size - kFileHeaderSize) Fail("the header is truncated");
    int64_t height;
    size_t paletteEntrySize = 4;
    if (infoSize == 12) {  // OS/2 BITMAPCOREHEADER
        h.Width = U16(info + 4);
        height = U16(info + 6);
        h.BitCount = U16(info + 10);
        paletteEntrySize = 3;
    } else {
        if (infoSize < kInfoHeaderSize) Fail("unknown header size " + std::to_string(infoSize));
        h.Width = int32_t(U32(info + 4));
        height = int32_t(U32(info + 8));
        h.BitCount = U16(info + 14);
        h.Compression = U32(info + 16);
    }
    if (height < 0) {
        h.TopDown = true;
        height = -height;
    }
    if (h.Width <= 0 || height <= 0 || h.Width > kMaxPictureDimension || height > kMaxPictureDimension)
        Fail("invalid size " + std::to_string(h.Width) + " x " + std::to_string(height));
    h.Height = int(height);

    if (h.Compression == kBiBitfields || h.Compression == kBiAlphaBitfields) {
        if (h.BitCount != 32) Fail("bit-field masks are only read for 32 bits a pixel");
        // Masks follow a 40-byte header, or sit inside a V2 or later header.
        const size_t maskAt = kFileHeaderSize + kInfoHeaderSize;
        const size_t maskCount = h.Compression == kBiAlphaBitfields || infoSize >= 56 ? 4 : 3;
        if (size < maskAt + 4 * maskCount) Fail("the colour masks are truncated");
        h.Red = TMaskChannel(U32(data + maskAt));
        h.Green = TMaskChannel(U32(data + maskAt + 4));
        h.Blue = TMaskChannel(U32(data + maskAt + 8));
        if (maskCount == 4) h.Alpha = TMaskChannel(U32(data + maskAt + 12));
        h.HasMasks = true;
    } else if (h.Compression != kBiRgb) {
        Fail("compression " + std::to_string(h.Compression) + " is not supported");
    }

    if (h.BitCount == 1 || h.BitCount == 4 || h.BitCount == 8) {
        size_t count = infoSize >= kInfoHeaderSize ? U32(info + 32) : 0;
        if (count == 0 || count > (size_t(1) << h.BitCount)) count = size_t(1) << h.BitCount;
        const size_t at = kFileHeaderSize + infoSize;
        if (at + count * paletteEntrySize > size) Fail("the palette is truncated");
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* e = data + at + i * paletteEntrySize;
            h.Palette.push_back(TRgb{e[2], e[1], e[0]});
        }
    } else if (h.BitCount != 24 && h.BitCount != 32) {
        Fail(std::to_string(h.BitCount) + " bits a pixel are not supported");
    }
    return h;
}

TPixelFormat FormatFor(const THeader& h, bool& invertBits) {
    invertBits = false;
    if (h.BitCount == 1 && h.Palette.size() == 2) {
        const TRgb black{0, 0, 0}, white{255, 255, 255};
        if (h.Palette[0] == black && h.Palette[1] == white) return TPixelFormat::Bw1;
        if (h.Palette[0] == white && h.Palette[1] == black) {
            invertBits = true;
            return TPixelFormat::Bw1;
        }
    }
    if (h.BitCount == 8 && h.Palette.size() == 256 && IsGreyRamp(h.Palette)) return TPixelFormat::Gray8;
    if (h.BitCount <= 8) return TPixelFormat::Palette8;
    return TPixelFormat::Rgb24;
}

}  // namespace

TBitmap DecodeBmp(const uint8_t* data, size_t size) {
    const THeader h = ReadHeader(data, size);
    const size_t fileStride = StrideFor(h.Width, h.BitCount);
    if (h.PixelOffset > size || uint64_t(fileStride) * uint64_t(h.Height) > size - h.PixelOffset)
        Fail("the pixel data is truncated");
    bool invertBits;
    TBitmap picture(h.Width, h.Height, FormatFor(h, invertBits));
    if (picture.Format() == TPixelFormat::Palette8) picture.Palette() = h.Palette;

    // 32-bit pixels without masks keep alpha in the fourth byte; it counts
    // only when some pixel uses it, since most writers leave it zero.
    const bool alphaByMask = h.HasMasks && h.Alpha.Mask != 0;
    bool anyAlpha = false;
    std::vector<uint8_t> alpha;
    if (h.BitCount == 32) alpha.resize(size_t(h.Width) * size_t(h.Height));

    for (int y = 0; y < h.Height; ++y) {
        const int fileRow = h.TopDown ? y : h.Height - 1 - y;
        const uint8_t* in = data + h.PixelOffset + size_t(fileRow) * fileStride;
        uint8_t* out = picture.Row(y);
        switch (h.BitCount) {
        case 1:
            if (picture.Format() == TPixelFormat::Bw1) {
                std::memcpy(out, in, picture.Stride());
                if (invertBits)
                    for (size_t i = 0; i < picture.Stride(); ++i) out[i] = uint8_t(~out[i]);
            } else {
                for (int x = 0; x < h.Width; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
            }
            break;
        case 4:
            for (int x = 0; x < h.Width; ++x) out[x] = (x & 1) ? (in[x >> 1] & 0x0F) : (in[x >> 1] >> 4);
            break;
        case 8: std::memcpy(out, in, size_t(h.Width)); break;
        case 24:
            for (int x = 0; x < h.Width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
            break;
        case 32: {
            uint8_t* a = alpha.data() + size_t(y) * size_t(h.Width);
            for (int x = 0; x < h.Width; ++x, in += 4, out += 3) {
                if (h.HasMasks) {
                    const uint32_t p = U32(in);
                    out[0] = h.Red.Of(p);
                    out[1] = h.Green.Of(p);
                    out[2] = h.Blue.Of(p);
                    a[x] = alphaByMask ? h.Alpha.Of(p) : 255;
                } else {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                    a[x] = in[3];
                    anyAlpha = anyAlpha || in[3] != 0;
                }
            }
            break;
        }
        }
    }
    picture.ClearPadding();
    if (alphaByMask || anyAlpha) picture.Alpha().swap(alpha);
    picture.IOParams() = h.BitCount <= 8 ? TIOParams{h.BitCount, 1}
                                         : TIOParams{8, h.BitCount == 32 ? 4 : 3};
    return picture;
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const TBitmap& picture, TIOParams& written) {
    const bool withAlpha = picture.HasAlpha();
    int bits;
    std::vector<TRgb> palette;
    if (withAlpha) {
        bits = 32;
    } else if (picture.Format() == TPixelFormat::Bw1) {
        bits = 1;
        palette = {TRgb{0, 0, 0}, TRgb{255, 255, 255}};
    } else if (picture.Format() == TPixelFormat::Gray8) {
        bits = 8;
        for (int i = 0; i < 256; ++i) palette.push_back(TRgb{uint8_t(i), uint8_t(i), uint8_t(i)});
    } else if (picture.Format() == TPixelFormat::Palette8) {
        bits = 8;
        palette = picture.Palette();
        if (palette.size() > 256) palette.resize(256);
        if (palette.empty()) palette.push_back(TRgb{});  // a count of 0 would mean 256
    } else {
        bits = 24;
    }
    const int w = picture.Width(), h = picture.Height();
    const size_t fileStride = StrideFor(w, bits);
    const size_t infoSize = withAlpha ? kV4HeaderSize : kInfoHeaderSize;
    const size_t offset = kFileHeaderSize + infoSize + palette.size() * 4;
    const uint64_t total = offset + uint64_t(fileStride) * uint64_t(h);
    if (total > 0xFFFFFFFFu) throw EVellomarError("The picture is too large for a BMP file");

    std::vector<uint8_t> out;
    out.reserve(size_t(total));
    out.push_back('B');
    out.push_back('M');
    Put32(out, uint32_t(total));
    Put32(out, 0);
    Put32(out, uint32_t(offset));
    Put32(out, uint32_t(infoSize));
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h));  // positive: rows bottom-up
    Put16(out, 1);
    Put16(out, uint32_t(bits));
    Put32(out, withAlpha ? kBiBitfields : kBiRgb);
    Put32(out, uint32_t(fileStride * size_t(h)));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, uint32_t(palette.size()));
    Put32(out, 0);
    if (withAlpha) {
        Put32(out, 0x00FF0000);  // red, green, blue, alpha masks
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
        Put32(out, 0xFF000000);
        Put32(out, 0x73524742);  // colour space 'sRGB'
        out.resize(out.size() + 36 + 12, 0);  // end points and gamma unused
    }
    for (const TRgb& c : palette) {
        out.push_back(c.B);
        out.push_back(c.G);
        out.push_back(c.R);
        out.push_back(0);
    }
    std::vector<uint8_t> rgb(size_t(w) * 3);
    for (int y = h - 1; y >= 0; --y) {
        const size_t at = out.size();
        out.resize(at + fileStride, 0);
        uint8_t* row = out.data() + at;
        if (bits == 1 || bits == 8) {
            std::memcpy(row, picture.Row(y), bits == 1 ? (size_t(w) + 7) / 8 : size_t(w));
            continue;
        }
        const uint8_t* in = picture.Row(y);
        if (picture.Format() != TPixelFormat::Rgb24) {
            RowToRgb24(picture, y, rgb.data());
            in = rgb.data();
        }
        const uint8_t* a = withAlpha ? picture.AlphaRow(y) : nullptr;
        for (int x = 0; x < w; ++x, in += 3) {
            *row++ = in[2];
            *row++ = in[1];
            *row++ = in[0];
            if (a) *row++ = a[x];
        }
    }
    written = withAlpha ? TIOParams{8, 4} : bits <= 8 ? TIOParams{bits, 1} : TIOParams{8, 3};
    return out;
}

}  // namespace vellomar
