// TIFF through libtiff, reading from and writing to memory through
// TIFFClientOpenExt. Errors arrive through a per-file handler (libtiff 4.5)
// that records the message; libtiff then answers failure, which becomes
// EVellomarError here.
//
// Read (first page): 1-bit grey (any compression, CCITT G4 included) as
// Bw1; 8-bit grey as Gray8; palettes of 1 to 8 bits as Palette8; 8-bit RGB
// as Rgb24; an alpha extra sample as the alpha plane. Anything else (tiles,
// 16-bit samples, CMYK, separate planes, ...) goes through libtiff's RGBA
// reader and becomes Rgb24.
// Write: Bw1 as CCITT G4, the rest LZW; alpha as an unassociated extra sample.
#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "picture/Codecs.h"
#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// --- the memory stream ------------------------------------------------

struct TTiffStream {
    const uint8_t* Data = nullptr;  // reading
    size_t Size = 0;
    std::vector<uint8_t>* Out = nullptr;  // writing
    uint64_t Position = 0;
    char Error[256] = "";
};

TTiffStream& StreamOf(thandle_t h) { return *static_cast<TTiffStream*>(h); }
uint64_t StreamSize(const TTiffStream& s) { return s.Out ? s.Out->size() : s.Size; }

tmsize_t ReadProc(thandle_t h, void* buffer, tmsize_t count) {
    TTiffStream& s = StreamOf(h);
    if (s.Out || count < 0 || s.Position >= s.Size) return 0;
    const uint64_t available = s.Size - s.Position;
    const size_t n = size_t(uint64_t(count) < available ? uint64_t(count) : available);
    std::memcpy(buffer, s.Data + s.Position, n);
    s.Position += n;
    return tmsize_t(n);
}

tmsize_t WriteProc(thandle_t h, void* buffer, tmsize_t count) {
    TTiffStream& s = StreamOf(h);
    if (!s.Out || count < 0) return 0;
    const uint64_t end = s.Position + uint64_t(count);
    if (end > kMaxPictureBytes * 2) return 0;
    try {
        if (end > s.Out->size()) s.Out->resize(size_t(end));
    } catch (...) {
        return 0;
    }
    std::memcpy(s.Out->data() + s.Position, buffer, size_t(count));
    s.Position = end;
    return count;
}

toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
    TTiffStream& s = StreamOf(h);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = s.Position;
    if (whence == SEEK_END) base = StreamSize(s);
    s.Position = base + offset;
    return s.Position;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return StreamSize(StreamOf(h)); }

// Reading maps the buffer itself, so strips are decoded in place.
int MapProc(thandle_t h, void** base, toff_t* size) {
    TTiffStream& s = StreamOf(h);
    if (s.Out) return 0;
    *base = const_cast<uint8_t*>(s.Data);
    *size = s.Size;
    return 1;
}
void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* s = static_cast<TTiffStream*>(user);
    if (s->Error[0] == '\0') std::vsnprintf(s->Error, sizeof s->Error, format, args);
    return 1;
}
int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TCloseTiff {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TTiffHandle = std::unique_ptr<TIFF, TCloseTiff>;

TTiffHandle Open(TTiffStream& stream, const char* mode) {
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                          TIFFOpenOptionsFree);
    if (!options) throw EVellomarError("TIFF: out of memory");
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &stream);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(512) << 20);
    return TTiffHandle(TIFFClientOpenExt("memory", mode, &stream, ReadProc, WriteProc, SeekProc,
                                         CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
}

[[noreturn]] void Fail(const TTiffStream& s, const char* what) {
    std::string message = std::string("TIFF file: ") + what;
    if (s.Error[0]) message += std::string(" (") + s.Error + ")";
    throw EVellomarError(message);
}

// --- reading ----------------------------------------------------------

struct TTiffLayout {
    uint32_t Width = 0, Height = 0;
    uint16_t Bits = 1, Samples = 1, Photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t Planar = PLANARCONFIG_CONTIG, SampleFormat = SAMPLEFORMAT_UINT;
    uint16_t Compression = COMPRESSION_NONE;
    bool AlphaSample = false, Associated = false;
    bool Tiled = false;
};

TTiffLayout ReadLayout(TIFF* tif, const TTiffStream& s) {
    TTiffLayout l;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.Width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.Height))
        Fail(s, "the picture size is missing");
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.Bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.Samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l.Planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.SampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.Compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.Photometric))
        l.Photometric = l.Samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
    uint16_t extraCount = 0;
    uint16_t* extraTypes = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes) && extraCount == 1) {
        l.AlphaSample = true;
        l.Associated = extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    }
    l.Tiled = TIFFIsTiled(tif) != 0;
    if (l.Width == 0 || l.Height == 0 || l.Width > uint32_t(kMaxPictureDimension) ||
        l.Height > uint32_t(kMaxPictureDimension))
        throw EVellomarError("TIFF file: invalid picture size " + std::to_string(l.Width) + " x " +
                             std::to_string(l.Height));
    return l;
}

