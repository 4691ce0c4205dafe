#include "surface/FormLayout.h"

#include <iterator>

namespace vellomar {

namespace {

const char* const kEditButtons[] = {
    "btn_NoneSelect", "btn_ScrollImage", "btn_Eraser", "btn_Select", "btn_ImageCut",
    "btn_Correction", "btn_FitImage", "btn_AutoStretch", "btn_Undo",
};
const char* const kMarkButtons[] = {
    "btn_NoneSelect1", "btn_DrawLine", "btn_DrawRect", "btn_MarkText",
    "btn_Font", "btn_Undo1", "btn_save",
};
constexpr char kSeparator[] = "btn_2";

}  // namespace

TFormLayout::TFormLayout() {
    for (const char* name : kEditButtons) FButtons.push_back({name, false});
    FButtons.push_back({kSeparator, false});
    for (const char* name : kMarkButtons) FButtons.push_back({name, false});
}

void TFormLayout::SetGroup(const char* const* names, size_t count, bool show) {
    for (size_t i = 0; i < count; ++i) {
        for (TToolButtonState& button : FButtons) {
            if (button.Name == names[i]) button.Visible = show;
        }
    }
}

void TFormLayout::UpdateStrip() {
    FSeparatorVisible = FEditBarVisible && FMarkBarVisible;
    for (TToolButtonState& button : FButtons) {
        if (button.Name == kSeparator) button.Visible = FSeparatorVisible;
    }
    FTopPanelVisible = FEditBarVisible || FMarkBarVisible;
}

void TFormLayout::ShowEditBar(bool show) {
    SetGroup(kEditButtons, std::size(kEditButtons), show);
    FEditBarVisible = show;
    UpdateStrip();
}

void TFormLayout::ShowMarkBar(bool show) {
    SetGroup(kMarkButtons, std::size(kMarkButtons), show);
    FColorBarVisible = show;
    FMarkBarVisible = show;
    UpdateStrip();
}

void TFormLayout::ToolbarRequest(int kind, bool show) {
    if (kind == 1) ShowEditBar(show);
    else if (kind == 2) ShowMarkBar(show);
}

bool TFormLayout::IsVisible(const std::string& buttonName) const {
    for (const TToolButtonState& button : FButtons) {
        if (button.Name == buttonName) return button.Visible;
    }
    return false;
}

}  // namespace vellomar
