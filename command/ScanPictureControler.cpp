#include "command/ScanPictureControler.h"

#include "command/AutoCrop.h"
#include "command/Deskew.h"
#include "command/RotateAndCrop.h"
#include "ftp/FtpUtil.h"
#include "platform/FileSystem.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

template <void (TScanPictureControler::*Operation)()>
void Run(TControlerBase& controler) {
    (static_cast<TScanPictureControler&>(controler).*Operation)();
}

using C = TScanPictureControler;

// The published commands in their order of declaration.
const TCommandEntry kCommandTable[] = {
    {"SetShowError", Run<&C::SetShowError>},     {"SetDocumentSize", Run<&C::SetDocumentSize>},
    {"EditPicture", Run<&C::EditPicture>},       {"MarkPicture", Run<&C::MarkPicture>},
    {"SetFtpParam", Run<&C::SetFtpParam>},       {"Undo", Run<&C::Undo>},
    {"Redo", Run<&C::Redo>},                     {"LoadPicture", Run<&C::LoadPicture>},
    {"SavePicture", Run<&C::SavePicture>},       {"DeletePicture", Run<&C::DeletePicture>},
    {"ZoomIn", Run<&C::ZoomIn>},                 {"ZoomOut", Run<&C::ZoomOut>},
    {"RotateLeft", Run<&C::RotateLeft>},         {"RotateRight", Run<&C::RotateRight>},
    {"Restore", Run<&C::Restore>},               {"Preview", Run<&C::Preview>},
    {"Print", Run<&C::Print>},                   {"Select", Run<&C::Select>},
    {"ScrollImage", Run<&C::ScrollImage>},       {"FitImage", Run<&C::FitImage>},
    {"AutoStretch", Run<&C::AutoStretch>},       {"ImageCut", Run<&C::ImageCut>},
    {"AutoCrop", Run<&C::AutoCrop>},             {"Eraser", Run<&C::Eraser>},
    {"Correction", Run<&C::Correction>},         {"CorrectionDone", Run<&C::CorrectionDone>},
    {"Clear", Run<&C::Clear>},                   {"SetForeColor", Run<&C::SetForeColor>},
    {"SetLineFormat", Run<&C::SetLineFormat>},   {"DrawLine", Run<&C::DrawLine>},
    {"SetMarkFont", Run<&C::SetMarkFont>},       {"MarkText", Run<&C::MarkText>},
    {"SelectArea", Run<&C::SelectArea>},         {"ClearMark", Run<&C::ClearMark>},
};

enum TFileMode : int32_t { fmLocal = 0, fmFtp = 1, fmUrl = 2 };

