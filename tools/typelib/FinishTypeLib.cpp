// Build step: finishes the type library that widl compiled from
// control/Vellomar_TLB.idl. widl writes the enumerations first and cannot
// give their constants help strings or the events interface a version; the
// library is therefore rebuilt with the types in their published order and
// those attributes added. Runs under Wine during the build.
//   usage: FinishTypeLib <widl output.tlb> <finished.tlb>
#include <cstdio>

#include "tools/typelib/TypeLibRebuilder.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: FinishTypeLib <source.tlb> <target.tlb>\n");
        return 2;
    }
    if (FAILED(CoInitialize(nullptr))) return 1;
    vellomar::typelib::TRebuildOptions options;
    options.TypeOrder = {L"IVellomarX",      L"IVellomarXEvents", L"VellomarX",
                         L"TxActiveFormBorderStyle", L"TxPrintScale", L"TxMouseButton"};
    std::wstring failure;
    const HRESULT hr = vellomar::typelib::RebuildTypeLib(argv[1], argv[2], options, failure);
    CoUninitialize();
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"FinishTypeLib: %ls failed with 0x%08lx\n", failure.c_str(),
                      static_cast<unsigned long>(hr));
        return 1;
    }
    return 0;
}
