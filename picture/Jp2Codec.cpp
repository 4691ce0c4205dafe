// JPEG 2000 through OpenJPEG, as JP2 files or bare J2K codestreams, to and
// from memory streams. OpenJPEG reports errors through a callback and a
// false answer; the strict decoding mode makes truncated data an error
// rather than a partly decoded picture.
//
// Read: one component (two with alpha) as Gray8, or Bw1 when its precision
// is 1 bit; three (four with alpha) as Rgb24; samples scaled to 8 bits.
// Write: lossless (reversible 5/3 wavelet), Bw1 as a 1-bit component.
#include <openjpeg.h>

#include <cstring>
#include <memory>
#include <string>

#include "picture/Codecs.h"
#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

struct TJp2Stream {
    const uint8_t* Data = nullptr;  // reading
    size_t Size = 0;
    std::vector<uint8_t>* Out = nullptr;  // writing
    uint64_t Position = 0;
    std::string Error;
};

OPJ_SIZE_T ReadProc(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* s = static_cast<TJp2Stream*>(user);
    if (s->Position >= s->Size) return OPJ_SIZE_T(-1);
    const uint64_t available = s->Size - s->Position;
    const size_t n = size_t(count < available ? count : available);
    std::memcpy(buffer, s->Data + s->Position, n);
    s->Position += n;
    return n;
}

OPJ_SIZE_T WriteProc(void* buffer, OPJ_SIZE_T count, void* user) {
    auto* s = static_cast<TJp2Stream*>(user);
    const uint64_t end = s->Position + count;
    try {
        if (end > s->Out->size()) s->Out->resize(size_t(end));
    } catch (...) {
        return OPJ_SIZE_T(-1);
    }
    std::memcpy(s->Out->data() + s->Position, buffer, count);
    s->Position = end;
    return count;
}

uint64_t LengthOf(const TJp2Stream& s) { return s.Out ? s.Out->size() : s.Size; }

OPJ_OFF_T SkipProc(OPJ_OFF_T count, void* user) {
    auto* s = static_cast<TJp2Stream*>(user);
    const int64_t target = int64_t(s->Position) + count;
    if (target < 0 || (!s->Out && uint64_t(target) > s->Size)) return -1;
    s->Position = uint64_t(target);
    return count;
}

OPJ_BOOL SeekProc(OPJ_OFF_T position, void* user) {
    auto* s = static_cast<TJp2Stream*>(user);
    if (position < 0 || (!s->Out && uint64_t(position) > LengthOf(*s))) return OPJ_FALSE;
    s->Position = uint64_t(position);
    return OPJ_TRUE;
}

void OnError(const char* message, void* user) {
    auto* s = static_cast<TJp2Stream*>(user);
    if (!s->Error.empty() || !message) return;
    try {
        s->Error = message;
        while (!s->Error.empty() && (s->Error.back() == '\n' || s->Error.back() == '\r'))
            s->Error.pop_back();
    } catch (...) {
    }
}
void OnMessage(const char*, void*) {}

struct TCodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct TStreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct TImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
using TCodec = std::unique_ptr<opj_codec_t, TCodecDeleter>;
using TStream = std::unique_ptr<opj_stream_t, TStreamDeleter>;
using TImage = std::unique_ptr<opj_image_t, TImageDeleter>;

TStream MakeStream(TJp2Stream& s, bool input) {
    TStream stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, input ? OPJ_TRUE : OPJ_FALSE));
    if (!stream) throw EVellomarError("JPEG 2000: out of memory");
    opj_stream_set_user_data(stream.get(), &s, nullptr);
    if (input) {
        opj_stream_set_read_function(stream.get(), ReadProc);
        opj_stream_set_user_data_length(stream.get(), s.Size);
    } else {
        opj_stream_set_write_function(stream.get(), WriteProc);
    }
    opj_stream_set_skip_function(stream.get(), SkipProc);
    opj_stream_set_seek_function(stream.get(), SeekProc);
    return stream;
}

void InstallHandlers(opj_codec_t* codec, TJp2Stream& s) {
    opj_set_error_handler(codec, OnError, &s);
    opj_set_warning_handler(codec, OnMessage, &s);
    opj_set_info_handler(codec, OnMessage, &s);
}

[[noreturn]] void Fail(const TJp2Stream& s, const char* what) {
    std::string message = std::string("JPEG 2000 file: ") + what;
    if (!s.Error.empty()) message += " (" + s.Error + ")";
    throw EVellomarError(message);
}

