#include "picture/VectorObjects.h"

#include <algorithm>

namespace vellomar {

int TVectorObjects::AddFromTemplate(TObjectKind kind, std::vector<TPoint> points) {
    TVectorObject object = FTemplate;
    object.Kind = kind;
    object.Points = std::move(points);
    const int handle = FNextHandle++;
    FObjects.emplace_back(handle, std::move(object));
    return handle;
}

TVectorObject* TVectorObjects::Find(int handle) {
    if (handle == kTemplate) return &FTemplate;
    for (auto& entry : FObjects)
        if (entry.first == handle) return &entry.second;
    return nullptr;
}

void TVectorObjects::Remove(int handle) {
    FObjects.erase(std::remove_if(FObjects.begin(), FObjects.end(),
                                  [handle](const auto& e) { return e.first == handle; }),
                   FObjects.end());
    FSelected.erase(std::remove(FSelected.begin(), FSelected.end(), handle), FSelected.end());
}

void TVectorObjects::RemoveAll() {
    FObjects.clear();
    FSelected.clear();
}

void TVectorObjects::SelectOnly(int handle) {
    FSelected.clear();
    for (const auto& entry : FObjects)
        if (entry.first == handle) {
            FSelected.push_back(handle);
            return;
        }
}

}  // namespace vellomar