bool IsGrey(uint16_t photometric) {
    return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
}

// The formats read row by row; false sends the file to the RGBA reader.
bool ChooseDirectFormat(const TTiffLayout& l, TPixelFormat& format) {
    if (l.Tiled || l.SampleFormat != SAMPLEFORMAT_UINT) return false;
    const int colour = l.Samples - (l.AlphaSample ? 1 : 0);
    if (l.Samples > 1 && l.Planar != PLANARCONFIG_CONTIG) return false;
    if (colour == 1 && !l.AlphaSample && l.Bits == 1 && IsGrey(l.Photometric)) {
        format = TPixelFormat::Bw1;
        return true;
    }
    if (colour == 1 && IsGrey(l.Photometric) && (l.Bits == 2 || l.Bits == 4 || l.Bits == 8) &&
        (l.Bits == 8 || !l.AlphaSample)) {
        format = TPixelFormat::Gray8;
        return true;
    }
    if (l.Samples == 1 && l.Photometric == PHOTOMETRIC_PALETTE && l.Bits <= 8) {
        format = TPixelFormat::Palette8;
        return true;
    }
    if (colour == 3 && l.Photometric == PHOTOMETRIC_RGB && l.Bits == 8) {
        format = TPixelFormat::Rgb24;
        return true;
    }
    return false;
}

uint8_t Unpremultiply(uint8_t v, uint8_t a) {
    if (a == 0) return 0;
    const int u = (v * 255 + a / 2) / a;
    return uint8_t(u > 255 ? 255 : u);
}

void ConvertRow(const TTiffLayout& l, const uint8_t* in, TBitmap& picture, int y) {
    uint8_t* out = picture.Row(y);
    const int w = picture.Width();
    const bool invert = l.Photometric == PHOTOMETRIC_MINISWHITE;
    switch (picture.Format()) {
    case TPixelFormat::Bw1: {
        const size_t bytes = (size_t(w) + 7) / 8;
        for (size_t i = 0; i < bytes; ++i) out[i] = invert ? uint8_t(~in[i]) : in[i];
        return;
    }
    case TPixelFormat::Gray8:
    case TPixelFormat::Palette8: {
        const int step = l.AlphaSample ? 2 : 1;
        const int bits = l.Bits;
        const int maxValue = (1 << bits) - 1;
        for (int x = 0; x < w; ++x) {
            int v;
            if (bits == 8) {
                v = in[x * step];
            } else {
                const int bit = x * bits;
                v = (in[bit >> 3] >> (8 - bits - (bit & 7))) & maxValue;
                if (picture.Format() == TPixelFormat::Gray8) v = v * 255 / maxValue;
            }
            if (invert) v = 255 - v;
            out[x] = uint8_t(v);
            if (l.AlphaSample) picture.AlphaRow(y)[x] = in[x * 2 + 1];
        }
        if (l.AlphaSample && l.Associated)
            for (int x = 0; x < w; ++x) out[x] = Unpremultiply(out[x], picture.AlphaRow(y)[x]);
        return;
    }
    case TPixelFormat::Rgb24: {
        const int step = l.Samples;
        uint8_t* a = l.AlphaSample ? picture.AlphaRow(y) : nullptr;
        for (int x = 0; x < w; ++x, in += step, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            if (!a) continue;
            a[x] = in[3];
            if (l.Associated)
                for (int c = 0; c < 3; ++c) out[c] = Unpremultiply(out[c], a[x]);
        }
        return;
    }
    }
}

