#include "picture/PictureView.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>

#include "picture/Codecs.h"
#include "picture/Transforms.h"
#include "platform/FileSystem.h"
#include "platform/VellomarError.h"

namespace vellomar {

namespace {

// Runs an operation, turning a failed allocation into the system's error.
template <typename Operation>
auto Guarded(const char* what, Operation operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        throw EVellomarError(std::string("Not enough memory to ") + what);
    }
}

// "%.2f" with '.' whatever the process locale says.
std::string FixedTwoDecimals(double value) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc()) return "0.00";
    return std::string(text, result.ptr);
}

std::string Formatted(const char* pattern, int a, int b, int c = 0, int d = 0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

}  // namespace

TPictureView::TPictureView() : FBitmap(std::make_unique<TBitmap>()) {}

// --- the picture -------------------------------------------------------

void TPictureView::DropBitmapObject() {
    FBitmap.reset();
    FHasSelection = false;
    ClampScroll();
    Repaint();
}

TBitmap& TPictureView::Bitmap() {
    if (!FBitmap) throw EVellomarError("The picture view holds no picture");
    return *FBitmap;
}

const TBitmap& TPictureView::Bitmap() const {
    if (!FBitmap) throw EVellomarError("The picture view holds no picture");
    return *FBitmap;
}

int TPictureView::PictureWidth() const { return FBitmap ? FBitmap->Width() : 0; }
int TPictureView::PictureHeight() const { return FBitmap ? FBitmap->Height() : 0; }

void TPictureView::AssignBitmap(TBitmap&& bitmap) { CheckedReplace(std::move(bitmap)); }

void TPictureView::CheckedReplace(TBitmap&& result) {
    if (!FBitmap) FBitmap = Guarded("hold the picture", [] { return std::make_unique<TBitmap>(); });
    FBitmap->Swap(result);
    if (FHasSelection) Select(FSelection);
    ClampScroll();
    Repaint();
}

// --- file I/O ----------------------------------------------------------

void TPictureView::LoadFromFile(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    TBitmap picture;
    try {
        picture = DecodePicture(bytes, FormatFromExtension(LowerExtension(path)));
    } catch (const EVellomarError& e) {
        throw EVellomarError("Cannot load \"" + path + "\": " + e.what());
    }
    CheckedReplace(std::move(picture));
}

void TPictureView::LoadFromMemory(const std::vector<uint8_t>& bytes) {
    TBitmap picture = DecodePicture(bytes, TPictureFormat::Unknown);
    CheckedReplace(std::move(picture));
}

void TPictureView::SaveToFile(const std::string& path) {
    const std::string extension = LowerExtension(path);
    const TPictureFormat format = FormatFromExtension(extension);
    if (format == TPictureFormat::Unknown)
        throw EVellomarError("Cannot save \"" + path + "\": no picture format for extension \"" +
                             extension + "\"");
    TIOParams written;
    std::vector<uint8_t> bytes;
    try {
        bytes = EncodePicture(Bitmap(), format, written);
    } catch (const EVellomarError& e) {
        throw EVellomarError("Cannot save \"" + path + "\": " + e.what());
    }
    WriteFileAtomically(path, bytes);
    FBitmap->IOParams() = written;
}

// --- view geometry -----------------------------------------------------

namespace {

// The usable part of the view between its frames, in screen pixels.
int ClientExtent(int viewExtent, int border) { return std::max(0, viewExtent - 2 * border); }

// The shown picture's extent in screen pixels (truncated, bounded so that
// absurd zooms stay within int).
double ShownExtent(int pictureExtent, double zoom) {
    return std::min(std::floor(pictureExtent * zoom / 100.0), 1.0e9);
}

int MaxScroll(int pictureExtent, double zoom, int client) {
    return int(std::max(0.0, ShownExtent(pictureExtent, zoom) - client));
}

}  // namespace

void TPictureView::SetViewSize(int width, int height) {
    FViewWidth = std::max(0, width);
    FViewHeight = std::max(0, height);
    ClampScroll();
    Repaint();
}

