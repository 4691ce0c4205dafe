#pragma once
// The document size in pixels, at the resolution of the device of its
// off-screen bitmap (the screen's).
#include <cstdint>

namespace vellomar {

// The horizontal resolution of a drawing surface.
class IDeviceContext {
public:
    virtual ~IDeviceContext() = default;
    virtual int LogPixelsX() const = 0;
};

// A device whose resolution is known up front (the screen's, read once).
class TFixedDpiDevice : public IDeviceContext {
public:
    explicit TFixedDpiDevice(int dpi) : FDpi(dpi) {}
    int LogPixelsX() const override { return FDpi; }

private:
    int FDpi;
};

class TPictureProcUtil {
public:
    // Trunc(dpi × (mm / 25.4)) with mm / 25.4 first, toward zero.
    static int32_t MMToPixels(const IDeviceContext& dc, int32_t mm);
};

class TPictureProcessor {
public:
    // 'dc' is the device of the off-screen bitmap of width × height pixels.
    TPictureProcessor(int32_t width, int32_t height, const IDeviceContext& dc);
    void SetDocSize(int32_t widthMM, int32_t heightMM);

    int32_t FDocWidth = 0;
    int32_t FDocHeight = 0;
    int32_t BitmapWidth() const { return FBitmapWidth; }
    int32_t BitmapHeight() const { return FBitmapHeight; }

private:
    int32_t FBitmapWidth, FBitmapHeight;
    int FDpiX;
};

}  // namespace vellomar
