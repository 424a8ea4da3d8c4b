#include "command/kel_customer_command.h"

#include "command/command_clipboard.h"
#include "command/command_dialogs.h"
#include "command/command_execution.h"
#include "command/parameter_codec.h"

namespace kelcmd {

namespace {

// Archive bytes an attachment needs at least: an empty structure name, its element count, the
// parameter index.
constexpr size_t kMinAttachmentBytes = 1 + 4 + 4;

void StoreAttachments(CArchive& archive, const std::vector<StructureAttachment>& attachments) {
    const auto count = static_cast<uint32_t>(attachments.size());
    archive.WriteU32(count);  // number of structures
    archive.WriteU32(count);  // number of parameter indices
    for (const StructureAttachment& attachment : attachments) {
        attachment.structure.WriteStream(archive);
        archive.WriteU32(attachment.parameterIndex);
    }
}

// Reads one side. Two numbers that differ leave the side empty and nothing more of it is read;
// the archive goes on with what follows. False on a malformed archive.
bool LoadAttachments(CArchive& archive, std::vector<StructureAttachment>& attachments) {
    const uint32_t structures = archive.ReadU32();
    const uint32_t indices = archive.ReadU32();
    if (archive.Failed()) return false;
    attachments.clear();
    if (structures != indices) return true;
    if (structures > archive.Remaining() / kMinAttachmentBytes) {
        archive.SetFailed();
        return false;
    }
    attachments.reserve(structures);
    for (uint32_t i = 0; i < structures; ++i) {
        StructureAttachment attachment;
        if (!attachment.structure.ReadStream(archive)) return false;
        attachment.parameterIndex = archive.ReadU32();
        if (archive.Failed()) return false;
        attachments.push_back(std::move(attachment));
    }
    return true;
}

}  // namespace

const CRuntimeClass* CKelCustomerCommand::StaticClass() {
    static const CRuntimeClass runtimeClass{"CKelCustomerCommand", 1, CKelCommand::StaticClass(),
                                            &CreateInstance<CKelCustomerCommand>};
    return &runtimeClass;
}

const CRuntimeClass* CKelCustomerCommand::GetRuntimeClass() const {
    return StaticClass();
}

CKelCustomerCommand::CKelCustomerCommand() = default;
CKelCustomerCommand::~CKelCustomerCommand() = default;

CKelCustomerCommand::CKelCustomerCommand(const CKelCustomerCommand& other) : CKelCommand() {
    CopyFrom(other);
}

CKelCustomerCommand& CKelCustomerCommand::operator=(const CKelCustomerCommand& other) {
    CopyFrom(other);
    return *this;
}

void CKelCustomerCommand::CopyFrom(const CKelCustomerCommand& other) {
    if (&other == this) return;
    CopyKelCommand(other);  // resets this command first, the definition included
    parameters_ = other.parameters_;
    sendAttachments_ = other.sendAttachments_;
    returnAttachments_ = other.returnAttachments_;
    manager_ = other.manager_;
    ports_ = other.ports_;
}

void CKelCustomerCommand::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        SerializeCommandFields(archive);
        SerializeKelFields(archive);
        parameters_.Serialize(archive);
        StoreAttachments(archive, sendAttachments_);
        StoreAttachments(archive, returnAttachments_);
        return;
    }
    // Read into a fresh command and take it over only when everything was read.
    auto loaded = std::make_unique<CKelCustomerCommand>();
    loaded->SerializeCommandFields(archive);
    loaded->SerializeKelFields(archive);
    loaded->parameters_.Serialize(archive);
    if (archive.Failed()) return;
    if (!LoadAttachments(archive, loaded->sendAttachments_)) return;
    if (!LoadAttachments(archive, loaded->returnAttachments_)) return;
    loaded->manager_ = manager_;  // references are not stored: a loaded command keeps its own
    loaded->ports_ = ports_;
    CopyFrom(*loaded);
}

// Under "KelCustomerCommand".
int CKelCustomerCommand::CopyToClipboard() const {
    return PutCommandOnClipboard(*this);
}

std::unique_ptr<CCommand> CKelCustomerCommand::Clone() const {
    auto copy = std::make_unique<CKelCustomerCommand>();
    copy->CopyFrom(*this);
    return copy;
}

void CKelCustomerCommand::Reset() {
    CKelCommand::Reset();
    parameters_.Clear();
    sendAttachments_.clear();
    returnAttachments_.clear();
}

int CKelCustomerCommand::ShowResults() {
    if (parameters_.GetReturnCount() == 0) return 1;
    if (!parameters_.IsValid()) return 0;
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->ShowCustomerResults(*this) : 0;
}

int CKelCustomerCommand::EditParameters() {
    if (parameters_.GetSendCount() == 0) return 1;
    const std::shared_ptr<CommandDialogs> dialogs = InstalledCommandDialogs();
    return dialogs != nullptr ? dialogs->EditCustomerParameters(*this) : 0;
}

int CKelCustomerCommand::Execute() {
    ExecutionSteps steps;
    steps.build = [this] { return BuildParameterMessage(*this, &parameters_); };
    steps.decode = [this] { return DecodeParameterAnswer(*this, parameters_); };
    steps.needsCompleteAnswer = true;
    return ExecuteCommand(ports_, *this, steps);
}

void CKelCustomerCommand::ClearResults() {
    CKelCommand::ClearResults();
    parameters_.SetValid(false);
}

}  // namespace kelcmd
