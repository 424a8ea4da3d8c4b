#include "command/command.h"

#include <string>

namespace kelcmd {

const CRuntimeClass* CCommand::StaticClass() {
    static const CRuntimeClass runtimeClass{"CCommand", 1, CObject::StaticClass(),
                                            &CreateInstance<CCommand>};
    return &runtimeClass;
}

const CRuntimeClass* CCommand::GetRuntimeClass() const {
    return StaticClass();
}

CCommand::CCommand() = default;
CCommand::~CCommand() = default;

void CCommand::SerializeCommandFields(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteU32(error_);
        archive.WriteString(name_);
        archive.WriteU32(startTime_);
        archive.WriteU32(endTime_);
        archive.WriteU32(answerTimeout_);
        archive.WriteU32(trials_);
        archive.WriteI32(warning_);
    } else {
        error_ = archive.ReadU32();
        name_ = archive.ReadString();
        startTime_ = archive.ReadU32();
        endTime_ = archive.ReadU32();
        answerTimeout_ = archive.ReadU32();
        trials_ = archive.ReadU32();
        warning_ = archive.ReadI32();
    }
}

void CCommand::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        SerializeCommandFields(archive);
        return;
    }
    CCommand loaded;
    loaded.SerializeCommandFields(archive);
    if (archive.Failed()) return;
    // Resets this object (its derived fields too) and takes the loaded fields; status stays Idle.
    CCommand::CopyCommandData(loaded);
}

std::string CCommand::GetWarningText() const {
    return "Warning " + std::to_string(warning_);
}

std::string CCommand::GetErrorText() const {
    // The error is formatted as a signed number, as "%i" shows it.
    return "Error " + std::to_string(static_cast<int32_t>(error_));
}

void CCommand::CopyCommandData(const CCommand& other) {
    if (&other == this) return;  // resetting first would wipe the source
    Reset();
    name_ = other.name_;
    answerTimeout_ = other.answerTimeout_;
    status_ = other.status_;
    startTime_ = other.startTime_;
    endTime_ = other.endTime_;
    trials_ = other.trials_;
    warning_ = other.warning_;
    error_ = other.error_;
}

std::unique_ptr<CCommand> CCommand::Clone() const {
    auto copy = std::make_unique<CCommand>();
    copy->CopyCommandData(*this);
    return copy;
}

void CCommand::Reset() {
    name_.clear();
    answerTimeout_ = 100;
    status_ = STATUS_IDLE;
    startTime_ = 0;
    endTime_ = 0;
    trials_ = 1;
    warning_ = 0;
    error_ = 0;
}

bool CCommand::GetDestinationRange(int32_t& min, int32_t& max) const {
    min = 0;
    max = -1;
    return false;
}

std::string CCommand::GetStatusText() const {
    switch (status_) {
        case STATUS_IDLE:
            return "Idle";
        case STATUS_PROCESSING:
            return "Processing";
        case STATUS_SUCCEEDED:
            return "Succeeded";
        case STATUS_FAILED:
            return "Failed";
        default:
            return "";
    }
}

}  // namespace kelcmd
