// PNG through libpng. libpng reports errors by longjmp to the setjmp of the
// running call, so each job keeps every object that must survive an error
// in a struct owned by the caller, and the functions that call setjmp hold
// only trivial locals (a longjmp must not skip a destructor).
//
// Read: grey of 1 bit without transparency stays Bw1 (PNG's 1 is white,
// like ours); other grey becomes Gray8, palettes Palette8, colour Rgb24;
// transparency (an alpha channel or tRNS) becomes the alpha plane, with
// palette and colour pictures then read as Rgb24. 16-bit samples are scaled
// to 8.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include "picture/Codecs.h"
#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

struct TPngMessage {
    char Text[200] = "unknown error";
};

void OnError(png_structp png, png_const_charp message) {
    auto* m = static_cast<TPngMessage*>(png_get_error_ptr(png));
    std::snprintf(m->Text, sizeof m->Text, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// --- reading -------------------------------------------------------------

struct TPngReader {
    TPngMessage Message;
    const uint8_t* Data = nullptr;
    size_t Size = 0, Position = 0;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    TBitmap Result;
    int Channels = 1;                // interleaved samples a pixel read
    std::vector<uint8_t> Interleaved;  // used when the alpha must be split off
    std::vector<png_bytep> Rows;

    ~TPngReader() {
        if (Png) png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr);
    }
};

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
    auto* r = static_cast<TPngReader*>(png_get_io_ptr(png));
    if (count > r->Size - r->Position) png_error(png, "the file is truncated");
    std::memcpy(out, r->Data + r->Position, count);
    r->Position += count;
}

// Sets up libpng's transforms and answers the format to decode into.
TPixelFormat ChooseReadFormat(TPngReader& r, bool& withAlpha) {
    png_structp png = r.Png;
    png_infop info = r.Info;
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16) png_set_scale_16(png);
    withAlpha = trns || (type & PNG_COLOR_MASK_ALPHA);
    if (trns) png_set_tRNS_to_alpha(png);
    switch (type) {
    case PNG_COLOR_TYPE_GRAY:
        if (depth == 1 && !trns) return TPixelFormat::Bw1;
        if (depth < 8) png_set_expand_gray_1_2_4_to_8(png);
        r.Channels = trns ? 2 : 1;
        return TPixelFormat::Gray8;
    case PNG_COLOR_TYPE_GRAY_ALPHA: r.Channels = 2; return TPixelFormat::Gray8;
    case PNG_COLOR_TYPE_PALETTE:
        if (!trns) {
            if (depth < 8) png_set_packing(png);
            return TPixelFormat::Palette8;
        }
        png_set_palette_to_rgb(png);
        r.Channels = 4;
        return TPixelFormat::Rgb24;
    case PNG_COLOR_TYPE_RGB: r.Channels = trns ? 4 : 3; return TPixelFormat::Rgb24;
    case PNG_COLOR_TYPE_RGB_ALPHA: r.Channels = 4; return TPixelFormat::Rgb24;
    default: png_error(png, "unknown colour type");
    }
    return TPixelFormat::Rgb24;
}

void SplitAlpha(TPngReader& r) {
    const int w = r.Result.Width(), colour = r.Channels - 1;
    for (int y = 0; y < r.Result.Height(); ++y) {
        const uint8_t* in = r.Interleaved.data() + size_t(y) * size_t(w) * size_t(r.Channels);
        uint8_t* out = r.Result.Row(y);
        uint8_t* a = r.Result.AlphaRow(y);
        for (int x = 0; x < w; ++x, in += r.Channels, out += colour) {
            std::memcpy(out, in, size_t(colour));
            a[x] = in[colour];
        }
    }
}

// False when libpng raised an error; r.Message then tells why.
bool RunRead(TPngReader& r) {
    if (setjmp(png_jmpbuf(r.Png))) return false;
    png_set_read_fn(r.Png, &r, ReadBytes);
    png_set_user_limits(r.Png, kMaxPictureDimension, kMaxPictureDimension);
    png_read_info(r.Png, r.Info);
    const int width = int(png_get_image_width(r.Png, r.Info));
    const int height = int(png_get_image_height(r.Png, r.Info));
    const int fileDepth = png_get_bit_depth(r.Png, r.Info);
    const int fileChannels = png_get_channels(r.Png, r.Info);
    bool withAlpha = false;
    const TPixelFormat format = ChooseReadFormat(r, withAlpha);
    png_set_interlace_handling(r.Png);
    png_read_update_info(r.Png, r.Info);
    CheckPictureSize(width, height, format, withAlpha);
    r.Result = TBitmap(width, height, format);
    if (format == TPixelFormat::Palette8) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(r.Png, r.Info, &palette, &count))
            for (int i = 0; i < count && i < 256; ++i)
                r.Result.Palette().push_back(TRgb{palette[i].red, palette[i].green, palette[i].blue});
    }
    r.Rows.resize(size_t(height));
    if (withAlpha) {
        r.Result.EnsureAlpha();
        const size_t rowBytes = size_t(width) * size_t(r.Channels);
        if (png_get_rowbytes(r.Png, r.Info) != rowBytes) png_error(r.Png, "unexpected row size");
        r.Interleaved.resize(rowBytes * size_t(height));
        for (int y = 0; y < height; ++y) r.Rows[size_t(y)] = r.Interleaved.data() + size_t(y) * rowBytes;
    } else {
        if (png_get_rowbytes(r.Png, r.Info) > r.Result.Stride()) png_error(r.Png, "unexpected row size");
        for (int y = 0; y < height; ++y) r.Rows[size_t(y)] = r.Result.Row(y);
    }
    png_read_image(r.Png, r.Rows.data());
    png_read_end(r.Png, nullptr);
    if (withAlpha) SplitAlpha(r);
    r.Result.ClearPadding();
    r.Result.IOParams() = TIOParams{fileDepth, fileChannels};
    return true;
}

