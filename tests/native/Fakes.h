#pragma once
// Recording stand-ins for the platform services, for tests only.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Services.h"

namespace vellomar::testing {

class TRecordingMessageBox : public IMessageBox {
public:
    void Show(const std::string& text, const std::string& caption) override {
        Shown.emplace_back(text, caption);
    }
    std::vector<std::pair<std::string, std::string>> Shown;  // text, caption
};

class TRecordingFontDialog : public IFontDialog {
public:
    void ShowDefault() override {
        ++Shows;
        if (Raise) Raise();
    }
    int Shows = 0;
    std::function<void()> Raise;  // lets a test make the dialog fail
};

class TRecordingPrintPreview : public IPrintPreview {
public:
    void Show(TPictureView& view) override {
        ++Shows;
        if (Raise) Raise();
    }
    int Shows = 0;
    std::function<void()> Raise;
};

class TRecordingCursorTable : public ICursorTable {
public:
    void RegisterFromModule(int id, const std::string& name) override { Registered.emplace_back(id, name); }
    std::vector<std::pair<int, std::string>> Registered;
};

class TFixedModuleInfo : public IModuleInfo {
public:
    explicit TFixedModuleInfo(std::string fileName, int dpi = 96) : FFileName(std::move(fileName)), FDpi(dpi) {}
    std::string ModuleFileName() const override { return FFileName; }
    int ScreenDpiX() const override { return FDpi; }

private:
    std::string FFileName;
    int FDpi;
};

class TMapUrlFetcher : public IUrlFetcher {
public:
    bool Fetch(const std::string& url, std::vector<uint8_t>& body) override {
        Requested.push_back(url);
        auto it = Bodies.find(url);
        if (it == Bodies.end()) return false;
        body = it->second;
        return true;
    }
    std::map<std::string, std::vector<uint8_t>> Bodies;
    std::vector<std::string> Requested;
};

// A full set of fakes wired into one TPlatformServices.
struct TFakeServices {
    explicit TFakeServices(std::string moduleFileName = "C:\\App\\Vellomar.ocx")
        : Module(std::move(moduleFileName)) {
        Services.MessageBox = &MessageBox;
        Services.FontDialog = &FontDialog;
        Services.Cursors = &Cursors;
        Services.Module = &Module;
        Services.UrlFetcher = &Urls;
        Services.PrintPreview = &PrintPreview;
    }
    TRecordingMessageBox MessageBox;
    TRecordingFontDialog FontDialog;
    TRecordingCursorTable Cursors;
    TFixedModuleInfo Module;
    TMapUrlFetcher Urls;
    TRecordingPrintPreview PrintPreview;
    TPlatformServices Services;
};

}  // namespace vellomar::testing
