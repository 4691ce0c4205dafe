#pragma once
// The model of the picture view: one picture with its alpha plane and file
// parameters, how it is shown (zoom, scroll, view size), the selection, the
// mouse interaction settings, the undo and redo lists and the annotation
// objects with their new-object template. Portable; a Win32 window presents
// it and turns window messages into calls on it.
//
// Units: picture coordinates in pixels; zoom in percent (100 = one picture
// pixel per screen pixel); angles in degrees, positive counter-clockwise.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "picture/Bitmap.h"
#include "picture/UndoList.h"
#include "picture/VectorObjects.h"

namespace vellomar {

// The picture interactions (MouseInteract).
enum class TMouseInteract : uint8_t { miScroll = 1, miSelect = 2 };
// The annotation interactions (MouseInteractVt).
enum class TMouseInteractVt : uint8_t {
    miPutPolyLine = 1, miPutBox = 2, miPutMemo = 4, miObjectSelect = 8
};

// A set of interaction items as a bit mask of the enumeration's values.
template <typename E>
class TInteractSet {
public:
    TInteractSet() = default;
    TInteractSet(std::initializer_list<E> items) { for (E e : items) FBits |= uint8_t(e); }
    bool Contains(E e) const { return (FBits & uint8_t(e)) != 0; }
    bool Empty() const { return FBits == 0; }
    uint8_t Bits() const { return FBits; }
    friend bool operator==(TInteractSet a, TInteractSet b) { return a.FBits == b.FBits; }
    friend bool operator!=(TInteractSet a, TInteractSet b) { return a.FBits != b.FBits; }

private:
    uint8_t FBits = 0;
};
using TMouseInteractSet = TInteractSet<TMouseInteract>;
using TMouseInteractVtSet = TInteractSet<TMouseInteractVt>;

struct TRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
    friend bool operator==(const TRect& a, const TRect& b) {
        return a.X == b.X && a.Y == b.Y && a.Width == b.Width && a.Height == b.Height;
    }
};

constexpr TColor kViewBackground = 0x00FFF2EB;  // red 235, green 242, blue 255

class TPictureView {
public:
    TPictureView();

    // --- the picture ---------------------------------------------------
    // Whether the view holds a picture bitmap object. A view always has one
    // (possibly 0 × 0) unless DropBitmapObject was called.
    bool HasBitmapObject() const { return FBitmap != nullptr; }
    void DropBitmapObject();
    TBitmap& Bitmap();
    const TBitmap& Bitmap() const;
    int PictureWidth() const;
    int PictureHeight() const;
    // Replaces the picture (the caller's bitmap is moved in) and repaints.
    void AssignBitmap(TBitmap&& bitmap);

    TColor Background() const { return FBackground; }
    void SetBackground(TColor c) { FBackground = c; Repaint(); }

    // --- file I/O (format by lower-cased extension; content sniffing when
    // the extension names none or its decoder rejects the file) ----------
    // Loads the file; on failure raises EVellomarError and leaves the
    // picture as it was. Paths are UTF-8.
    void LoadFromFile(const std::string& path);
    void LoadFromMemory(const std::vector<uint8_t>& bytes);
    // Saves through a temporary file in the target folder that replaces the
    // target only on success. Raises EVellomarError on failure (unknown
    // extension, encoder error, file not creatable).
    void SaveToFile(const std::string& path);

    // --- view geometry ---------------------------------------------------
    void SetViewSize(int width, int height);
    int ViewWidth() const { return FViewWidth; }
    int ViewHeight() const { return FViewHeight; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int w) { FBorderWidth = w; }
    double ZoomX() const { return FZoomX; }
    double ZoomY() const { return FZoomY; }
    double Zoom() const { return FZoomX; }
    // Ignores z <= 0 and a z equal to both zooms; otherwise sets both and
    // keeps the picture point at the centre of the view where it was, as far
    // as the scroll limits allow.
    void SetZoom(double z);
    // Fits the whole picture into the view (both zooms the smaller fit).
    void Fit();
    // Scroll offsets: the picture pixel (times zoom) at the view's top-left,
    // in screen pixels; clamped to 0 .. picture extent - view extent.
    int ViewX() const { return FViewX; }
    int ViewY() const { return FViewY; }
    void SetViewXY(int x, int y);
    // Screen position of the picture's top-left corner (the picture is
    // centred when smaller than the view).
    int OffsetX() const;
    int OffsetY() const;
    // View coordinates to picture coordinates (may lie outside the picture).
    int XScr2Bmp(int x) const;
    int YScr2Bmp(int y) const;
    int XBmp2Scr(int x) const;
    int YBmp2Scr(int y) const;

