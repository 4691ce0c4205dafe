#pragma once
// The control object's portable core: the form state of TVellomarX, its one
// command entry, the undo indicator and the creation sequence. The COM layer
// (control/win32) wraps it; the Win32 surface presents it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "command/ScanPictureControler.h"
#include "picture/PictureView.h"
#include "platform/Services.h"
#include "surface/FormLayout.h"

namespace vellomar {

// An action of the form's action list; only its state is modelled.
struct TAction {
    std::string Name;
    std::string Caption;
    bool Enabled = true;
};

// The font of the form, as the automation layer passes it through.
struct TFormFont {
    std::string Name = "Tahoma";
    int Height = -11;         // negative: character height in pixels
    int Size = 8;             // points
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    int Charset = 1;          // DEFAULT_CHARSET
};

constexpr TColor clCream = 0xF0FBFF;

// The twenty form properties that the automation interface passes through.
struct TFormProperties {
    bool Visible = true;
    bool AutoScroll = false;
    bool AutoSize = false;
    int32_t AxBorderStyle = 1;  // afbSingle
    std::string Caption = "VellomarX";
    TColor Color = clCream;
    TFormFont Font;
    bool KeyPreview = false;
    int32_t PixelsPerInch = 96;
    int32_t PrintScale = 1;     // poProportional
    bool Scaled = true;
    bool Active = false;
    bool DropTarget = false;
    std::string HelpFile;
    bool ScreenSnap = false;
    int32_t SnapBuffer = 10;
    bool DoubleBuffered = false;
    bool AlignDisabled = false;
    int32_t VisibleDockClientCount = 0;
    bool Enabled = true;
};

class TVellomarX {
public:
    explicit TVellomarX(const TPlatformServices& services);
    ~TVellomarX();
    TVellomarX(const TVellomarX&) = delete;
    TVellomarX& operator=(const TVellomarX&) = delete;

    // The creation handler, run once after the form is built.
    void ActiveFormCreate();
    // The destruction handler: frees the controller.
    void ActiveFormDestroy();

    // Runs a command by name. Answers whether it ended without an error; an
    // error of the system's type is caught (and shown when error display is
    // on); any other exception passes to the caller.
    bool Command(const std::string& cmdName, const std::string& cmdParam);
    int32_t ErrCode() const;
    std::string ErrInfo() const;

    // Keeps act_Undo in step with the view's undo list.
    void UpdateUndoState();

    TScanPictureControler* Controler() { return FControler.get(); }
    TPictureView imgEn_view;
    TAction act_Undo{"act_Undo", "act_Undo", true};
    TFormLayout Layout;
    TFormProperties Properties;

    int32_t FLineWidth = 0;
    int32_t FEraserRadius = 0;

private:
    void RegisterToolCursors();
    void DoProgress(TScanPictureControler&, int) {}

    TPlatformServices FServices;
    std::unique_ptr<TScanPictureControler> FControler;
};

}  // namespace vellomar