// --- writing -------------------------------------------------------------

struct TPngWriter {
    TPngMessage Message;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    std::vector<uint8_t> Out;
    std::vector<uint8_t> RowBuffer;
    std::vector<uint8_t> RgbBuffer;
    TIOParams Written;

    ~TPngWriter() {
        if (Png) png_destroy_write_struct(&Png, Info ? &Info : nullptr);
    }
};

void WriteBytes(png_structp png, png_bytep data, png_size_t count) {
    auto* w = static_cast<TPngWriter*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        w->Out.insert(w->Out.end(), data, data + count);
    } catch (...) {
        failed = true;
    }
    if (failed) png_error(png, "out of memory");
}

void Flush(png_structp) {}

bool RunWrite(TPngWriter& w, const TBitmap& picture) {
    if (setjmp(png_jmpbuf(w.Png))) return false;
    png_set_write_fn(w.Png, &w, WriteBytes, Flush);
    const int width = picture.Width(), height = picture.Height();
    const bool alpha = picture.HasAlpha();
    const TPixelFormat format = picture.Format();
    int depth = 8, type, channels;
    if (alpha) {
        type = format == TPixelFormat::Gray8 ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_RGB_ALPHA;
        channels = format == TPixelFormat::Gray8 ? 2 : 4;
    } else {
        switch (format) {
        case TPixelFormat::Bw1: depth = 1; type = PNG_COLOR_TYPE_GRAY; channels = 1; break;
        case TPixelFormat::Gray8: type = PNG_COLOR_TYPE_GRAY; channels = 1; break;
        case TPixelFormat::Palette8: type = PNG_COLOR_TYPE_PALETTE; channels = 1; break;
        default: type = PNG_COLOR_TYPE_RGB; channels = 3; break;
        }
    }
    png_set_IHDR(w.Png, w.Info, png_uint_32(width), png_uint_32(height), depth, type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_color entries[256];
        int count = 0;
        for (const TRgb& c : picture.Palette()) {
            if (count == 256) break;
            entries[count++] = png_color{c.R, c.G, c.B};
        }
        if (count == 0) entries[count++] = png_color{0, 0, 0};
        png_set_PLTE(w.Png, w.Info, entries, count);
    }
    // Filters rarely help 1-bit and palette rows; the cheap setting is as good.
    if (depth < 8 || type == PNG_COLOR_TYPE_PALETTE) png_set_filter(w.Png, 0, PNG_FILTER_NONE);
    png_write_info(w.Png, w.Info);
    w.RowBuffer.resize(size_t(width) * size_t(channels));
    if (alpha && channels == 4) w.RgbBuffer.resize(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        if (!alpha) {
            png_write_row(w.Png, const_cast<png_bytep>(picture.Row(y)));
            continue;
        }
        const uint8_t* colour = picture.Row(y);
        if (channels == 4 && format != TPixelFormat::Rgb24) {
            RowToRgb24(picture, y, w.RgbBuffer.data());
            colour = w.RgbBuffer.data();
        }
        const uint8_t* a = picture.AlphaRow(y);
        uint8_t* out = w.RowBuffer.data();
        const int c = channels - 1;
        for (int x = 0; x < width; ++x, out += channels, colour += c) {
            std::memcpy(out, colour, size_t(c));
            out[c] = a[x];
        }
        png_write_row(w.Png, w.RowBuffer.data());
    }
    png_write_end(w.Png, nullptr);
    w.Written = TIOParams{depth, channels};
    return true;
}

}  // namespace

TBitmap DecodePng(const uint8_t* data, size_t size) {
    TPngReader r;
    r.Data = data;
    r.Size = size;
    r.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r.Message, OnError, OnWarning);
    if (r.Png) r.Info = png_create_info_struct(r.Png);
    if (!r.Png || !r.Info) throw EVellomarError("PNG decoder: out of memory");
    if (!RunRead(r)) throw EVellomarError(std::string("PNG file: ") + r.Message.Text);
    return std::move(r.Result);
}

std::vector<uint8_t> EncodePng(const TBitmap& picture, TIOParams& written) {
    TPngWriter w;
    w.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &w.Message, OnError, OnWarning);
    if (w.Png) w.Info = png_create_info_struct(w.Png);
    if (!w.Png || !w.Info) throw EVellomarError("PNG encoder: out of memory");
    if (!RunWrite(w, picture)) throw EVellomarError(std::string("PNG encoder: ") + w.Message.Text);
    written = w.Written;
    return std::move(w.Out);
}

}  // namespace vellomar