void TPictureView::SetZoom(double z) {
    if (!(z > 0) || !std::isfinite(z)) return;
    if (z == FZoomX && z == FZoomY) return;
    const int clientW = ClientExtent(FViewWidth, FBorderWidth);
    const int clientH = ClientExtent(FViewHeight, FBorderWidth);
    // The picture point now at the centre of the client area ...
    const double centreX = (clientW / 2.0 - (OffsetX() - FBorderWidth)) * 100.0 / FZoomX;
    const double centreY = (clientH / 2.0 - (OffsetY() - FBorderWidth)) * 100.0 / FZoomY;
    FZoomX = FZoomY = z;
    // ... stays there as far as the scroll range allows.
    const double maxX = MaxScroll(PictureWidth(), z, clientW);
    const double maxY = MaxScroll(PictureHeight(), z, clientH);
    FViewX = int(std::clamp(std::round(centreX * z / 100.0 - clientW / 2.0), 0.0, maxX));
    FViewY = int(std::clamp(std::round(centreY * z / 100.0 - clientH / 2.0), 0.0, maxY));
    Repaint();
}

void TPictureView::Fit() {
    if (PictureWidth() == 0 || PictureHeight() == 0) return;
    // A fitted picture needs no scroll bars.
    FViewX = FViewY = 0;
    const double zx = (FViewWidth - 2 * FBorderWidth) / (PictureWidth() / 100.0);
    const double zy = (FViewHeight - 2 * FBorderWidth) / (PictureHeight() / 100.0);
    SetZoom(std::min(zx, zy));
    ClampScroll();
    Repaint();
}

void TPictureView::SetViewXY(int x, int y) {
    FViewX = x;
    FViewY = y;
    ClampScroll();
    Repaint();
}

void TPictureView::ClampScroll() {
    const int clientW = ClientExtent(FViewWidth, FBorderWidth);
    const int clientH = ClientExtent(FViewHeight, FBorderWidth);
    FViewX = std::clamp(FViewX, 0, MaxScroll(PictureWidth(), FZoomX, clientW));
    FViewY = std::clamp(FViewY, 0, MaxScroll(PictureHeight(), FZoomY, clientH));
}

int TPictureView::OffsetX() const {
    const int client = ClientExtent(FViewWidth, FBorderWidth);
    const double shown = ShownExtent(PictureWidth(), FZoomX);
    if (shown < client) return FBorderWidth + int(client - shown) / 2;
    return FBorderWidth - FViewX;
}

int TPictureView::OffsetY() const {
    const int client = ClientExtent(FViewHeight, FBorderWidth);
    const double shown = ShownExtent(PictureHeight(), FZoomY);
    if (shown < client) return FBorderWidth + int(client - shown) / 2;
    return FBorderWidth - FViewY;
}

int TPictureView::XScr2Bmp(int x) const { return int(std::floor((x - OffsetX()) * 100.0 / FZoomX)); }
int TPictureView::YScr2Bmp(int y) const { return int(std::floor((y - OffsetY()) * 100.0 / FZoomY)); }
int TPictureView::XBmp2Scr(int x) const { return OffsetX() + int(std::floor(x * FZoomX / 100.0)); }
int TPictureView::YBmp2Scr(int y) const { return OffsetY() + int(std::floor(y * FZoomY / 100.0)); }

// --- selection ---------------------------------------------------------

void TPictureView::Select(const TRect& r) {
    const int64_t x0 = std::max<int64_t>(r.X, 0), y0 = std::max<int64_t>(r.Y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t(r.X) + r.Width, PictureWidth());
    const int64_t y1 = std::min<int64_t>(int64_t(r.Y) + r.Height, PictureHeight());
    FHasSelection = x1 > x0 && y1 > y0;
    FSelection = FHasSelection ? TRect{int(x0), int(y0), int(x1 - x0), int(y1 - y0)} : TRect{};
    Repaint();
}

