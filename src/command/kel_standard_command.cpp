#include "command/kel_standard_command.h"

#include "command/command_clipboard.h"
#include "command/command_family.h"

namespace kelcmd {

const CRuntimeClass* CKelStandardCommand::StaticClass() {
    static const CRuntimeClass runtimeClass{"CKelStandardCommand", 1, CKelCommand::StaticClass(),
                                            &CreateInstance<CKelStandardCommand>};
    return &runtimeClass;
}

const CRuntimeClass* CKelStandardCommand::GetRuntimeClass() const {
    return StaticClass();
}

CKelStandardCommand::CKelStandardCommand() = default;
CKelStandardCommand::~CKelStandardCommand() = default;

CKelStandardCommand::CKelStandardCommand(const CKelStandardCommand& other) : CKelCommand() {
    CopyFrom(other);
}

CKelStandardCommand& CKelStandardCommand::operator=(const CKelStandardCommand& other) {
    CopyFrom(other);
    return *this;
}

void CKelStandardCommand::CopyFrom(const CKelStandardCommand& other) {
    if (&other == this) return;
    CopyKelCommand(other);  // resets this command first, lists included
    wire_ = other.wire_;
    extra_ = other.extra_;
    owner_ = other.owner_;
}

void CKelStandardCommand::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        SerializeCommandFields(archive);
        SerializeKelFields(archive);
        wire_.Serialize(archive);
        extra_.Serialize(archive);
        return;
    }
    // Read into a fresh command and take it over only when everything was read.
    auto loaded = std::make_unique<CKelStandardCommand>();
    loaded->SerializeCommandFields(archive);
    loaded->SerializeKelFields(archive);
    loaded->wire_.Serialize(archive);
    loaded->extra_.Serialize(archive);
    if (archive.Failed()) return;
    CCommandFamily* owner = owner_;  // the owner is not stored: a loaded command keeps its own
    CopyFrom(*loaded);
    owner_ = owner;
}

// Under "KelStandardCommand".
int CKelStandardCommand::CopyToClipboard() const {
    return PutCommandOnClipboard(*this);
}

std::unique_ptr<CCommand> CKelStandardCommand::Clone() const {
    auto copy = std::make_unique<CKelStandardCommand>();
    copy->CopyFrom(*this);
    return copy;
}

void CKelStandardCommand::Reset() {
    CKelCommand::Reset();
    wire_.Clear();
    extra_.Clear();
}

int CKelStandardCommand::ShowResults() {
    return owner_ != nullptr ? owner_->ShowResults(*this) : 0;
}

int CKelStandardCommand::EditParameters() {
    return owner_ != nullptr ? owner_->EditParameters(*this) : 0;
}

int CKelStandardCommand::Execute() {
    return owner_ != nullptr ? owner_->Execute(this) : 0;
}

void CKelStandardCommand::ClearResults() {
    CKelCommand::ClearResults();
    wire_.SetValid(false);
    extra_.SetValid(false);
}

}  // namespace kelcmd
