#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "archive/archive.h"

namespace kelcmd {

class CObject;

// Run-time class information: name, schema and base, and creation by name for loading.
struct CRuntimeClass {
    const char* className;
    uint16_t schema;
    const CRuntimeClass* base;
    std::unique_ptr<CObject> (*create)();  // null for classes that cannot be created by name

    bool IsDerivedFrom(const CRuntimeClass* other) const;
    std::unique_ptr<CObject> CreateObject() const;
    // The registered class of that exact name, or null (see archive/class_registry.h).
    static const CRuntimeClass* FromName(std::string_view name);
};

// Root of the serialisable classes.
class CObject {
  public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive&) {}
    bool IsKindOf(const CRuntimeClass* runtimeClass) const;
    static const CRuntimeClass* StaticClass();
};

// The creation function of a class that can be created by name: {"CName", schema, base,
// &CreateInstance<CName>}.
template <class T>
std::unique_ptr<CObject> CreateInstance() {
    return std::make_unique<T>();
}

}  // namespace kelcmd
