// The batch's wire side: its answer timeout, its message and the decoding of its answer.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "command/kel_batch_command.h"
#include "command/message_stream.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "platform/prompt.h"

namespace kelcmd {

namespace {

constexpr uint32_t kQuietTimeout = 100;
constexpr size_t kFailureRecordSize = 3;  // code, warning (16 bits)
constexpr const char* kTooLongText = "Message is too long!\nMore than 1023bytes";

// The bytes a value of the type takes on the wire: the width of the number types, the
// parameter's own size for the structures and arrays (an Int array carries whole 16-bit items).
size_t WireWidth(uint8_t type, uint32_t size) {
    switch (type) {
        case TYPE_SYSPARAM:
        case TYPE_SYSPARAM_EX:
        case TYPE_BYTE_ARRAY:
            return size;
        case TYPE_INT_ARRAY:
            return std::min<size_t>(size / 2, 511) * 2;
        default:
            return ParameterTypeSize(type);
    }
}

// Writes one send value by its type. A value stored shorter than its type's width goes as if
// zero-padded rather than reading past its buffer.
bool WriteValue(CMessageStream& stream, uint8_t type, std::span<const uint8_t> value) {
    const bool fixedWidth = IsKnownParameterType(type) && type != TYPE_SYSPARAM &&
                            type != TYPE_SYSPARAM_EX && type != TYPE_INT_ARRAY &&
                            type != TYPE_BYTE_ARRAY;
    const size_t minimum = fixedWidth ? ParameterTypeSize(type) : 0;
    if (value.size() >= minimum) return stream.WriteValue(type, value);
    std::vector<uint8_t> padded(value.begin(), value.end());
    padded.resize(minimum, 0);
    return stream.WriteValue(type, padded);
}

size_t ResultBytes(CKelCommand& member) {
    size_t bytes = 1;  // the code
    if (const CParameterList* list = member.GetSendParameters()) {
        for (size_t i = 0; i < list->GetReturnCount(); ++i) {
            bytes += WireWidth(list->GetReturnType(i), list->GetReturnSize(i));
        }
    }
    return bytes;
}

// Reads the results of one executed member: its code, then its return parameters into their
// values and bound variables. False when the code differs or a value cannot be read.
bool ReadMemberResults(CMessageStream& stream, CKelCommand& member) {
    CParameterList* list = member.GetSendParameters();
    if (list != nullptr) list->SetValid(false);
    if (stream.ReadByte() != member.GetCode() || stream.Failed()) return false;
    if (list == nullptr) {
        member.SetStatus(STATUS_SUCCEEDED);
        return true;
    }
    for (size_t i = 0; i < list->GetReturnCount(); ++i) {
        const uint8_t type = list->GetReturnType(i);
        const uint32_t size = list->GetReturnSize(i);
        if (!IsKnownParameterType(type)) return false;
        std::vector<uint8_t> value(std::max<size_t>(size, ParameterTypeSize(type)), 0);
        if (!stream.ReadValue(type, value)) return false;
        if (void* binding = list->GetReturnBinding(i); binding != nullptr && size != 0) {
            std::memcpy(binding, value.data(), size);
        }
        list->SetReturnValue(i, value.data(), size);
    }
    member.SetStatus(STATUS_SUCCEEDED);
    list->SetValid(true);
    return true;
}

void MarkNotExecuted(CKelCommand& member) {
    member.SetStatus(STATUS_IDLE);
    if (CParameterList* list = member.GetSendParameters()) list->SetValid(false);
}

}  // namespace

uint32_t CKelBatchCommand::ComputeAnswerTimeout() const {
    if (batchType_ != BATCH_NORMAL) return kQuietTimeout;
    uint64_t sum = 0;
    for (const auto& member : members_) {
        // One member that waits without limit lets the whole batch wait without limit.
        if (member->GetAnswerTimeout() == 0) return 0;
        sum += member->GetAnswerTimeout();
    }
    return static_cast<uint32_t>(std::min<uint64_t>(sum, std::numeric_limits<uint32_t>::max()));
}

bool CKelBatchCommand::BuildMessage() {
    FrameBuffer& message = GetMessageBuffer();
    message[0] = GetDestination();
    message[4] = BatchTypeCode(batchType_);
    if (batchType_ == BATCH_QUIET_READ) return BuildFrame(0);

    CMessageStream stream = CMessageStream::ForMessage(message);
    for (const auto& member : members_) {
        const CParameterList* list = member->GetSendParameters();
        if (list == nullptr) return false;
        // The stream refuses any byte beyond the 1023 a frame carries; the limit is counted in
        // the bytes that are actually sent.
        bool fits = stream.WriteByte(member->GetCode());
        for (size_t i = 0; fits && i < list->GetSendCount(); ++i) {
            fits = WriteValue(stream, list->GetSendType(i), list->GetSendValue(i));
        }
        if (!fits) {
            CurrentPrompt().ShowMessage(kTooLongText);
            return false;
        }
    }
    return BuildFrame(stream.Count());
}

int CKelBatchCommand::DecodeAnswer() {
    if (batchType_ == BATCH_QUIET_SEND) return 1;
    if (!IsAnswerReceived()) {
        for (const auto& member : members_) member->SetStatus(STATUS_FAILED);
        return 0;
    }
    const FrameBuffer& answer = GetAnswerBuffer();
    const size_t length = std::min<size_t>(GetAnswerLength(), kMaxDataLength);
    const bool stopped = answer[4] == kBatchFailType && length >= kFailureRecordSize;
    const size_t resultsEnd = stopped ? length - kFailureRecordSize : length;

    // Which members the unit executed: those whose results lie wholly before the end.
    size_t executed = 0;
    size_t position = 0;
    for (const auto& member : members_) {
        const size_t bytes = ResultBytes(*member);
        if (position + bytes > resultsEnd) break;
        position += bytes;
        ++executed;
    }
    const bool hasFailed = stopped && position == resultsEnd && executed < members_.size();

    CMessageStream stream =
        CMessageStream::Reader(std::span<const uint8_t>(answer.data() + kDataOffset, resultsEnd));
    for (size_t i = 0; i < executed; ++i) {
        if (!ReadMemberResults(stream, *members_[i])) return 0;
    }
    size_t next = executed;
    if (hasFailed) {
        const uint8_t* record = answer.data() + kDataOffset + resultsEnd;
        CKelCommand& failed = *members_[next++];
        failed.SetStatus(STATUS_FAILED);
        failed.SetWarning(static_cast<int16_t>((record[1] << 8) | record[2]));
        if (CParameterList* list = failed.GetSendParameters()) list->SetValid(false);
    }
    for (; next < members_.size(); ++next) MarkNotExecuted(*members_[next]);
    return 1;
}

}  // namespace kelcmd
