#include "command/kel_command.h"

#include <algorithm>
#include <string>

#include "command/command_dialogs.h"
#include "transport/frame.h"
#include "transport/result_codes.h"

namespace kelcmd {

namespace {

constexpr int32_t kMinDestination = 1;
constexpr int32_t kMaxDestination = 255;
constexpr int kPortCount = 99;

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

void SerializeFrame(CArchive& archive, uint16_t& crc, uint16_t& length, bool& flag,
                    FrameBuffer& buffer) {
    if (archive.IsStoring()) {
        archive.WriteU16(crc);
        archive.WriteU16(length);
        archive.WriteU32(flag ? 1 : 0);
        archive.WriteBytes(buffer);
        return;
    }
    crc = archive.ReadU16();
    length = archive.ReadU16();
    flag = archive.ReadU32() != 0;
    archive.ReadBytes(buffer.data(), buffer.size());
    // A longer frame cannot exist; its length would later be used to walk the buffer.
    if (length > kMaxDataLength) archive.SetFailed();
}

}  // namespace

const CRuntimeClass* CKelCommand::StaticClass() {
    static const CRuntimeClass runtimeClass{"CKelCommand", 1, CCommand::StaticClass(),
                                            &CreateInstance<CKelCommand>};
    return &runtimeClass;
}

const CRuntimeClass* CKelCommand::GetRuntimeClass() const {
    return StaticClass();
}

CKelCommand::CKelCommand() = default;
CKelCommand::~CKelCommand() = default;

void CKelCommand::SerializeKelFields(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU32(auxiliaryWord_);
        archive.WriteU8(auxiliaryByte_);
        archive.WriteU8(code_);
        SerializeFrame(archive, exchange_.messageCrc, exchange_.messageLength,
                       exchange_.messageBuilt, exchange_.message);
        SerializeFrame(archive, exchange_.answerCrc, exchange_.answerLength,
                       exchange_.answerReceived, exchange_.answer);
        archive.WriteU8(code_);
        archive.WriteU8(destination_);
        archive.WriteString(portName_);
        return;
    }
    auxiliaryWord_ = archive.ReadU32();
    auxiliaryByte_ = archive.ReadU8();
    code_ = archive.ReadU8();
    SerializeFrame(archive, exchange_.messageCrc, exchange_.messageLength, exchange_.messageBuilt,
                   exchange_.message);
    SerializeFrame(archive, exchange_.answerCrc, exchange_.answerLength, exchange_.answerReceived,
                   exchange_.answer);
    code_ = archive.ReadU8();  // the second copy of the code wins
    destination_ = archive.ReadU8();
    portName_ = archive.ReadString();
}

void CKelCommand::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        SerializeCommandFields(archive);
        SerializeKelFields(archive);
        return;
    }
    auto loaded = std::make_unique<CKelCommand>();  // ~2 KiB, kept off the stack
    loaded->SerializeCommandFields(archive);
    loaded->SerializeKelFields(archive);
    if (archive.Failed()) return;
    // Resets this object (derived fields too) and takes everything loaded; status stays Idle.
    CopyKelCommand(*loaded);
}

std::string CKelCommand::GetWarningText() const {
    return CommandWarningText(GetWarning());
}

std::string CKelCommand::GetErrorText() const {
    return ResultCodeText(GetError());
}

std::unique_ptr<CCommand> CKelCommand::Clone() const {
    auto copy = std::make_unique<CKelCommand>();
    copy->CopyKelCommand(*this);
    return copy;
}

void CKelCommand::Reset() {
    CCommand::Reset();
    code_ = 0;
    auxiliaryWord_ = 0;
    auxiliaryByte_ = 0;
    destination_ = 0;
    portName_.clear();
    exchange_.Clear();
}

bool CKelCommand::GetDestinationRange(int32_t& min, int32_t& max) const {
    min = kMinDestination;
    max = kMaxDestination;
    return true;
}

int CKelCommand::SetDestination(int32_t address) {
    if (address < kMinDestination || address > kMaxDestination) return 0;
    destination_ = static_cast<uint8_t>(address);
    return 1;
}

int CKelCommand::GetPortNames(std::vector<std::string>& names) const {
    names.clear();
    names.reserve(kPortCount);
    for (int i = 1; i <= kPortCount; ++i) names.push_back("Com" + std::to_string(i));
    return 1;
}

int CKelCommand::SetPortName(const std::string& name) {
    std::vector<std::string> names;
    GetPortNames(names);
    for (const std::string& candidate : names) {
        if (EqualIgnoringCase(candidate, name)) {
            portName_ = name;  // kept as the caller spelt it
            return 1;
        }
    }
    return 0;
}

int CKelCommand::EditDestination() {
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->EditDestination(*this) : 0;
}

int CKelCommand::EditPortName() {
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->EditPortName(*this) : 0;
}

int CKelCommand::EditPortAndDestination() {
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->EditPortAndDestination(*this) : 0;
}

void CKelCommand::CopyKelCommand(const CKelCommand& other) {
    if (&other == this) return;
    CopyCommandData(other);
    portName_ = other.portName_;
    destination_ = other.destination_;
    auxiliaryWord_ = other.auxiliaryWord_;
    auxiliaryByte_ = other.auxiliaryByte_;
    code_ = other.code_;
    exchange_ = other.exchange_;
}

void CKelCommand::ClearResults() {
    exchange_.answerReceived = false;
}

void CKelCommand::SetCommand(const std::string& name, uint8_t code, uint32_t auxiliaryWord,
                             uint8_t auxiliaryByte) {
    SetName(name);
    code_ = code;
    auxiliaryWord_ = auxiliaryWord;
    auxiliaryByte_ = auxiliaryByte;
}

}  // namespace kelcmd
