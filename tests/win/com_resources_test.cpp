// The resources of Vellomar.ocx: version information, the toolbox picture
// and the four tool cursors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComTestSupport.h"
#include "HostWindow.h"
#include "platform/win32/GdiHandles.h"

namespace vellomar::testing {
namespace {

class VersionInfo {
public:
    VersionInfo() {
        const std::wstring path = OcxPath();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        FData.resize(size);
        FLoaded = size > 0 && GetFileVersionInfoW(path.c_str(), 0, size, FData.data());
    }
    bool Loaded() const { return FLoaded; }
    // The value at 'block', or null when the block does not exist.
    const void* Query(const std::wstring& block, UINT* length = nullptr) {
        void* value = nullptr;
        UINT size = 0;
        if (!VerQueryValueW(FData.data(), block.c_str(), &value, &size)) return nullptr;
        if (length) *length = size;
        return value;
    }

private:
    std::vector<BYTE> FData;
    bool FLoaded = false;
};

TEST(Resources, VersionInformation) {
    VersionInfo info;
    ASSERT_TRUE(info.Loaded());
    UINT length = 0;
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(info.Query(L"\\", &length));
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(2, 0), fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(DWORD(VFT_DLL), fixed->dwFileType);
    EXPECT_EQ(DWORD(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(0u, fixed->dwFileFlags);

    auto* translation = static_cast<const WORD*>(info.Query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(nullptr, translation);
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0804, translation[0]);
    EXPECT_EQ(0x03A8, translation[1]);

    struct TString { const wchar_t* Key; const wchar_t* Value; };
    const TString strings[] = {
        {L"FileVersion", L"1.0.0.2"}, {L"ProductVersion", L"1.0.0.0"}, {L"OleSelfRegister", L"1"},
        {L"CompanyName", L""}, {L"FileDescription", L""}, {L"InternalName", L""},
        {L"LegalCopyright", L""}, {L"LegalTrademarks", L""}, {L"OriginalFilename", L""},
        {L"ProductName", L""}, {L"Comments", L""},
    };
    for (const TString& s : strings) {
        SCOPED_TRACE(BstrToUtf8(TBstr(s.Key).Get()));
        const std::wstring block = std::wstring(L"\\StringFileInfo\\080403A8\\") + s.Key;
        auto* value = static_cast<const wchar_t*>(info.Query(block, &length));
        ASSERT_NE(nullptr, value) << "the key is present";
        EXPECT_EQ(std::wstring(s.Value), std::wstring(value));
    }
}

TEST(Resources, ToolboxBitmapIs16By15In16Colours) {
    HMODULE module = Ocx().Handle();
    TGdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap);
    DIBSECTION section{};
    ASSERT_EQ(int(sizeof(section)), GetObjectW(bitmap.Get(), sizeof(section), &section));
    EXPECT_EQ(16, section.dsBmih.biWidth);
    EXPECT_EQ(15, std::abs(section.dsBmih.biHeight));
    EXPECT_EQ(4, section.dsBmih.biBitCount);
}

TEST(Resources, TypeLibraryIsResourceOne) {
    HMODULE module = Ocx().Handle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB");
    ASSERT_NE(nullptr, found);
    HGLOBAL loaded = LoadResource(module, found);
    ASSERT_NE(nullptr, loaded);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    ASSERT_GE(SizeofResource(module, found), 4u);
    EXPECT_EQ(std::string("MSFT"), std::string(bytes, 4));
}

TEST(Resources, ToolCursorsWithTheirHotspots) {
    struct TCursor { const wchar_t* Name; DWORD HotX, HotY; };
    const TCursor cursors[] = {
        {L"Eraser", 8, 23}, {L"DRAWLINE", 6, 24}, {L"DRAWBOX", 15, 15}, {L"DRAWTEXT", 0, 0},
        {L"eraser", 8, 23},  // names match without regard to case
    };
    for (const TCursor& c : cursors) {
        SCOPED_TRACE(BstrToUtf8(TBstr(c.Name).Get()));
        HCURSOR cursor = LoadCursorW(Ocx().Handle(), c.Name);
        ASSERT_NE(nullptr, cursor);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        TGdiObject<HBITMAP> mask(info.hbmMask), colour(info.hbmColor);
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(c.HotX, info.xHotspot);
        EXPECT_EQ(c.HotY, info.yHotspot);
        EXPECT_FALSE(colour) << "monochrome: the mask holds both planes";
        BITMAP maskBitmap{};
        ASSERT_TRUE(GetObjectW(mask.Get(), sizeof(maskBitmap), &maskBitmap));
        EXPECT_EQ(32, maskBitmap.bmWidth);
        EXPECT_EQ(64, maskBitmap.bmHeight);
    }
    EXPECT_EQ(nullptr, LoadCursorW(Ocx().Handle(), L"NoSuchCursor"));
}

}  // namespace
}  // namespace vellomar::testing