void TPictureView::DeSelect() {
    FHasSelection = false;
    FSelection = TRect{};
    Repaint();
}

TRect TPictureView::SelectedRect() const {
    return FHasSelection ? FSelection : TRect{0, 0, PictureWidth(), PictureHeight()};
}

// --- interaction -------------------------------------------------------

void TPictureView::SetMouseInteract(TMouseInteractSet s) {
    FMouseInteract = s;
    if (!s.Empty()) FMouseInteractVt = TMouseInteractVtSet{};
}

void TPictureView::SetMouseInteractVt(TMouseInteractVtSet s) {
    FMouseInteractVt = s;
    if (!s.Empty()) FMouseInteract = TMouseInteractSet{};
}

// --- picture operations --------------------------------------------------
// Each builds its result first, then takes the undo snapshot and swaps the
// result in: a failure on the way leaves picture and undo list as they were.

void TPictureView::Rotate(double angle) {
    if (angle == 0 || !std::isfinite(angle) || !FBitmap) return;
    const double turn = std::fmod(angle, 360.0);  // exact
    TBitmap result = Guarded("rotate the picture", [&] {
        if (std::fmod(turn, 90.0) == 0) return RotateQuarterTurns(*FBitmap, int(turn / 90.0));
        return RotateBilinear(*FBitmap, turn, FBackground);
    });
    SaveUndo("Rotate " + FixedTwoDecimals(angle));
    CheckedReplace(std::move(result));
}

void TPictureView::Crop(int x1, int y1, int x2, int y2) {
    const int width = PictureWidth(), height = PictureHeight();
    if (width == 0 || height == 0) return;
    // Corners outside the picture are pulled onto its edge; what is then
    // left empty (crossed corners) crops nothing.
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width - 1);
    y2 = std::min(y2, height - 1);
    if (x1 > x2 || y1 > y2) return;
    if (x1 == 0 && y1 == 0 && x2 == width - 1 && y2 == height - 1) return;
    TBitmap result = Guarded("crop the picture", [&] {
        return CopyRegion(*FBitmap, x1, y1, x2 - x1 + 1, y2 - y1 + 1, FBackground);
    });
    SaveUndo(Formatted("Crop %d, %d, %d, %d", x1, y1, x2, y2));
    CheckedReplace(std::move(result));
}

void TPictureView::ImageResize(int w, int h) {
    if (w <= 0 || h <= 0 || !FBitmap) return;
    const int width = PictureWidth(), height = PictureHeight();
    if (w == width && h == height) return;
    TBitmap result = Guarded("resize the canvas", [&] {
        return CopyRegion(*FBitmap, (width - w) / 2, (height - h) / 2, w, h, FBackground);
    });
    SaveUndo(Formatted("ImageResize %d, %d", w, h));
    CheckedReplace(std::move(result));
}

void TPictureView::Blank() {
    if (!FBitmap) return;
    TBitmap result = Guarded("blank the picture", [&] {
        return SolidPicture(PictureWidth(), PictureHeight(), FBackground);
    });
    result.IOParams() = FBitmap->IOParams();
    CheckedReplace(std::move(result));
}

// --- undo --------------------------------------------------------------

void TPictureView::SaveUndo(const std::string& caption) {
    if (FBitmap) FUndo.Push(*FBitmap, caption);
}

void TPictureView::Undo() {
    if (FUndo.Empty()) return;
    TBitmap restored = FUndo.Newest();
    if (FBitmap) FRedo.Push(*FBitmap, FUndo.NewestCaption());
    CheckedReplace(std::move(restored));
    FUndo.RemoveNewest();
}

void TPictureView::UndoAtNoRemove() {
    if (FUndo.Empty()) return;
    CheckedReplace(FUndo.Newest());
}

// --- annotation objects ------------------------------------------------

void TPictureView::RemoveAllObjects() {
    FObjects.RemoveAll();
    Repaint();
}

}  // namespace vellomar
