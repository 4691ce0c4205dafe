// JPEG through libjpeg(-turbo). Its error handler must not return, so it
// longjmps back to the setjmp of the running call; every object that must
// survive lives in a struct owned by the caller, and the functions calling
// setjmp hold only trivial locals.
//
// OPTIMIZATION: colour is decoded as JCS_RGB straight into the bitmap's rows
// and encoded from them, several rows a call, so libjpeg-turbo's SIMD colour
// conversion does all per-pixel work; no pixel passes through a callback.
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>
#include <string>

#include "picture/Codecs.h"
#include "picture/PixelConversion.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Progressive files may have any number of scans; real ones have a dozen.
constexpr int kMaxScans = 1000;
constexpr int kRowsPerCall = 16;

struct TJpegError {
    jpeg_error_mgr Manager;  // first, so that cinfo->err points at the whole
    jmp_buf Jump;
    char Text[JMSG_LENGTH_MAX] = "unknown error";
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->Text);
    std::longjmp(e->Jump, 1);
}

// Warnings are tolerated (many real files have stray bytes) except the end
// of data before the end of the picture: a truncated file is an error, not
// a picture with a grey lower part.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) OnError(cinfo);
}

void OnProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
        std::snprintf(e->Text, sizeof e->Text, "more than %d scans", kMaxScans);
        std::longjmp(e->Jump, 1);
    }
}

void InstallErrorHandler(TJpegError& error, jpeg_common_struct* cinfo) {
    cinfo->err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = OnError;
    error.Manager.emit_message = OnMessage;
}

// --- reading -------------------------------------------------------------

struct TJpegReader {
    TJpegError Error;
    jpeg_decompress_struct Info;
    jpeg_progress_mgr Progress;
    bool Created = false;
    TBitmap Result;
    std::vector<uint8_t> Cmyk;  // one row of CMYK samples

    ~TJpegReader() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
};

void CmykRowToRgb(const uint8_t* in, uint8_t* out, int width, bool adobeInverted) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!adobeInverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = uint8_t((c * k + 127) / 255);
        out[1] = uint8_t((m * k + 127) / 255);
        out[2] = uint8_t((y * k + 127) / 255);
    }
}

bool RunRead(TJpegReader& r, const uint8_t* data, size_t size) {
    if (setjmp(r.Error.Jump)) return false;
    jpeg_create_decompress(&r.Info);
    r.Created = true;
    r.Progress.progress_monitor = OnProgress;
    r.Info.progress = &r.Progress;
    jpeg_mem_src(&r.Info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&r.Info, TRUE);
    TPixelFormat format = TPixelFormat::Rgb24;
    const bool cmyk = r.Info.jpeg_color_space == JCS_CMYK || r.Info.jpeg_color_space == JCS_YCCK;
    if (r.Info.jpeg_color_space == JCS_GRAYSCALE) {
        r.Info.out_color_space = JCS_GRAYSCALE;
        format = TPixelFormat::Gray8;
    } else {
        r.Info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    }
    CheckPictureSize(int(r.Info.image_width), int(r.Info.image_height), format);
    jpeg_start_decompress(&r.Info);
    const int width = int(r.Info.output_width), height = int(r.Info.output_height);
    r.Result = TBitmap(width, height, format);
    if (cmyk) r.Cmyk.resize(size_t(width) * 4);
    while (r.Info.output_scanline < r.Info.output_height) {
        const int y = int(r.Info.output_scanline);
        if (cmyk) {
            JSAMPROW row = r.Cmyk.data();
            jpeg_read_scanlines(&r.Info, &row, 1);
            CmykRowToRgb(r.Cmyk.data(), r.Result.Row(y), width, r.Info.saw_Adobe_marker);
            continue;
        }
        JSAMPROW rows[kRowsPerCall];
        const int count = height - y < kRowsPerCall ? height - y : kRowsPerCall;
        for (int i = 0; i < count; ++i) rows[i] = r.Result.Row(y + i);
        jpeg_read_scanlines(&r.Info, rows, JDIMENSION(count));
    }
    jpeg_finish_decompress(&r.Info);
    r.Result.IOParams() = TIOParams{8, r.Info.num_components};
    return true;
}

// --- writing -------------------------------------------------------------

struct TJpegWriter {
    TJpegError Error;
    jpeg_compress_struct Info;
    jpeg_destination_mgr Destination;
    bool Created = false;
    std::vector<uint8_t> Out;
    std::vector<uint8_t> Converted;  // rows of a format JPEG cannot take as is