// A decoded sample scaled to 0 .. 255.
struct TSampleScale {
    int Offset, Max, Precision;
    explicit TSampleScale(const opj_image_comp_t& c)
        : Offset(c.sgnd ? 1 << (c.prec - 1) : 0), Max((1 << c.prec) - 1), Precision(int(c.prec)) {}
    uint8_t operator()(int32_t v) const {
        int64_t u = int64_t(v) + Offset;
        if (u < 0) u = 0;
        if (u > Max) u = Max;
        if (Precision == 8) return uint8_t(u);
        if (Precision > 8) return uint8_t(u >> (Precision - 8));
        return uint8_t((u * 255 + Max / 2) / Max);
    }
};

TBitmap ToBitmap(const opj_image_t& image, const TJp2Stream& s) {
    const uint32_t count = image.numcomps;
    if (count < 1 || count > 4) Fail(s, "only 1 to 4 components are supported");
    const uint32_t w = image.comps[0].w, h = image.comps[0].h;
    for (uint32_t c = 0; c < count; ++c) {
        const opj_image_comp_t& comp = image.comps[c];
        if (!comp.data || comp.w != w || comp.h != h || comp.prec < 1 || comp.prec > 31)
            Fail(s, "subsampled or incomplete components are not supported");
    }
    const bool colour = count >= 3, alpha = count == 2 || count == 4;
    const TPixelFormat format = colour ? TPixelFormat::Rgb24
                                : image.comps[0].prec == 1 && !alpha ? TPixelFormat::Bw1
                                                                     : TPixelFormat::Gray8;
    CheckPictureSize(int(w), int(h), format, alpha);
    TBitmap picture(int(w), int(h), format);
    if (alpha) picture.EnsureAlpha();
    const uint32_t colourCount = colour ? 3 : 1;
    for (uint32_t c = 0; c < count; ++c) {
        const opj_image_comp_t& comp = image.comps[c];
        const TSampleScale scale(comp);
        for (uint32_t y = 0; y < h; ++y) {
            const int32_t* in = comp.data + size_t(y) * w;
            if (c == colourCount) {
                uint8_t* a = picture.AlphaRow(int(y));
                for (uint32_t x = 0; x < w; ++x) a[x] = scale(in[x]);
                continue;
            }
            uint8_t* out = picture.Row(int(y));
            if (format == TPixelFormat::Bw1) {
                for (uint32_t x = 0; x < w; ++x)
                    if (scale(in[x]) >= 128) out[x >> 3] |= uint8_t(0x80 >> (x & 7));
                continue;
            }
            for (uint32_t x = 0; x < w; ++x) out[size_t(x) * colourCount + c] = scale(in[x]);
        }
    }
    picture.IOParams() = TIOParams{int(image.comps[0].prec), int(count)};
    return picture;
}

}  // namespace

TBitmap DecodeJpeg2000(const uint8_t* data, size_t size) {
    TJp2Stream s;
    s.Data = data;
    s.Size = size;
    const TPictureFormat kind = SniffFormat(data, size);
    if (kind != TPictureFormat::Jp2 && kind != TPictureFormat::J2k)
        Fail(s, "no JPEG 2000 signature");
    TCodec codec(opj_create_decompress(kind == TPictureFormat::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K));
    if (!codec) throw EVellomarError("JPEG 2000: out of memory");
    InstallHandlers(codec.get(), s);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(codec.get(), &parameters)) Fail(s, "the decoder cannot be set up");
    opj_decoder_set_strict_mode(codec.get(), OPJ_TRUE);
    TStream stream = MakeStream(s, true);
    opj_image_t* raw = nullptr;
    if (!opj_read_header(stream.get(), codec.get(), &raw)) {
        opj_image_destroy(raw);
        Fail(s, "the header cannot be read");
    }
    TImage image(raw);
    // The size is checked before OpenJPEG allocates the sample planes.
    const int64_t width = int64_t(image->x1) - image->x0, height = int64_t(image->y1) - image->y0;
    if (width <= 0 || height <= 0 || width > kMaxPictureDimension || height > kMaxPictureDimension)
        throw EVellomarError("JPEG 2000 file: invalid picture size " + std::to_string(width) + " x " +
                             std::to_string(height));
    CheckPictureSize(int(width), int(height), TPixelFormat::Rgb24, true);
    if (uint64_t(width) * uint64_t(height) * 4 * image->numcomps > kMaxPictureBytes)
        throw EVellomarError("JPEG 2000 file: the picture is too large to decode");
    if (!opj_decode(codec.get(), stream.get(), image.get())) Fail(s, "the picture data cannot be decoded");
    if (!opj_end_decompress(codec.get(), stream.get())) Fail(s, "the file does not end properly");
    return ToBitmap(*image, s);
}

