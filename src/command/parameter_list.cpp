#include "command/parameter_list.h"

#include <algorithm>
#include <cstring>

namespace kelcmd {

namespace {

const std::string kNoName;

// Archive bytes a parameter needs at least besides its value: name length byte, type, size.
constexpr size_t kMinParameterBytes = 1 + 1 + 4;

}  // namespace

CParameterList::CParameterList() = default;
CParameterList::~CParameterList() = default;
CParameterList::CParameterList(const CParameterList& other) = default;
CParameterList& CParameterList::operator=(const CParameterList& other) = default;
CParameterList::CParameterList(CParameterList&&) noexcept = default;
CParameterList& CParameterList::operator=(CParameterList&&) noexcept = default;

int CParameterList::AddSendParameter(const std::string& name, uint8_t type, uint32_t size) {
    if (send_.size() >= kMaxSendParameters) return 0;
    send_.push_back(Parameter{name, type, std::vector<uint8_t>(size), nullptr});
    return 1;
}

int CParameterList::AddReturnParameter(const std::string& name, uint8_t type, uint32_t size) {
    if (return_.size() >= kMaxReturnParameters) return 0;
    return_.push_back(Parameter{name, type, std::vector<uint8_t>(size), nullptr});
    return 1;
}

void CParameterList::SetValue(std::vector<Parameter>& side, size_t index, const void* bytes,
                              uint32_t size) {
    if (index >= side.size()) return;
    if (bytes == nullptr && size != 0) return;
    const auto* first = static_cast<const uint8_t*>(bytes);
    side[index].value.assign(first, first + size);
}

void CParameterList::SetSendValue(size_t index, const void* bytes, uint32_t size) {
    SetValue(send_, index, bytes, size);
}

void CParameterList::SetReturnValue(size_t index, const void* bytes, uint32_t size) {
    SetValue(return_, index, bytes, size);
}

std::span<const uint8_t> CParameterList::GetSendValue(size_t index) const {
    if (index >= send_.size()) return {};
    return send_[index].value;
}

std::span<const uint8_t> CParameterList::GetReturnValue(size_t index) const {
    if (index >= return_.size()) return {};
    return return_[index].value;
}

uint8_t CParameterList::GetSendType(size_t index) const {
    return index < send_.size() ? send_[index].type : 0;
}

uint8_t CParameterList::GetReturnType(size_t index) const {
    return index < return_.size() ? return_[index].type : 0;
}

uint32_t CParameterList::GetSendSize(size_t index) const {
    return index < send_.size() ? static_cast<uint32_t>(send_[index].value.size()) : 0;
}

uint32_t CParameterList::GetReturnSize(size_t index) const {
    return index < return_.size() ? static_cast<uint32_t>(return_[index].value.size()) : 0;
}

const std::string& CParameterList::GetSendName(size_t index) const {
    return index < send_.size() ? send_[index].name : kNoName;
}

const std::string& CParameterList::GetReturnName(size_t index) const {
    return index < return_.size() ? return_[index].name : kNoName;
}

int CParameterList::FindSend(const std::string& name) const {
    for (size_t i = 0; i < send_.size(); ++i) {
        if (send_[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

int CParameterList::FindReturn(const std::string& name) const {
    for (size_t i = 0; i < return_.size(); ++i) {
        if (return_[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

int CParameterList::ChangeType(std::vector<Parameter>& side, size_t index, uint8_t type,
                               uint32_t size) {
    if (index >= side.size()) return 0;
    Parameter& parameter = side[index];
    // The leading bytes survive, so a value keeps its low part when it grows or shrinks.
    parameter.value.resize(size, 0);
    parameter.type = type;
    return 1;
}

int CParameterList::ChangeSendType(size_t index, uint8_t type, uint32_t size) {
    return ChangeType(send_, index, type, size);
}

int CParameterList::ChangeReturnType(size_t index, uint8_t type, uint32_t size) {
    return ChangeType(return_, index, type, size);
}

void CParameterList::BindReturnValue(size_t index, void* address) {
    if (index < return_.size()) return_[index].binding = address;
}

void* CParameterList::GetReturnBinding(size_t index) const {
    return index < return_.size() ? return_[index].binding : nullptr;
}

void CParameterList::UnbindAll() {
    for (Parameter& parameter : return_) parameter.binding = nullptr;
}

void CParameterList::Clear() {
    send_.clear();
    return_.clear();
    valid_ = false;
}

void CParameterList::StoreSide(CArchive& archive, const std::vector<Parameter>& side) {
    for (const Parameter& parameter : side) {
        archive.WriteString(parameter.name);
        archive.WriteU8(parameter.type);
        archive.WriteU32(static_cast<uint32_t>(parameter.value.size()));
        archive.WriteBytes(parameter.value);
    }
}

bool CParameterList::LoadSide(CArchive& archive, uint8_t count, std::vector<Parameter>& side) {
    // A count that the remaining bytes cannot hold is refused before anything is reserved.
    if (archive.Failed() || count > archive.Remaining() / kMinParameterBytes) {
        archive.SetFailed();
        return false;
    }
    side.reserve(count);
    for (uint8_t i = 0; i < count; ++i) {
        Parameter parameter;
        parameter.name = archive.ReadString();
        parameter.type = archive.ReadU8();
        const uint32_t size = archive.ReadU32();
        // ReadBytes checks the size against what remains before it allocates anything.
        if (archive.Failed() || !archive.ReadBytes(parameter.value, size)) {
            archive.SetFailed();
            return false;
        }
        side.push_back(std::move(parameter));
    }
    return true;
}

void CParameterList::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU8(GetSendCount());
        archive.WriteU32(reserved_);
        StoreSide(archive, send_);
        archive.WriteU8(GetReturnCount());
        StoreSide(archive, return_);
        return;
    }
    // Everything is read into locals first: a malformed archive leaves this list as it was.
    std::vector<Parameter> send;
    std::vector<Parameter> returned;
    const uint8_t sendCount = archive.ReadU8();
    const uint32_t reserved = archive.ReadU32();
    if (!LoadSide(archive, sendCount, send)) return;
    const uint8_t returnCount = archive.ReadU8();
    if (!LoadSide(archive, returnCount, returned)) return;
    send_ = std::move(send);
    return_ = std::move(returned);
    reserved_ = reserved;
    valid_ = false;
}

}  // namespace kelcmd
