#include <map>
#include <mutex>

#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Services.h"

namespace vellomar {

namespace {

struct TCursorRegistry {
    std::mutex Lock;
    std::map<int, HCURSOR> Cursors;
};

TCursorRegistry& Registry() {
    static TCursorRegistry registry;
    return registry;
}

// The standard cursor ids of the form library and their system cursors.
struct TStandardCursor {
    int Id;
    LPCWSTR SystemCursor;
};
const TStandardCursor kStandardCursors[] = {
    {0, IDC_ARROW},      {-2, IDC_ARROW},   {-3, IDC_CROSS},     {-4, IDC_IBEAM},
    {-6, IDC_SIZENESW},  {-7, IDC_SIZENS},  {-8, IDC_SIZENWSE},  {-9, IDC_SIZEWE},
    {-10, IDC_UPARROW},  {-11, IDC_WAIT},   {-18, IDC_NO},       {-19, IDC_APPSTARTING},
    {-20, IDC_HELP},     {-21, IDC_HAND},   {-22, IDC_SIZEALL},
};

}  // namespace

void TWin32CursorTable::RegisterFromModule(int id, const std::string& resourceName) {
    // Resource names are matched without regard to case by the loader.
    const std::wstring name = ToUtf16(resourceName);
    HCURSOR cursor = LoadCursorW(FModule, name.c_str());
    TCursorRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.Lock);
    if (cursor) {
        registry.Cursors[id] = cursor;
    } else {
        registry.Cursors.erase(id);
    }
}

HCURSOR TWin32CursorTable::CursorFor(int id) {
    {
        TCursorRegistry& registry = Registry();
        std::lock_guard<std::mutex> guard(registry.Lock);
        auto found = registry.Cursors.find(id);
        if (found != registry.Cursors.end()) return found->second;
    }
    for (const TStandardCursor& standard : kStandardCursors) {
        if (standard.Id == id) return LoadCursorW(nullptr, standard.SystemCursor);
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace vellomar