namespace {

int ResolutionsFor(int width, int height) {
    int smaller = width < height ? width : height, levels = 1;
    while (levels < 6 && (smaller >> levels) >= 1) ++levels;
    return levels;
}

TImage MakeImage(const TBitmap& picture, bool oneBit, int& precision, int& count) {
    const bool alpha = picture.HasAlpha();
    const bool grey = picture.Format() == TPixelFormat::Bw1 || picture.Format() == TPixelFormat::Gray8;
    precision = oneBit ? 1 : 8;
    count = (grey ? 1 : 3) + (alpha ? 1 : 0);
    const uint32_t w = uint32_t(picture.Width()), h = uint32_t(picture.Height());
    opj_image_cmptparm_t parameters[4];
    std::memset(parameters, 0, sizeof parameters);
    for (int c = 0; c < count; ++c) {
        parameters[c].dx = parameters[c].dy = 1;
        parameters[c].w = w;
        parameters[c].h = h;
        parameters[c].prec = OPJ_UINT32(precision);
        parameters[c].sgnd = 0;
    }
    TImage image(opj_image_create(OPJ_UINT32(count), parameters, grey ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB));
    if (!image) throw EVellomarError("JPEG 2000 encoder: out of memory");
    image->x0 = image->y0 = 0;
    image->x1 = w;
    image->y1 = h;
    if (alpha) image->comps[count - 1].alpha = 1;
    const int colourCount = grey ? 1 : 3;
    std::vector<uint8_t> row(size_t(w) * 3);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* in = picture.Row(int(y));
        if (precision == 1) {
            int32_t* out = image->comps[0].data + size_t(y) * w;
            for (uint32_t x = 0; x < w; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
            continue;
        }
        if (grey) {
            RowToGray8(picture, int(y), row.data());
        } else {
            RowToRgb24(picture, int(y), row.data());
        }
        for (int c = 0; c < colourCount; ++c) {
            int32_t* out = image->comps[c].data + size_t(y) * w;
            for (uint32_t x = 0; x < w; ++x) out[x] = row[size_t(x) * colourCount + size_t(c)];
        }
        if (alpha) {
            int32_t* out = image->comps[count - 1].data + size_t(y) * w;
            const uint8_t* a = picture.AlphaRow(int(y));
            for (uint32_t x = 0; x < w; ++x) out[x] = a[x];
        }
    }
    return image;
}

std::vector<uint8_t> Encode(const TBitmap& picture, bool codestream, bool oneBit, TIOParams& written) {
    int precision, count;
    TImage image = MakeImage(picture, oneBit, precision, count);
    std::vector<uint8_t> out;
    TJp2Stream s;
    s.Out = &out;
    TCodec codec(opj_create_compress(codestream ? OPJ_CODEC_J2K : OPJ_CODEC_JP2));
    if (!codec) throw EVellomarError("JPEG 2000 encoder: out of memory");
    InstallHandlers(codec.get(), s);
    opj_cparameters_t parameters;
    opj_set_default_encoder_parameters(&parameters);
    parameters.tcp_numlayers = 1;
    parameters.tcp_rates[0] = 0;  // lossless
    parameters.cp_disto_alloc = 1;
    parameters.irreversible = 0;
    parameters.numresolution = ResolutionsFor(picture.Width(), picture.Height());
    parameters.tcp_mct = count >= 3 ? 1 : 0;
    if (!opj_setup_encoder(codec.get(), &parameters, image.get())) Fail(s, "the encoder cannot be set up");
    TStream stream = MakeStream(s, false);
    if (!opj_start_compress(codec.get(), image.get(), stream.get()) ||
        !opj_encode(codec.get(), stream.get()) || !opj_end_compress(codec.get(), stream.get()))
        Fail(s, "the picture cannot be encoded");
    stream.reset();
    written = TIOParams{precision, count};
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg2000(const TBitmap& picture, bool codestream, TIOParams& written) {
    if (picture.Format() != TPixelFormat::Bw1 || picture.HasAlpha())
        return Encode(picture, codestream, false, written);
    // OpenJPEG sizes its output buffer from the sample precision, and 1-bit
    // content that hardly compresses (noise, halftones) overflows it; such a
    // picture is written as 8-bit grey instead, which holds the same pixels.
    try {
        return Encode(picture, codestream, true, written);
    } catch (const EVellomarError&) {
        return Encode(picture, codestream, false, written);
    }
}

}  // namespace vellomar
