#include "command/PictureProcessor.h"

namespace vellomar {

int32_t TPictureProcUtil::MMToPixels(const IDeviceContext& dc, int32_t mm) {
    const long double inches = static_cast<long double>(mm) / 25.4L;
    return static_cast<int32_t>(static_cast<long double>(dc.LogPixelsX()) * inches);
}

TPictureProcessor::TPictureProcessor(int32_t width, int32_t height, const IDeviceContext& dc)
    : FBitmapWidth(width), FBitmapHeight(height), FDpiX(dc.LogPixelsX()) {
    SetDocSize(210, 297);  // an A4 sheet
}

void TPictureProcessor::SetDocSize(int32_t widthMM, int32_t heightMM) {
    const TFixedDpiDevice device(FDpiX);
    FDocWidth = TPictureProcUtil::MMToPixels(device, widthMM);
    FDocHeight = TPictureProcUtil::MMToPixels(device, heightMM);
}

}  // namespace vellomar
