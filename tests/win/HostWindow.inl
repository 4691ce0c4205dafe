// Template part of HostWindow.h.
#include <fstream>

namespace vellomar::testing {

template <typename Colour>
bool WriteBmp(const std::wstring& path, int width, int height, Colour colour) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // bottom-up rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = DWORD(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<uint8_t> rows(info.biSizeImage, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rows.data() + size_t(height - 1 - y) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            row[x * 3 + 0] = uint8_t(c);
            row[x * 3 + 1] = uint8_t(c >> 8);
            row[x * 3 + 2] = uint8_t(c >> 16);
        }
    }
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(reinterpret_cast<const char*>(rows.data()), std::streamsize(rows.size()));
    return out.good();
}

}  // namespace vellomar::testing
