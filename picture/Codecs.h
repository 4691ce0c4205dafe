#pragma once
// Picture file formats: which one a file name or a file's first bytes name,
// and decoding from and encoding to memory buffers. Every decoder treats its
// input as hostile: a broken, truncated or absurd file raises EVellomarError
// with an English message and never yields a half-decoded picture.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/Bitmap.h"

namespace vellomar {

enum class TPictureFormat : uint8_t { Unknown, Jpeg, Png, Tiff, Bmp, Jp2, J2k };

// ".jpg", ".jpeg", ".png", ".tif", ".tiff", ".bmp", ".jp2", ".j2k" (lower
// case, with the dot); Unknown for anything else.
TPictureFormat FormatFromExtension(const std::string& lowerExtension);
// The format whose signature the data starts with; Unknown when none.
TPictureFormat SniffFormat(const uint8_t* data, size_t size);
const char* FormatName(TPictureFormat format);

// Decodes with the decoder of 'expected' (Unknown: by signature only). When
// that decoder rejects the data and the signature names another format, the
// other decoder gets its turn. The result's IOParams describe the file.
TBitmap DecodePicture(const std::vector<uint8_t>& bytes, TPictureFormat expected);
// Encodes the picture (which must not be empty); 'written' receives the
// parameters of the file as written.
std::vector<uint8_t> EncodePicture(const TBitmap& picture, TPictureFormat format,
                                   TIOParams& written);

// The codecs one by one (each in its own file).
TBitmap DecodeJpeg(const uint8_t* data, size_t size);
// Bw1 and Gray8 are written as grey, Palette8 and Rgb24 as colour; the
// alpha plane is dropped.
std::vector<uint8_t> EncodeJpeg(const TBitmap& picture, TIOParams& written);
constexpr int kJpegQuality = 85;

TBitmap DecodePng(const uint8_t* data, size_t size);
std::vector<uint8_t> EncodePng(const TBitmap& picture, TIOParams& written);

// The first page (directory) of the file.
TBitmap DecodeTiff(const uint8_t* data, size_t size);
// Bw1 as CCITT Group 4, other formats LZW; alpha as an unassociated extra
// sample.
std::vector<uint8_t> EncodeTiff(const TBitmap& picture, TIOParams& written);

TBitmap DecodeBmp(const uint8_t* data, size_t size);
// 1, 8 or 24 bits a pixel; with alpha 32 bits.
std::vector<uint8_t> EncodeBmp(const TBitmap& picture, TIOParams& written);

// JP2 files and bare J2K codestreams, told apart by their signature.
TBitmap DecodeJpeg2000(const uint8_t* data, size_t size);
// Lossless (reversible wavelet); a JP2 file, or a bare codestream when
// 'codestream' is set. Bw1 is written as a 1-bit component when OpenJPEG
// can fit it, else as 8-bit grey.
std::vector<uint8_t> EncodeJpeg2000(const TBitmap& picture, bool codestream, TIOParams& written);

}  // namespace vellomar
