#include "control/win32/EnumConnectionPoints.h"

#include "control/win32/ComErrors.h"

namespace vellomar::com {

TEnumConnectionPoints::TEnumConnectionPoints(const std::vector<IConnectionPoint*>& points,
                                             size_t position)
    : FPosition(position) {
    for (IConnectionPoint* point : points) FPoints.emplace_back(point);
}

HRESULT TEnumConnectionPoints::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumConnectionPoints)) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IEnumConnectionPoints*>(this);
    AddRef();
    return S_OK;
}

HRESULT TEnumConnectionPoints::Next(ULONG count, IConnectionPoint** points, ULONG* fetched) {
    if (!points || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    while (given < count && FPosition < FPoints.size()) {
        FPoints[FPosition++].CopyTo(&points[given++]);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT TEnumConnectionPoints::Skip(ULONG count) {
    const size_t left = FPoints.size() - FPosition;
    FPosition += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

HRESULT TEnumConnectionPoints::Reset() {
    FPosition = 0;
    return S_OK;
}

HRESULT TEnumConnectionPoints::Clone(IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComGuard([&] {
        std::vector<IConnectionPoint*> points;
        for (const TComPtr<IConnectionPoint>& point : FPoints) points.push_back(point.Get());
        *out = NewComObject<TEnumConnectionPoints>(points, FPosition);
        return S_OK;
    });
}

}  // namespace vellomar::com
