#pragma once
// The annotation layer of the picture view: vector objects (polylines, boxes,
// text notes) above the picture, addressed by handle, with the list of
// selected objects and the new-object template (handle -1) from which every
// newly drawn object is copied.
#include <string>
#include <vector>

#include "picture/Bitmap.h"

namespace vellomar {

enum class TObjectKind : uint8_t { PolyLine, Box, Memo };
enum class TPenStyle : uint8_t { psSolid, psDash, psDot, psClear };
enum class TBrushStyle : uint8_t { bsSolid, bsClear };

struct TObjectFont {
    std::string Name = "Tahoma";
    int Size = 8;  // points
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    TColor Color = 0;
};

struct TPoint {
    int X = 0, Y = 0;
};

struct TVectorObject {
    TObjectKind Kind = TObjectKind::Box;
    TColor PenColor = 0x000000;   // the system window-text colour
    int PenWidth = 1;
    TPenStyle PenStyle = TPenStyle::psSolid;
    TColor BrushColor = 0xFFFFFF;
    TBrushStyle BrushStyle = TBrushStyle::bsClear;
    bool Highlight = false;
    TObjectFont Font;
    TBrushStyle MemoCharsBrushStyle = TBrushStyle::bsSolid;
    TPenStyle MemoBorderStyle = TPenStyle::psSolid;
    TColor MemoBorderColor = 0xFFFFFF;
    std::vector<TPoint> Points;  // picture pixels; a box or note: two corners
    std::string Text;
};

class TVectorObjects {
public:
    static constexpr int kTemplate = -1;

    TVectorObject& Template() { return FTemplate; }
    const TVectorObject& Template() const { return FTemplate; }

    // Adds a copy of the template of the given kind; returns its handle.
    int AddFromTemplate(TObjectKind kind, std::vector<TPoint> points);
    int Count() const { return int(FObjects.size()); }
    // The object with the handle, or the template for -1; nullptr if none.
    TVectorObject* Find(int handle);
    const std::vector<std::pair<int, TVectorObject>>& All() const { return FObjects; }

    void Remove(int handle);  // also drops it from the selection
    void RemoveAll();

    int SelectedCount() const { return int(FSelected.size()); }
    int SelectedHandle(int position) const { return FSelected.at(size_t(position)); }
    void SelectOnly(int handle);
    void UnselectAll() { FSelected.clear(); }

private:
    TVectorObject FTemplate;
    std::vector<std::pair<int, TVectorObject>> FObjects;  // handle, object
    std::vector<int> FSelected;
    int FNextHandle = 0;
};

}  // namespace vellomar