constexpr long double kZoomStep = 1.1L;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Whether a relative path stays inside the folder it is put under: its ".."
// segments never climb above the start.
bool StaysInside(const std::string& relative) {
    int depth = 0;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = start;
        while (end < relative.size() && !IsSeparator(relative[end])) ++end;
        const std::string segment = relative.substr(start, end - start);
        if (segment == "..") {
            if (--depth < 0) return false;
        } else if (!segment.empty() && segment != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

bool IsFetchableUrl(const std::string& text) {
    auto startsWith = [&](const char* scheme) {
        const std::string s(scheme);
        if (text.size() <= s.size()) return false;
        for (size_t i = 0; i < s.size(); ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            if (c != s[i]) return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://") || startsWith("ftp://");
}

}  // namespace

std::string PictureDirFor(const std::string& moduleFileName) {
    const size_t last = moduleFileName.find_last_of("\\/:");
    const std::string folder = last == std::string::npos ? std::string() : moduleFileName.substr(0, last + 1);
    return folder + "Pictures";
}

TScanPictureControler::TScanPictureControler(TPictureView& view, const TPlatformServices& services)
    : TControlerBase(kCommandTable, std::size(kCommandTable), services.MessageBox),
      FView(view),
      FServices(services) {
    FPictureDir = PictureDirFor(services.Module ? services.Module->ModuleFileName() : std::string());
    FEraseColor = 0x00FFFFFF;
    const int dpi = services.Module ? services.Module->ScreenDpiX() : 96;
    FProcessor = std::make_unique<TPictureProcessor>(view.ViewWidth(), view.ViewHeight(),
                                                     TFixedDpiDevice(dpi));
}

TScanPictureControler::~TScanPictureControler() = default;

TFtpUtiler& TScanPictureControler::Ftp() { return FFtp ? *FFtp : GetFtpUtiler(); }

TPictureProcessor& TScanPictureControler::GetProcessor() {
    if (!FProcessor) {
        ShowPrompt("请先加载图片！");
        throw EAbort();
    }
    return *FProcessor;
}

// --- tool modes -------------------------------------------------------------

void TScanPictureControler::SetToolMode(uint8_t mode) {
    if (!FView.HasBitmapObject()) return;
    FView.Objects().Template().Highlight = false;
    FView.SetMouseInteract({});
    FView.SetMouseInteractVt({});
    FView.DeSelect();
    FToolMode = mode;
    FView.SetCursor(static_cast<int8_t>(mode));
    switch (mode) {
        case tmDrawLine: FView.SetMouseInteractVt({TMouseInteractVt::miPutPolyLine}); break;
        case tmDrawBox: FView.SetMouseInteractVt({TMouseInteractVt::miPutBox}); break;
        case tmMarkText: FView.SetMouseInteractVt({TMouseInteractVt::miPutMemo}); break;
        case tmScroll: FView.SetMouseInteract({TMouseInteract::miScroll}); break;
        case tmSelect: FView.SetMouseInteract({TMouseInteract::miSelect}); break;
        default: break;
    }
}

void TScanPictureControler::Select() { FView.SetMouseInteract({TMouseInteract::miSelect}); }

void TScanPictureControler::ScrollImage() {
    FView.DeSelect();
    FView.SetMouseInteract({TMouseInteract::miScroll});
}

// --- switches ---------------------------------------------------------------

void TScanPictureControler::SetShowError() {
    CheckParamCount(1);
    FShowError = GetParam(0) == "1";
}

void TScanPictureControler::EditPicture() {
    if (!FOnToolbar) return;
    FOnToolbar(1, GetParam(0) == "1");
}

void TScanPictureControler::MarkPicture() {
    if (!FOnToolbar) return;
    FOnToolbar(2, GetParam(0) == "1");
}

void TScanPictureControler::SetMarkFont() {
    if (FServices.FontDialog) FServices.FontDialog->ShowDefault();
}

void TScanPictureControler::SetDocumentSize() {
    const int32_t height = ReadInteger(GetParam(1), -1);
    const int32_t width = ReadInteger(GetParam(0), -1);
    GetProcessor().SetDocSize(width, height);
}

// --- view -------------------------------------------------------------------

void TScanPictureControler::ZoomIn() { FView.SetZoom(double(FView.ZoomX() * kZoomStep)); }
void TScanPictureControler::ZoomOut() { FView.SetZoom(double(FView.ZoomX() / kZoomStep)); }
void TScanPictureControler::AutoStretch() { FView.SetZoom(100); }
void TScanPictureControler::FitImage() { FView.Fit(); }
void TScanPictureControler::Restore() { FView.Fit(); }

// --- edits ------------------------------------------------------------------

void TScanPictureControler::RotateLeft() { FView.Rotate(90); }
void TScanPictureControler::RotateRight() { FView.Rotate(270); }
void TScanPictureControler::Undo() { FView.Undo(); }

void TScanPictureControler::ImageCut() {
    const TRect r = FView.SelectedRect();
    FView.Crop(r.X, r.Y, r.X + r.Width - 1, r.Y + r.Height - 1);
    FView.DeSelect();
}

void TScanPictureControler::AutoCrop() {
    const TCropBounds b = FindAutoCropBounds(FView.Bitmap());
    // Bounds that cross (an all-black page) name no content: leave it be.
    if (b.Cross()) return;
    FView.Crop(b.Left, b.Top, b.Right, b.Bottom);
}

void TScanPictureControler::Correction() {
    if (FOnProgress) FOnProgress(*this, 0);
    const double angle = FindSkewAngle(FView.Bitmap());
    RotateAndCrop(angle);
    if (FOnProgress) FOnProgress(*this, 1);
}

void TScanPictureControler::RotateAndCrop(double angle) {
    FView.SaveUndo("RotateAndCrop");
    const int width = FView.PictureWidth();
    const int height = FView.PictureHeight();
    FView.Rotate(angle);
    int innerWidth = 0, innerHeight = 0;
    if (FindInscribedRectangle(width, height, angle, innerWidth, innerHeight)) {
        FView.ImageResize(innerWidth, innerHeight);
    }
}

// --- printing ---------------------------------------------------------------

void TScanPictureControler::Print() {
    // The picture is put back as it was whatever the dialog does; a private
    // copy covers pictures too small for an undo snapshot.
    FView.SaveUndo();
    TBitmap before = FView.Bitmap();
    try {
        if (FServices.PrintPreview) FServices.PrintPreview->Show(FView);
    } catch (...) {
        FView.AssignBitmap(std::move(before));
        throw;
    }
    FView.AssignBitmap(std::move(before));
}

// --- files ------------------------------------------------------------------

std::string TScanPictureControler::LocalCopyPath(const std::string& remotePath) const {
    if (!StaysInside(remotePath)) {
        throw EVellomarError("The remote path '" + remotePath + "' leads outside the picture folder");
    }
    const std::string rooted = (!remotePath.empty() && remotePath[0] == '\\') ? remotePath : "\\" + remotePath;
    return FPictureDir + rooted;
}

TScanPictureControler::TFileTarget TScanPictureControler::CheckedFileTarget() {
    CheckParamCount(2);
    CheckParamsNotEmpty(1, -1);
    return {ReadInteger(GetParam(0), fmLocal), GetParam(1)};
}

void TScanPictureControler::LoadPicture() {
    const auto [mode, target] = CheckedFileTarget();

    if (mode == fmUrl) {
        LoadFromUrl(target);
    } else {
        std::string path = target;
        if (mode == fmFtp) {
            path = LocalCopyPath(target);
            CheckError(!Ftp().Download(path, target), ErrorCodes::kDownloadFailed,
                       ErrorMessages::kDownloadFailed);
        }
        CheckFileExists(path);
        FView.LoadFromFile(path);
    }

    FView.ClearUndo();
    FView.ClearRedo();
    FView.RemoveAllObjects();
    FitImage();
    SetToolMode(tmScroll);
}

void TScanPictureControler::LoadFromUrl(const std::string& url) {
    if (!IsFetchableUrl(url)) throw EVellomarError("Not an http, https or ftp URL: '" + url + "'");
    std::vector<uint8_t> body;
    if (!FServices.UrlFetcher || !FServices.UrlFetcher->Fetch(url, body)) {
        throw EVellomarError("Cannot fetch the picture at '" + url + "'");
    }
    FView.LoadFromMemory(body);
}

void TScanPictureControler::SavePicture() {
    const auto [mode, target] = CheckedFileTarget();
    const bool toFtp = mode == fmFtp;
    const std::string path = toFtp ? LocalCopyPath(target) : target;

    ForceDirectories(ExtractFileDir(path));
    FView.SaveToFile(path);
    if (toFtp) {
        CheckError(!Ftp().Upload(path, target), ErrorCodes::kUploadFailed, ErrorMessages::kUploadFailed);
    }
}

void TScanPictureControler::DeletePicture() {
    const auto [mode, target] = CheckedFileTarget();
    if (mode == fmLocal) {
        CheckError(!RemoveFile(target), ErrorCodes::kDeleteFailed, ErrorMessages::kDeleteFailed);
    } else if (mode == fmFtp) {
        CheckError(!Ftp().DeleteRemoteFile(target), ErrorCodes::kDeleteFailed,
                   ErrorMessages::kDeleteFailed);
    }
    FView.Blank();
}

void TScanPictureControler::Clear() {
    FView.Blank();
    ClearMark();
}

void TScanPictureControler::ClearMark() { FView.RemoveAllObjects(); }

void TScanPictureControler::SetFtpParam() {
    CheckParamCount(4);
    CheckParamsNotEmpty(0, 2);
    Ftp().SetParams(GetParam(0), GetParam(1), GetParam(2), GetParam(3));
}

}  // namespace vellomar