void ReadPalette(TIFF* tif, const TTiffLayout& l, TBitmap& picture, const TTiffStream& s) {
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) Fail(s, "the palette is missing");
    const size_t count = size_t(1) << l.Bits;
    // Some old writers stored 8-bit entries; real 16-bit maps use the high byte.
    bool eightBit = true;
    for (size_t i = 0; i < count; ++i)
        if (red[i] > 255 || green[i] > 255 || blue[i] > 255) eightBit = false;
    const int shift = eightBit ? 0 : 8;
    for (size_t i = 0; i < count; ++i)
        picture.Palette().push_back(
            TRgb{uint8_t(red[i] >> shift), uint8_t(green[i] >> shift), uint8_t(blue[i] >> shift)});
}

TBitmap ReadDirect(TIFF* tif, const TTiffLayout& l, TPixelFormat format, const TTiffStream& s) {
    TBitmap picture(int(l.Width), int(l.Height), format);
    if (l.AlphaSample) {
        CheckPictureSize(picture.Width(), picture.Height(), format, true);
        picture.EnsureAlpha();
    }
    if (format == TPixelFormat::Palette8) ReadPalette(tif, l, picture, s);
    const tmsize_t lineSize = TIFFScanlineSize(tif);
    const uint64_t needed = (uint64_t(l.Width) * l.Bits * l.Samples + 7) / 8;
    if (lineSize <= 0 || uint64_t(lineSize) < needed) Fail(s, "unexpected row size");
    std::vector<uint8_t> line(static_cast<size_t>(lineSize));
    for (uint32_t y = 0; y < l.Height; ++y) {
        if (TIFFReadScanline(tif, line.data(), y, 0) < 0) Fail(s, "the picture data cannot be read");
        ConvertRow(l, line.data(), picture, int(y));
    }
    picture.ClearPadding();
    return picture;
}

TBitmap ReadThroughRgba(TIFF* tif, const TTiffLayout& l, const TTiffStream& s) {
    char why[1024] = "";
    if (!TIFFRGBAImageOK(tif, why))
        throw EVellomarError(std::string("TIFF file: this kind of picture is not supported (") + why + ")");
    CheckPictureSize(int(l.Width), int(l.Height), TPixelFormat::Rgb24, true);
    // The RGBA raster takes 4 bytes a pixel on top of the picture.
    if (uint64_t(l.Width) * l.Height * 4 > kMaxPictureBytes)
        throw EVellomarError("TIFF file: the picture is too large to decode");
    std::vector<uint32_t> raster(size_t(l.Width) * size_t(l.Height));
    if (!TIFFReadRGBAImageOriented(tif, l.Width, l.Height, raster.data(), ORIENTATION_TOPLEFT, 1))
        Fail(s, "the picture data cannot be read");
    TBitmap picture(int(l.Width), int(l.Height), TPixelFormat::Rgb24);
    if (l.AlphaSample) picture.EnsureAlpha();
    for (int y = 0; y < picture.Height(); ++y) {
        const uint32_t* in = raster.data() + size_t(y) * l.Width;
        uint8_t* out = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x, out += 3) {
            const uint32_t p = in[x];
            const uint8_t a = uint8_t(TIFFGetA(p));
            out[0] = uint8_t(TIFFGetR(p));
            out[1] = uint8_t(TIFFGetG(p));
            out[2] = uint8_t(TIFFGetB(p));
            if (!l.AlphaSample) continue;
            picture.AlphaRow(y)[x] = a;
            // The RGBA reader premultiplies unassociated alpha.
            for (int c = 0; c < 3; ++c) out[c] = Unpremultiply(out[c], a);
        }
    }
    return picture;
}

// --- writing ----------------------------------------------------------

void SetCommonFields(TIFF* tif, const TBitmap& picture, uint16_t bits, uint16_t samples,
                     uint16_t photometric, uint16_t compression) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(picture.Width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(picture.Height()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0f);
    if (compression == COMPRESSION_CCITTFAX4) {
        TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(picture.Height()));
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
        if (photometric != PHOTOMETRIC_PALETTE) TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    }
    if (samples == 2 || samples == 4) {
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), extra);
    }
}