    ~TJpegWriter() {
        if (Created) jpeg_destroy_compress(&Info);
    }
};

TJpegWriter& WriterOf(j_compress_ptr cinfo) { return *static_cast<TJpegWriter*>(cinfo->client_data); }

void StartOutput(j_compress_ptr cinfo) {
    TJpegWriter& w = WriterOf(cinfo);
    cinfo->dest->next_output_byte = w.Out.data();
    cinfo->dest->free_in_buffer = w.Out.size();
}

boolean GrowOutput(j_compress_ptr cinfo) {
    TJpegWriter& w = WriterOf(cinfo);
    const size_t used = w.Out.size();
    bool failed = false;
    try {
        w.Out.resize(used * 2);
    } catch (...) {
        failed = true;
    }
    if (failed) {
        std::snprintf(w.Error.Text, sizeof w.Error.Text, "out of memory");
        std::longjmp(w.Error.Jump, 1);
    }
    cinfo->dest->next_output_byte = w.Out.data() + used;
    cinfo->dest->free_in_buffer = w.Out.size() - used;
    return TRUE;
}

void EndOutput(j_compress_ptr cinfo) {
    TJpegWriter& w = WriterOf(cinfo);
    w.Out.resize(w.Out.size() - cinfo->dest->free_in_buffer);
}

bool RunWrite(TJpegWriter& w, const TBitmap& picture) {
    if (setjmp(w.Error.Jump)) return false;
    jpeg_create_compress(&w.Info);
    w.Created = true;
    w.Info.client_data = &w;
    w.Destination.init_destination = StartOutput;
    w.Destination.empty_output_buffer = GrowOutput;
    w.Destination.term_destination = EndOutput;
    w.Info.dest = &w.Destination;
    const bool grey = picture.Format() == TPixelFormat::Bw1 || picture.Format() == TPixelFormat::Gray8;
    const bool direct = picture.Format() == TPixelFormat::Gray8 || picture.Format() == TPixelFormat::Rgb24;
    w.Info.image_width = JDIMENSION(picture.Width());
    w.Info.image_height = JDIMENSION(picture.Height());
    w.Info.input_components = grey ? 1 : 3;
    w.Info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&w.Info);
    jpeg_set_quality(&w.Info, kJpegQuality, TRUE);
    jpeg_start_compress(&w.Info, TRUE);
    const int height = picture.Height();
    if (!direct) w.Converted.resize(size_t(picture.Width()) * (grey ? 1 : 3));
    while (w.Info.next_scanline < w.Info.image_height) {
        const int y = int(w.Info.next_scanline);
        if (!direct) {
            if (grey)
                RowToGray8(picture, y, w.Converted.data());
            else
                RowToRgb24(picture, y, w.Converted.data());
            JSAMPROW row = w.Converted.data();
            jpeg_write_scanlines(&w.Info, &row, 1);
            continue;
        }
        JSAMPROW rows[kRowsPerCall];
        const int count = height - y < kRowsPerCall ? height - y : kRowsPerCall;
        for (int i = 0; i < count; ++i) rows[i] = const_cast<JSAMPROW>(picture.Row(y + i));
        jpeg_write_scanlines(&w.Info, rows, JDIMENSION(count));
    }
    jpeg_finish_compress(&w.Info);
    return true;
}

}  // namespace

TBitmap DecodeJpeg(const uint8_t* data, size_t size) {
    TJpegReader r;
    InstallErrorHandler(r.Error, reinterpret_cast<jpeg_common_struct*>(&r.Info));
    if (!RunRead(r, data, size)) throw EVellomarError(std::string("JPEG file: ") + r.Error.Text);
    return std::move(r.Result);
}

std::vector<uint8_t> EncodeJpeg(const TBitmap& picture, TIOParams& written) {
    TJpegWriter w;
    InstallErrorHandler(w.Error, reinterpret_cast<jpeg_common_struct*>(&w.Info));
    // A first guess of the output size; the buffer doubles when it fills.
    const size_t guess = size_t(picture.Width()) * size_t(picture.Height()) / 4;
    w.Out.resize(guess < 65536 ? 65536 : guess);
    if (!RunWrite(w, picture)) throw EVellomarError(std::string("JPEG encoder: ") + w.Error.Text);
    const bool grey = picture.Format() == TPixelFormat::Bw1 || picture.Format() == TPixelFormat::Gray8;
    written = TIOParams{8, grey ? 1 : 3};
    return std::move(w.Out);
}

}  // namespace vellomar
