#pragma once
// The controller of the scan picture control: every host command is one
// published operation, found by name through the command table.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "command/ControlerBase.h"
#include "command/PictureProcessor.h"
#include "picture/PictureView.h"
#include "platform/Services.h"

namespace vellomar {

// Tool modes: the code read as a signed byte is also the view's cursor id.
enum : uint8_t {
    tmNone = 0,
    tmEraser = 1,
    tmDrawLine = 2,
    tmDrawBox = 3,
    tmMarkText = 4,
    tmScroll = 234,
    tmSelect = 253,
};

class TFtpUtiler;

class TScanPictureControler : public TControlerBase {
public:
    TScanPictureControler(TPictureView& view, const TPlatformServices& services);
    ~TScanPictureControler() override;

    // Switches the interaction tool mode (not a host command).
    void SetToolMode(uint8_t mode);
    TPictureProcessor& GetProcessor();

    // The published commands, in their order of declaration.
    void SetShowError();
    void SetDocumentSize();
    void EditPicture();
    void MarkPicture();
    void SetFtpParam();
    void Undo();
    void Redo() {}
    void LoadPicture();
    void SavePicture();
    void DeletePicture();
    void ZoomIn();
    void ZoomOut();
    void RotateLeft();
    void RotateRight();
    void Restore();
    void Preview() {}
    void Print();
    void Select();
    void ScrollImage();
    void FitImage();
    void AutoStretch();
    void ImageCut();
    void AutoCrop();
    void Eraser() {}
    void Correction();
    void CorrectionDone() {}
    void Clear();
    void SetForeColor() {}
    void SetLineFormat() {}
    void DrawLine() {}
    void SetMarkFont();
    void MarkText() {}
    void SelectArea() {}
    void ClearMark();

    TPictureView& FView;
    std::unique_ptr<TPictureProcessor> FProcessor;
    std::function<void(int32_t kind, bool show)> FOnToolbar;
    std::function<void(TScanPictureControler& sender, int32_t phase)> FOnProgress;
    uint8_t FToolMode = tmNone;
    TColor FEraseColor = 0x00FFFFFF;
    std::string FPictureDir;
    bool FShowError = false;

    // Seam for the FTP client; the process-wide one unless a test sets it.
    TFtpUtiler* FFtp = nullptr;

private:
    // The mode (P0, default local) and path (P1) of a file command, checked.
    struct TFileTarget {
        int32_t Mode;
        std::string Path;
    };
    TFileTarget CheckedFileTarget();
    // The local copy of an FTP picture under the picture folder; raises when
    // the remote path would climb out of it.
    std::string LocalCopyPath(const std::string& remotePath) const;
    void LoadFromUrl(const std::string& url);
    // Rotates by the angle and cuts the largest upright rectangle out of the
    // rotated picture: three undo entries at most.
    void RotateAndCrop(double angle);
    TFtpUtiler& Ftp();

    TPlatformServices FServices;
};

// The local picture folder for a module file name: its folder part with the
// trailing separator, followed by "Pictures".
std::string PictureDirFor(const std::string& moduleFileName);

}  // namespace vellomar
