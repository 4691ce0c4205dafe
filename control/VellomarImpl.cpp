#include "control/VellomarImpl.h"

#include "platform/VellomarError.h"

namespace vellomar {

namespace {

constexpr int kUndoLimit = 99;
constexpr int32_t kInitialEraserRadius = 5;
constexpr char kUndoCaption[] = "撤销";
constexpr char kErrorPrefix[] = "错误: ";

// The four tool cursors of the control's own, by cursor id.
struct TToolCursor {
    int Id;
    const char* ResourceName;
};
constexpr TToolCursor kToolCursors[] = {
    {1, "Eraser"}, {2, "DRAWLINE"}, {3, "DRAWBOX"}, {4, "DRAWTEXT"},
};

}  // namespace

TVellomarX::TVellomarX(const TPlatformServices& services) : FServices(services) {}

TVellomarX::~TVellomarX() { ActiveFormDestroy(); }

void TVellomarX::RegisterToolCursors() {
    if (!FServices.Cursors) return;
    for (const TToolCursor& cursor : kToolCursors) {
        FServices.Cursors->RegisterFromModule(cursor.Id, cursor.ResourceName);
    }
}

void TVellomarX::ActiveFormCreate() {
    RegisterToolCursors();
    Properties.DoubleBuffered = true;
    imgEn_view.Undos().SetLimit(kUndoLimit);
    FControler = std::make_unique<TScanPictureControler>(imgEn_view, FServices);
    FControler->FOnToolbar = [this](int32_t kind, bool show) { Layout.ToolbarRequest(kind, show); };
    FControler->FOnProgress = [this](TScanPictureControler& sender, int32_t phase) {
        DoProgress(sender, phase);
    };
    FControler->SetToolMode(tmNone);
    FEraserRadius = kInitialEraserRadius;
}

void TVellomarX::ActiveFormDestroy() { FControler.reset(); }

bool TVellomarX::Command(const std::string& cmdName, const std::string& cmdParam) {
    bool retValue = false;
    if (!FControler) return retValue;
    try {
        FControler->FErrCode = 0;
        FControler->FErrInfo.clear();
        FControler->SetParamText(cmdParam);
        FControler->ExecCommand(cmdName);
        retValue = FControler->FErrCode == 0;
        UpdateUndoState();
    } catch (const EVellomarError& error) {
        if (FControler->FShowError && FServices.MessageBox) {
            FServices.MessageBox->Show(std::string(kErrorPrefix) + error.what(), std::string());
        }
    }
    return retValue;
}

int32_t TVellomarX::ErrCode() const { return FControler ? FControler->FErrCode : 0; }

std::string TVellomarX::ErrInfo() const { return FControler ? FControler->FErrInfo : std::string(); }

void TVellomarX::UpdateUndoState() {
    const bool can = !imgEn_view.Undos().Empty();
    act_Undo.Enabled = can;
    act_Undo.Caption = can ? std::string(kUndoCaption) + " " + imgEn_view.Undos().NewestCaption()
                           : std::string(kUndoCaption);
}

}  // namespace vellomar
