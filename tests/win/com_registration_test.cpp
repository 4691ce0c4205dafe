// The registry entries written by DllRegisterServer and removed by
// DllUnregisterServer, read back from HKEY_CLASSES_ROOT.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "ComTestSupport.h"
#include "platform/win32/RegKey.h"

namespace vellomar::testing {
namespace {

const wchar_t kClassKey[] = L"CLSID\\{6E2F4A1C-93D7-4B58-8C21-5A0D7E3B9F64}";
const wchar_t kLibId[] = L"{A3C81E57-2F0B-4D96-B7E4-18C95D20F3AB}";

bool KeyExists(const std::wstring& path) {
    TRegKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

// The string value of a key (the default value for an empty name).
std::optional<std::wstring> ReadValue(const std::wstring& path, const wchar_t* name = nullptr) {
    TRegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(wcslen(value.c_str()));
    return value;
}

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(buffer, length) : path;
}

struct TEntry {
    std::wstring Key;
    const wchar_t* Name;
    std::wstring Value;
};

// Every key and value of the registration for a module at 'path'.
std::vector<TEntry> ExpectedEntries(const std::wstring& path) {
    const std::wstring c = kClassKey;
    const std::wstring inproc = path.find(L' ') == std::wstring::npos ? path : ShortPathOf(path);
    return {
        {c, nullptr, L"VellomarX Control"},
        {c + L"\\InprocServer32", nullptr, inproc},
        {c + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {L"Vellomar.VellomarX", nullptr, L"VellomarX Control"},
        {L"Vellomar.VellomarX\\Clsid", nullptr, L"{6E2F4A1C-93D7-4B58-8C21-5A0D7E3B9F64}"},
        {c + L"\\ProgID", nullptr, L"Vellomar.VellomarX"},
        {c + L"\\Version", nullptr, L"1.0"},
        {c + L"\\TypeLib", nullptr, kLibId},
        {c + L"\\MiscStatus", nullptr, L"0"},
        {c + L"\\MiscStatus\\1", nullptr, L"205201"},
        {c + L"\\ToolboxBitmap32", nullptr, path + L",1"},
        {c + L"\\Verb\\0", nullptr, L"Properties,0,2"},
    };
}

const wchar_t* const kEmptyKeys[] = {L"\\Control", L"\\Verb"};

void ExpectRegisteredAt(const std::wstring& path) {
    for (const TEntry& entry : ExpectedEntries(path)) {
        SCOPED_TRACE(BstrToUtf8(TBstr(entry.Key.c_str()).Get()));
        EXPECT_EQ(entry.Value, ReadValue(entry.Key, entry.Name).value_or(L"<missing>"));
    }
    for (const wchar_t* key : kEmptyKeys) {
        EXPECT_TRUE(KeyExists(std::wstring(kClassKey) + key));
    }
    // The type library's registration.
    EXPECT_TRUE(KeyExists(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0"));
}

void ExpectNothingRegistered() {
    for (const TEntry& entry : ExpectedEntries(OcxPath())) {
        EXPECT_FALSE(KeyExists(entry.Key)) << BstrToUtf8(TBstr(entry.Key.c_str()).Get());
    }
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(L"Vellomar.VellomarX"));
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0"));
}

// Every test leaves the module beside the test program registered, as the
// test session set it up.
class RegistrationTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(S_OK, Ocx().RegisterServer()); }
};

TEST_F(RegistrationTest, RegisterWritesTheWholeList) {
    ASSERT_EQ(S_OK, Ocx().RegisterServer());
    ExpectRegisteredAt(OcxPath());
}

TEST_F(RegistrationTest, RegisteringTwiceWritesTheSameValues) {
    ASSERT_EQ(S_OK, Ocx().RegisterServer());
    ASSERT_EQ(S_OK, Ocx().RegisterServer());
    ExpectRegisteredAt(OcxPath());
}

TEST_F(RegistrationTest, UnregisterRemovesEveryKey) {
    ASSERT_EQ(S_OK, Ocx().RegisterServer());
    ASSERT_EQ(S_OK, Ocx().UnregisterServer());
    ExpectNothingRegistered();
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(S_OK, Ocx().UnregisterServer());
}

TEST_F(RegistrationTest, PathWithABlankRegistersItsShortForm) {
    const std::wstring folder = TestOutputFolder() + L"Vellomar Blank Folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\Vellomar.ocx";
    ASSERT_TRUE(CopyFileW(OcxPath().c_str(), copy.c_str(), FALSE));
    {
        TOcxModule moved(copy);
        ASSERT_TRUE(moved.Loaded());
        ASSERT_EQ(S_OK, moved.RegisterServer());
        const std::wstring shortPath = ShortPathOf(copy);
        ASSERT_NE(copy, shortPath) << "the file system gives no short names";
        EXPECT_EQ(std::wstring::npos, shortPath.find(L' '));
        ExpectRegisteredAt(copy);
        EXPECT_EQ(shortPath, ReadValue(std::wstring(kClassKey) + L"\\InprocServer32").value_or(L""));
        EXPECT_EQ(copy + L",1", ReadValue(std::wstring(kClassKey) + L"\\ToolboxBitmap32").value_or(L""));
    }
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(RegistrationTest, RegisteredServerCreatesByProgId) {
    ASSERT_EQ(S_OK, Ocx().RegisterServer());
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Vellomar.VellomarX", &clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_VellomarX, clsid));
    TComPtr<IVellomarX> control;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVellomarX,
                                     control.PutVoid()));
    EXPECT_TRUE(RunCommand(control.Get(), L"NoSuchCommand", L""));
}

TEST_F(RegistrationTest, TypeLibraryLoadsFromTheRegistry) {
    ASSERT_EQ(S_OK, Ocx().RegisterServer());
    TComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_Vellomar, 1, 0, 0x0409, library.Put()));
    TComPtr<ITypeInfo> info;
    EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(IID_IVellomarX, info.Put()));
}

}  // namespace
}  // namespace vellomar::testing
