#pragma once
// Small interfaces for what the operating system gives the portable core.
// Win32 implementations live in platform/win32; tests use recording fakes.
#include <cstdint>
#include <string>
#include <vector>

namespace vellomar {

// A modal message box with one OK button, owned by the calling thread's
// active window (no owner when none is active).
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void Show(const std::string& text, const std::string& caption) = 0;
};

// The standard font dialog, shown modally with no owner and its default
// font; the choice is not reported.
class IFontDialog {
public:
    virtual ~IFontDialog() = default;
    virtual void ShowDefault() = 0;
};

// The process-wide table of cursors indexed by cursor id.
class ICursorTable {
public:
    virtual ~ICursorTable() = default;
    // Loads the named cursor resource from the control's own module and stores
    // it under the id, replacing what the id held; a cursor that cannot be
    // loaded leaves the id without an entry.
    virtual void RegisterFromModule(int id, const std::string& resourceName) = 0;
};

// Facts about the running module and display.
class IModuleInfo {
public:
    virtual ~IModuleInfo() = default;
    // Full file name of the library module that contains the control (UTF-8).
    virtual std::string ModuleFileName() const = 0;
    // Horizontal resolution of the screen in pixels per logical inch.
    virtual int ScreenDpiX() const = 0;
};

// Fetches an http, https or ftp URL synchronously.
class IUrlFetcher {
public:
    virtual ~IUrlFetcher() = default;
    // True with the body in 'body' when the resource was fetched; false for
    // any failure (bad URL, network, HTTP status other than 200).
    virtual bool Fetch(const std::string& url, std::vector<uint8_t>& body) = 0;
};

class TPictureView;

// The modal print-preview dialog for the view's picture, with an empty print
// job title; whether anything was printed is not reported.
class IPrintPreview {
public:
    virtual ~IPrintPreview() = default;
    virtual void Show(TPictureView& view) = 0;
};

// The services one control instance uses; none is owned.
struct TPlatformServices {
    IMessageBox* MessageBox = nullptr;
    IFontDialog* FontDialog = nullptr;
    ICursorTable* Cursors = nullptr;
    IModuleInfo* Module = nullptr;
    IUrlFetcher* UrlFetcher = nullptr;
    IPrintPreview* PrintPreview = nullptr;
};

}  // namespace vellomar