    // --- selection (picture pixels) -----------------------------------
    bool HasSelection() const { return FHasSelection; }
    void Select(const TRect& r);  // clipped to the picture
    void DeSelect();
    // The selection, or the whole picture when nothing is selected.
    TRect SelectedRect() const;

    // --- interaction ------------------------------------------------------
    TMouseInteractSet MouseInteract() const { return FMouseInteract; }
    TMouseInteractVtSet MouseInteractVt() const { return FMouseInteractVt; }
    // Non-empty MouseInteract empties MouseInteractVt's drawing and
    // object-selection items; such items in MouseInteractVt empty
    // MouseInteract.
    void SetMouseInteract(TMouseInteractSet s);
    void SetMouseInteractVt(TMouseInteractVtSet s);
    int Cursor() const { return FCursor; }
    void SetCursor(int id) { FCursor = id; }

    // --- picture operations (each snapshots into the undo list first with
    // the caption given) ------------------------------------------------
    // "Rotate %.2f"; 0 does nothing; multiples of 90 exact; others bilinear
    // with the background colour in the uncovered corners (a Bw1 picture
    // stays Bw1, a Palette8 one becomes Rgb24; see RotateBilinear).
    void Rotate(double angle);
    // "Crop %d, %d, %d, %d" with inclusive corners; the whole picture is a
    // no-op without a snapshot. Corners outside the picture are pulled onto
    // its edge (the caption shows the corners used); crossed corners crop
    // nothing.
    void Crop(int x1, int y1, int x2, int y2);
    // "ImageResize %d, %d": the w × h region around the centre; w or h of 0
    // or less, or the current size, does nothing.
    void ImageResize(int w, int h);
    // Every pixel the background colour exactly (the picture becomes Rgb24),
    // size kept, alpha dropped; no undo snapshot.
    void Blank();

    // --- undo ---------------------------------------------------------
    TUndoList& Undos() { return FUndo; }
    const TUndoList& Undos() const { return FUndo; }
    TUndoList& Redos() { return FRedo; }
    // Snapshot of the current picture (no-op under the undo rules).
    void SaveUndo(const std::string& caption = std::string());
    // Restores the newest undo snapshot (pushing the current picture onto the
    // redo list first) and removes it; nothing when the list is empty.
    void Undo();
    // Restores the newest snapshot without removing it.
    void UndoAtNoRemove();
    void ClearUndo() { FUndo.Clear(); }
    void ClearRedo() { FRedo.Clear(); }

    // --- annotation objects ---------------------------------------------
    TVectorObjects& Objects() { return FObjects; }
    const TVectorObjects& Objects() const { return FObjects; }
    void RemoveAllObjects();

    // Called whenever what the view shows changed; the window repaints.
    std::function<void()> OnRepaint;
    void Repaint() { if (OnRepaint) OnRepaint(); }

private:
    void ClampScroll();
    void CheckedReplace(TBitmap&& result);

    std::unique_ptr<TBitmap> FBitmap;
    TColor FBackground = kViewBackground;
    int FViewWidth = 0, FViewHeight = 0, FBorderWidth = 0;
    double FZoomX = 100, FZoomY = 100;
    int FViewX = 0, FViewY = 0;
    bool FHasSelection = false;
    TRect FSelection;
    TMouseInteractSet FMouseInteract;
    TMouseInteractVtSet FMouseInteractVt;
    int FCursor = 0;
    TUndoList FUndo;
    TUndoList FRedo;
    TVectorObjects FObjects;
};

}  // namespace vellomar
