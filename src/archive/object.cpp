#include "archive/object.h"

#include "archive/class_registry.h"

namespace kelcmd {

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* other) const {
    if (other == nullptr) return false;
    for (const CRuntimeClass* runtimeClass = this; runtimeClass != nullptr;
         runtimeClass = runtimeClass->base) {
        if (runtimeClass == other) return true;
    }
    return false;
}

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const {
    return create != nullptr ? create() : nullptr;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name) {
    return FindClass(name);
}

const CRuntimeClass* CObject::StaticClass() {
    static const CRuntimeClass runtimeClass{"CObject", 0xFFFF, nullptr, nullptr};
    return &runtimeClass;
}

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return StaticClass();
}

bool CObject::IsKindOf(const CRuntimeClass* runtimeClass) const {
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

}  // namespace kelcmd
