#include "archive/object_io.h"

#include <cstring>
#include <string>

#include "archive/reference_state.h"

namespace kelcmd {

namespace {

constexpr uint16_t kNullTag = 0x0000;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
// Indices from here on would need the long tag forms, which these archives never contain.
constexpr uint32_t kMaxIndex = 0x7FFE;

bool TakeIndex(CArchive& archive, CArchive::ReferenceState& state, uint32_t& index) {
    if (state.nextIndex > kMaxIndex) {
        archive.SetFailed();
        return false;
    }
    index = state.nextIndex++;
    return true;
}

// Writes the class part of a reference: the full tag on first use, the class index afterwards.
bool WriteClassTag(CArchive& archive, CArchive::ReferenceState& state,
                   const CRuntimeClass* runtimeClass) {
    auto known = state.storedClasses.find(runtimeClass);
    if (known != state.storedClasses.end()) {
        archive.WriteU16(static_cast<uint16_t>(kClassTag | known->second));
        return true;
    }
    const size_t nameLength = runtimeClass->className ? std::strlen(runtimeClass->className) : 0;
    uint32_t index = 0;
    if (nameLength == 0 || nameLength > UINT16_MAX || !TakeIndex(archive, state, index)) {
        archive.SetFailed();
        return false;
    }
    state.storedClasses.emplace(runtimeClass, index);
    archive.WriteU16(kNewClassTag);
    archive.WriteU16(runtimeClass->schema);
    archive.WriteU16(static_cast<uint16_t>(nameLength));
    archive.WriteBytes({reinterpret_cast<const uint8_t*>(runtimeClass->className), nameLength});
    return true;
}

// Reads the class part of a reference whose tag is a new-class or class-index tag.
const CRuntimeClass* ReadClassTag(CArchive& archive, CArchive::ReferenceState& state,
                                  uint16_t tag) {
    if (tag != kNewClassTag) {
        const uint32_t index = tag & ~kClassTag;
        if (index >= state.loaded.size() || state.loaded[index] == nullptr) return nullptr;
        return state.loaded[index];
    }
    const uint16_t schema = archive.ReadU16();
    const uint16_t nameLength = archive.ReadU16();
    std::vector<uint8_t> name;
    if (!archive.ReadBytes(name, nameLength)) return nullptr;
    const CRuntimeClass* runtimeClass = CRuntimeClass::FromName(
        std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
    if (runtimeClass == nullptr || runtimeClass->schema != schema) return nullptr;
    if (state.loaded.size() > kMaxIndex) return nullptr;
    state.loaded.push_back(runtimeClass);
    return runtimeClass;
}

}  // namespace

void WriteObject(CArchive& archive, const CObject* object) {
    if (archive.Failed()) return;
    if (object == nullptr) {
        archive.WriteU16(kNullTag);
        return;
    }
    CArchive::ReferenceState& state = archive.References();
    auto known = state.storedObjects.find(object);
    if (known != state.storedObjects.end()) {
        archive.WriteU16(static_cast<uint16_t>(known->second));
        return;
    }
    if (!WriteClassTag(archive, state, object->GetRuntimeClass())) return;
    uint32_t index = 0;
    if (!TakeIndex(archive, state, index)) return;
    state.storedObjects.emplace(object, index);
    // Serialize is one member for both directions; storing leaves the object as it is.
    const_cast<CObject*>(object)->Serialize(archive);
}

std::unique_ptr<CObject> ReadObject(CArchive& archive, const CRuntimeClass* expectedBase) {
    if (archive.Failed()) return nullptr;
    const uint16_t tag = archive.ReadU16();
    if (archive.Failed() || tag == kNullTag) return nullptr;
    // Anything but a class tag is a back reference (or the unsupported long form 0x7FFF).
    if ((tag & kClassTag) == 0) {
        archive.SetFailed();
        return nullptr;
    }
    CArchive::ReferenceState& state = archive.References();
    const CRuntimeClass* runtimeClass = ReadClassTag(archive, state, tag);
    if (runtimeClass == nullptr ||
        (expectedBase != nullptr && !runtimeClass->IsDerivedFrom(expectedBase))) {
        archive.SetFailed();
        return nullptr;
    }
    std::unique_ptr<CObject> object = runtimeClass->CreateObject();
    if (!object || state.loaded.size() > kMaxIndex) {
        archive.SetFailed();
        return nullptr;
    }
    state.loaded.push_back(nullptr);  // the object's own index, taken before its data is read
    object->Serialize(archive);
    if (archive.Failed()) return nullptr;
    return object;
}

}  // namespace kelcmd
