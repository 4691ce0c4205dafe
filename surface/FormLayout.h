#pragma once
// Which parts of the control's toolbar strip are shown. The host shows or
// hides the picture-edit group and the annotation group by command; the
// separator shows only between two visible groups and the top strip only
// while a group is visible.
#include <string>
#include <vector>

namespace vellomar {

struct TToolButtonState {
    std::string Name;
    bool Visible = false;
};

class TFormLayout {
public:
    TFormLayout();

    void ShowEditBar(bool show);
    void ShowMarkBar(bool show);
    // Target of the controller's toolbar callback: kind 1 the edit group,
    // kind 2 the annotation group, anything else ignored.
    void ToolbarRequest(int kind, bool show);

    bool FEditBarVisible = false;
    bool FMarkBarVisible = false;
    bool TopPanelVisible() const { return FTopPanelVisible; }
    bool SeparatorVisible() const { return FSeparatorVisible; }
    bool ColorBarVisible() const { return FColorBarVisible; }
    // All buttons in toolbar order, the separator btn_2 among them.
    const std::vector<TToolButtonState>& Buttons() const { return FButtons; }
    bool IsVisible(const std::string& buttonName) const;

private:
    void SetGroup(const char* const* names, size_t count, bool show);
    void UpdateStrip();

    std::vector<TToolButtonState> FButtons;
    bool FTopPanelVisible = false;
    bool FSeparatorVisible = false;
    bool FColorBarVisible = false;
};

}  // namespace vellomar
