#include "picture/Codecs.h"

#include <cstring>
#include <new>

#include "platform/VellomarError.h"

namespace vellomar {

TPictureFormat FormatFromExtension(const std::string& ext) {
    if (ext == ".jpg" || ext == ".jpeg") return TPictureFormat::Jpeg;
    if (ext == ".png") return TPictureFormat::Png;
    if (ext == ".tif" || ext == ".tiff") return TPictureFormat::Tiff;
    if (ext == ".bmp") return TPictureFormat::Bmp;
    if (ext == ".jp2") return TPictureFormat::Jp2;
    if (ext == ".j2k") return TPictureFormat::J2k;
    return TPictureFormat::Unknown;
}

namespace {

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

bool IsJpeg2000(TPictureFormat f) { return f == TPictureFormat::Jp2 || f == TPictureFormat::J2k; }

TBitmap DecodeAs(TPictureFormat format, const std::vector<uint8_t>& bytes) {
    const uint8_t* data = bytes.data();
    const size_t size = bytes.size();
    switch (format) {
    case TPictureFormat::Jpeg: return DecodeJpeg(data, size);
    case TPictureFormat::Png: return DecodePng(data, size);
    case TPictureFormat::Tiff: return DecodeTiff(data, size);
    case TPictureFormat::Bmp: return DecodeBmp(data, size);
    case TPictureFormat::Jp2:
    case TPictureFormat::J2k: return DecodeJpeg2000(data, size);
    case TPictureFormat::Unknown: break;
    }
    throw EVellomarError("The data is not a picture in a known format");
}

}  // namespace

TPictureFormat SniffFormat(const uint8_t* data, size_t size) {
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3)) return TPictureFormat::Jpeg;
    if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) return TPictureFormat::Png;
    if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4) ||
        StartsWith(data, size, "II+\0", 4) || StartsWith(data, size, "MM\0+", 4))
        return TPictureFormat::Tiff;
    if (StartsWith(data, size, "BM", 2)) return TPictureFormat::Bmp;
    if (StartsWith(data, size, "\0\0\0\x0CjP  \r\n\x87\n", 12)) return TPictureFormat::Jp2;
    if (StartsWith(data, size, "\xFF\x4F\xFF\x51", 4)) return TPictureFormat::J2k;
    return TPictureFormat::Unknown;
}

const char* FormatName(TPictureFormat format) {
    switch (format) {
    case TPictureFormat::Jpeg: return "JPEG";
    case TPictureFormat::Png: return "PNG";
    case TPictureFormat::Tiff: return "TIFF";
    case TPictureFormat::Bmp: return "BMP";
    case TPictureFormat::Jp2: return "JPEG 2000";
    case TPictureFormat::J2k: return "JPEG 2000 codestream";
    case TPictureFormat::Unknown: break;
    }
    return "unknown";
}

TBitmap DecodePicture(const std::vector<uint8_t>& bytes, TPictureFormat expected) {
    if (bytes.empty()) throw EVellomarError("The picture data is empty");
    const TPictureFormat sniffed = SniffFormat(bytes.data(), bytes.size());
    try {
        if (expected == TPictureFormat::Unknown) return DecodeAs(sniffed, bytes);
        try {
            return DecodeAs(expected, bytes);
        } catch (const EVellomarError&) {
            // A file named for one format but holding another still loads.
            const bool other = sniffed != TPictureFormat::Unknown && sniffed != expected &&
                               !(IsJpeg2000(sniffed) && IsJpeg2000(expected));
            if (!other) throw;
        }
        return DecodeAs(sniffed, bytes);
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory to decode the picture");
    }
}

std::vector<uint8_t> EncodePicture(const TBitmap& picture, TPictureFormat format,
                                   TIOParams& written) {
    if (picture.IsEmpty()) throw EVellomarError("An empty picture cannot be saved");
    try {
        switch (format) {
        case TPictureFormat::Jpeg: return EncodeJpeg(picture, written);
        case TPictureFormat::Png: return EncodePng(picture, written);
        case TPictureFormat::Tiff: return EncodeTiff(picture, written);
        case TPictureFormat::Bmp: return EncodeBmp(picture, written);
        case TPictureFormat::Jp2: return EncodeJpeg2000(picture, false, written);
        case TPictureFormat::J2k: return EncodeJpeg2000(picture, true, written);
        case TPictureFormat::Unknown: break;
        }
    } catch (const std::bad_alloc&) {
        throw EVellomarError("Not enough memory to encode the picture");
    }
    throw EVellomarError("No picture format to encode with");
}

}  // namespace vellomar
