#pragma once
// Helpers of the COM tests: the control module beside the test program,
// loaded by path so that its exports can be called directly, and controls
// created through its own class factory.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

#include "Vellomar_TLB.h"
#include "platform/win32/Bstr.h"
#include "platform/win32/ComPtr.h"

namespace vellomar::testing {

// The folder of the test program, with a trailing backslash.
std::wstring TestProgramFolder();
// Vellomar.ocx beside the test program.
std::wstring OcxPath();
// The folder for test output (screenshots): VELLOMAR_TEST_OUT, else the
// test program's folder.
std::wstring TestOutputFolder();

// A loaded copy of the control module and its four exports.
class TOcxModule {
public:
    explicit TOcxModule(const std::wstring& path = OcxPath());
    TOcxModule(const TOcxModule&) = delete;
    TOcxModule& operator=(const TOcxModule&) = delete;
    ~TOcxModule();

    bool Loaded() const { return FModule != nullptr; }
    HRESULT RegisterServer() const { return FRegister(); }
    HRESULT UnregisterServer() const { return FUnregister(); }
    HRESULT CanUnloadNow() const { return FCanUnloadNow(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const {
        return FGetClassObject(clsid, iid, out);
    }
    HMODULE Handle() const { return FModule; }

    // A new control from the module's factory.
    TComPtr<IVellomarX> CreateControl() const;

private:
    using TPlain = HRESULT(STDAPICALLTYPE*)();
    using TGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    HMODULE FModule;
    TPlain FRegister = nullptr, FUnregister = nullptr, FCanUnloadNow = nullptr;
    TGetClassObject FGetClassObject = nullptr;
};

// The module as loaded once for the whole test program.
const TOcxModule& Ocx();

// Runs a command through the vtable and answers its answer.
bool RunCommand(IVellomarX* control, const wchar_t* name, const wchar_t* params);
std::string ErrInfoOf(IVellomarX* control);

// The reference count of an object, read by an AddRef/Release pair.
ULONG RefCount(IUnknown* object);

}  // namespace vellomar::testing