void SetColormap(TIFF* tif, const TBitmap& picture) {
    std::vector<uint16_t> red(256), green(256), blue(256);
    const auto& palette = picture.Palette();
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        red[i] = uint16_t(palette[i].R * 257);
        green[i] = uint16_t(palette[i].G * 257);
        blue[i] = uint16_t(palette[i].B * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

// One row in the layout written; libtiff may change the buffer it is given
// (the predictor works in place), so rows are always handed over as copies.
void MakeRow(const TBitmap& picture, int y, uint16_t samples, std::vector<uint8_t>& rgb,
             std::vector<uint8_t>& line) {
    const int w = picture.Width();
    if (picture.Format() == TPixelFormat::Bw1 && samples == 1) {
        const uint8_t* in = picture.Row(y);
        for (size_t i = 0; i < line.size(); ++i) line[i] = uint8_t(~in[i]);  // min-is-white
        return;
    }
    if (samples == 1) {
        std::memcpy(line.data(), picture.Row(y), size_t(w));
        return;
    }
    if (samples == 2) {
        const uint8_t* in = picture.Row(y);
        const uint8_t* a = picture.AlphaRow(y);
        for (int x = 0; x < w; ++x) {
            line[size_t(x) * 2] = in[x];
            line[size_t(x) * 2 + 1] = a[x];
        }
        return;
    }
    const uint8_t* in = picture.Row(y);
    if (picture.Format() != TPixelFormat::Rgb24) {
        RowToRgb24(picture, y, rgb.data());
        in = rgb.data();
    }
    if (samples == 3) {
        std::memcpy(line.data(), in, size_t(w) * 3);
        return;
    }
    const uint8_t* a = picture.AlphaRow(y);
    for (int x = 0; x < w; ++x) {
        std::memcpy(&line[size_t(x) * 4], in + size_t(x) * 3, 3);
        line[size_t(x) * 4 + 3] = a[x];
    }
}

}  // namespace

TBitmap DecodeTiff(const uint8_t* data, size_t size) {
    TTiffStream stream;
    stream.Data = data;
    stream.Size = size;
    TTiffHandle tif = Open(stream, "r");
    if (!tif) Fail(stream, "not a readable TIFF file");
    const TTiffLayout layout = ReadLayout(tif.get(), stream);
    TPixelFormat format;
    TBitmap picture = ChooseDirectFormat(layout, format) ? ReadDirect(tif.get(), layout, format, stream)
                                                         : ReadThroughRgba(tif.get(), layout, stream);
    picture.IOParams() = TIOParams{layout.Bits, layout.Samples};
    return picture;
}

std::vector<uint8_t> EncodeTiff(const TBitmap& picture, TIOParams& written) {
    std::vector<uint8_t> out;
    TTiffStream stream;
    stream.Out = &out;
    TTiffHandle tif = Open(stream, "w");
    if (!tif) Fail(stream, "cannot start the file");
    const bool alpha = picture.HasAlpha();
    const TPixelFormat format = picture.Format();
    uint16_t bits = 8, samples, photometric, compression = COMPRESSION_LZW;
    if (format == TPixelFormat::Bw1 && !alpha) {
        bits = 1;
        samples = 1;
        photometric = PHOTOMETRIC_MINISWHITE;
        compression = COMPRESSION_CCITTFAX4;
    } else if (format == TPixelFormat::Gray8) {
        samples = alpha ? 2 : 1;
        photometric = PHOTOMETRIC_MINISBLACK;
    } else if (format == TPixelFormat::Palette8 && !alpha) {
        samples = 1;
        photometric = PHOTOMETRIC_PALETTE;
    } else {
        samples = alpha ? 4 : 3;
        photometric = PHOTOMETRIC_RGB;
    }
    SetCommonFields(tif.get(), picture, bits, samples, photometric, compression);
    if (photometric == PHOTOMETRIC_PALETTE) SetColormap(tif.get(), picture);
    std::vector<uint8_t> rgb(size_t(picture.Width()) * 3);
    std::vector<uint8_t> line(size_t((uint64_t(picture.Width()) * bits * samples + 7) / 8));
    for (int y = 0; y < picture.Height(); ++y) {
        MakeRow(picture, y, samples, rgb, line);
        if (TIFFWriteScanline(tif.get(), line.data(), uint32_t(y), 0) < 0)
            Fail(stream, "the picture data cannot be written");
    }
    if (!TIFFWriteDirectory(tif.get())) Fail(stream, "the directory cannot be written");
    tif.reset();
    if (stream.Error[0]) Fail(stream, "the file cannot be completed");
    written = TIOParams{bits, samples};
    return out;
}

}  // namespace vellomar
