#include "ComTestSupport.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Services.h"

namespace vellomar::testing {

std::wstring TestProgramFolder() {
    std::wstring path = ModuleFileNameW(nullptr);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring OcxPath() { return TestProgramFolder() + L"Vellomar.ocx"; }

std::wstring TestOutputFolder() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VELLOMAR_TEST_OUT", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TestProgramFolder();
    std::wstring folder(value, length);
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

TOcxModule::TOcxModule(const std::wstring& path) : FModule(LoadLibraryW(path.c_str())) {
    if (!FModule) return;
    // The exports are looked up by ordinal, which is how they are published.
    FUnregister = reinterpret_cast<TPlain>(GetProcAddress(FModule, MAKEINTRESOURCEA(1)));
    FRegister = reinterpret_cast<TPlain>(GetProcAddress(FModule, MAKEINTRESOURCEA(2)));
    FCanUnloadNow = reinterpret_cast<TPlain>(GetProcAddress(FModule, MAKEINTRESOURCEA(3)));
    FGetClassObject = reinterpret_cast<TGetClassObject>(GetProcAddress(FModule, MAKEINTRESOURCEA(4)));
}

TOcxModule::~TOcxModule() {
    if (FModule) FreeLibrary(FModule);
}

TComPtr<IVellomarX> TOcxModule::CreateControl() const {
    TComPtr<IClassFactory> factory;
    TComPtr<IVellomarX> control;
    if (SUCCEEDED(GetClassObject(CLSID_VellomarX, IID_IClassFactory, factory.PutVoid()))) {
        factory->CreateInstance(nullptr, IID_IVellomarX, control.PutVoid());
    }
    return control;
}

const TOcxModule& Ocx() {
    static TOcxModule module;
    return module;
}

bool RunCommand(IVellomarX* control, const wchar_t* name, const wchar_t* params) {
    TBstr cmdName(name), cmdParam(params);
    VARIANT_BOOL answer = VARIANT_FALSE;
    EXPECT_EQ(S_OK, control->Command(cmdName.Get(), cmdParam.Get(), &answer));
    return answer == VARIANT_TRUE;
}

std::string ErrInfoOf(IVellomarX* control) {
    TBstr info;
    EXPECT_EQ(S_OK, control->get_ErrInfo(info.Put()));
    return BstrToUtf8(info.Get());
}

ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

}  // namespace vellomar::testing
