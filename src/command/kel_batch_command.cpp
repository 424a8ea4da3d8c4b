#include "command/kel_batch_command.h"

#include "archive/object_io.h"
#include "command/command_clipboard.h"
#include "command/command_execution.h"
#include "command/parameter_list.h"

namespace kelcmd {

namespace {

// Each member reference takes at least its two-byte tag.
constexpr size_t kMinMemberBytes = 2;

bool IsBatchType(uint32_t type) {
    return type == BATCH_NORMAL || type == BATCH_QUIET_SEND || type == BATCH_QUIET_READ;
}

}  // namespace

uint8_t BatchTypeCode(uint32_t type) {
    return type == BATCH_NORMAL ? kBatchCode : kQuietBatchCode;
}

std::unique_ptr<CKelCommand> CloneKelCommand(const CKelCommand& command) {
    std::unique_ptr<CCommand> copy = command.Clone();
    auto* kelCommand = dynamic_cast<CKelCommand*>(copy.get());
    if (kelCommand == nullptr) return nullptr;
    copy.release();
    return std::unique_ptr<CKelCommand>(kelCommand);
}

const CRuntimeClass* CKelBatchCommand::StaticClass() {
    static const CRuntimeClass runtimeClass{"CKelBatchCommand", 1, CKelCommand::StaticClass(),
                                            &CreateInstance<CKelBatchCommand>};
    return &runtimeClass;
}

const CRuntimeClass* CKelBatchCommand::GetRuntimeClass() const {
    return StaticClass();
}

CKelBatchCommand::CKelBatchCommand() {
    SetCode(kBatchCode);
}

CKelBatchCommand::~CKelBatchCommand() = default;

CKelBatchCommand::CKelBatchCommand(const CKelBatchCommand& other) : CKelCommand() {
    CopyFrom(other);
}

CKelBatchCommand& CKelBatchCommand::operator=(const CKelBatchCommand& other) {
    CopyFrom(other);
    return *this;
}

void CKelBatchCommand::CopyFrom(const CKelBatchCommand& other) {
    if (&other == this) return;
    CopyKelCommand(other);
    batchType_ = other.batchType_;
    ports_ = other.ports_;
    fixedTimeout_ = other.fixedTimeout_;
    members_.clear();
    members_.reserve(other.members_.size());
    for (const auto& member : other.members_) {
        if (auto copy = CloneKelCommand(*member)) members_.push_back(std::move(copy));
    }
}

void CKelBatchCommand::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        SerializeCommandFields(archive);
        SerializeKelFields(archive);
        archive.WriteU32(batchType_);
        archive.WriteU32(static_cast<uint32_t>(members_.size()));
        for (const auto& member : members_) WriteObject(archive, member.get());
        return;
    }
    // Read into a fresh batch and take it over only when everything was read.
    auto loaded = std::make_unique<CKelBatchCommand>();
    loaded->SerializeCommandFields(archive);
    loaded->SerializeKelFields(archive);
    const uint32_t type = archive.ReadU32();
    const uint32_t count = archive.ReadU32();
    if (archive.Failed()) return;
    if (!IsBatchType(type) || count > archive.Remaining() / kMinMemberBytes) {
        archive.SetFailed();
        return;
    }
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CKelCommand> member = ReadObjectAs<CKelCommand>(archive);
        if (archive.Failed()) return;
        // A batch holds no empty places, and no batch: the unit cannot run one inside another
        // (refusing it also keeps a hostile file from nesting batches without end).
        if (member == nullptr || member->IsKindOf(CKelBatchCommand::StaticClass())) {
            archive.SetFailed();
            return;
        }
        loaded->members_.push_back(std::move(member));
    }
    const uint8_t storedCode = loaded->GetCode();
    CopyKelCommand(*loaded);
    batchType_ = type;
    SetCode(storedCode);
    members_ = std::move(loaded->members_);
}

// Under "KelBatchCommand".
int CKelBatchCommand::CopyToClipboard() const {
    return PutCommandOnClipboard(*this);
}

std::unique_ptr<CCommand> CKelBatchCommand::Clone() const {
    auto copy = std::make_unique<CKelBatchCommand>();
    copy->CopyFrom(*this);
    return copy;
}

void CKelBatchCommand::Reset() {
    CKelCommand::Reset();
    SetBatchType(BATCH_NORMAL);
    fixedTimeout_.reset();
    for (const auto& member : members_) member->Reset();
}

int CKelBatchCommand::EditParameters() {
    if (batchType_ == BATCH_QUIET_READ) return 1;
    for (const auto& member : members_) {
        if (member->EditParameters() == 0) return 0;
    }
    return 1;
}

int CKelBatchCommand::ShowResults() {
    if (batchType_ == BATCH_QUIET_SEND) return 1;
    for (const auto& member : members_) {
        if (member->ShowResults() == 0) return 0;
    }
    return 1;
}

int CKelBatchCommand::Execute() {
    ExecutionSteps steps;
    steps.build = [this] {
        if (!BuildMessage()) return false;
        SetAnswerTimeout(EffectiveAnswerTimeout());
        return true;
    };
    // Decoded also after a failed exchange: a stopped batch still carries the results of the
    // members before the failing one, and an exchange without answer marks every member failed.
    steps.decode = [this] {
        DecodeAnswer();
        return DecodeResult::kComplete;
    };
    steps.decodeAfterFailure = true;
    return ExecuteCommand(ports_, *this, steps);
}

void CKelBatchCommand::ClearResults() {
    CKelCommand::ClearResults();
    for (const auto& member : members_) member->ClearResults();
}

bool CKelBatchCommand::SetBatchType(uint32_t type) {
    if (!IsBatchType(type)) return false;
    batchType_ = type;
    SetCode(BatchTypeCode(type));
    return true;
}

int CKelBatchCommand::AppendCommand(std::unique_ptr<CKelCommand> command) {
    if (!command) return 0;
    members_.push_back(std::move(command));
    return 1;
}

int CKelBatchCommand::InsertCommand(std::unique_ptr<CKelCommand> command, size_t index) {
    if (!command) return 0;
    if (index >= members_.size()) return AppendCommand(std::move(command));
    members_.insert(members_.begin() + static_cast<std::ptrdiff_t>(index), std::move(command));
    return 1;
}

bool CKelBatchCommand::RemoveCommand(size_t index) {
    return DetachCommand(index) != nullptr;
}

std::unique_ptr<CKelCommand> CKelBatchCommand::DetachCommand(size_t index) {
    if (index >= members_.size()) return nullptr;
    std::unique_ptr<CKelCommand> member = std::move(members_[index]);
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(index));
    return member;
}

void CKelBatchCommand::RemoveAll() {
    members_.clear();
}

CKelCommand* CKelBatchCommand::GetCommand(size_t index) const {
    return index < members_.size() ? members_[index].get() : nullptr;
}

uint32_t CKelBatchCommand::GetSendParameterCount() const {
    uint32_t sum = 0;
    for (const auto& member : members_) {
        if (const CParameterList* list = member->GetSendParameters()) sum += list->GetSendCount();
    }
    return sum;
}

uint32_t CKelBatchCommand::GetReturnParameterCount() const {
    uint32_t sum = 0;
    for (const auto& member : members_) {
        if (const CParameterList* list = member->GetSendParameters()) sum += list->GetReturnCount();
    }
    return sum;
}

CKelCommand* CKelBatchCommand::FindFailedCommand() const {
    for (const auto& member : members_) {
        if (member->GetStatus() == STATUS_FAILED) return member.get();
    }
    return nullptr;
}

}  // namespace kelcmd
