#include "command/parameter_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "command/message_stream.h"
#include "command/parameter_types.h"

namespace kelcmd {

namespace {

// The bytes a value of the type occupies at least in memory: the width of the number types, 0 for
// the others (their value is whatever the parameter holds).
size_t MinimumValueBytes(uint8_t type) {
    switch (type) {
        case TYPE_SYSPARAM:
        case TYPE_SYSPARAM_EX:
        case TYPE_INT_ARRAY:
        case TYPE_BYTE_ARRAY:
            return 0;
        default:
            return IsKnownParameterType(type) ? ParameterTypeSize(type) : 0;
    }
}

bool WriteParameter(CMessageStream& stream, uint8_t type, std::span<const uint8_t> value) {
    const size_t minimum = MinimumValueBytes(type);
    if (value.size() >= minimum) return stream.WriteValue(type, value);
    // A value stored shorter than its type (a caller wrote fewer bytes) goes as if zero-padded
    // rather than reading past its buffer.
    std::vector<uint8_t> padded(value.begin(), value.end());
    padded.resize(minimum, 0);
    return stream.WriteValue(type, padded);
}

}  // namespace

bool BuildParameterMessage(CKelCommand& command, const CParameterList* list) {
    FrameBuffer& message = command.GetMessageBuffer();
    message[0] = command.GetDestination();
    message[4] = command.GetCode();
    CMessageStream stream = CMessageStream::ForMessage(message);
    if (list != nullptr) {
        for (size_t i = 0; i < list->GetSendCount(); ++i) {
            if (!WriteParameter(stream, list->GetSendType(i), list->GetSendValue(i))) return false;
        }
    }
    return command.BuildFrame(stream.Count());
}

bool BuildCatalogueMessage(CKelCommand& command, const CParameterList* list) {
    command.SetStatus(STATUS_IDLE);
    command.SetStartTime(0);
    command.SetEndTime(0);
    command.SetError(0);
    command.SetWarning(0);
    command.SetTrials(1);
    return BuildParameterMessage(command, list);
}

// Whether the answer's data holds the fixed-size return values that come before any array, read
// as the decode reads them. Bytes beyond the answer's length are left over from earlier frames.
// Arrays ("Int[N]", "Byte[N]") are as long as the unit makes them, so from there on anything goes.
bool AnswerHoldsReturnValues(const CKelCommand& command, const CParameterList& list) {
    CMessageStream stream =
        CMessageStream::ForAnswer(command.GetAnswerBuffer(), command.GetAnswerLength());
    for (size_t i = 0; i < list.GetReturnCount(); ++i) {
        const uint8_t type = list.GetReturnType(i);
        if (!IsKnownParameterType(type) || type == TYPE_INT_ARRAY || type == TYPE_BYTE_ARRAY) {
            return true;
        }
        std::vector<uint8_t> scratch(
            std::max<size_t>(list.GetReturnSize(i), MinimumValueBytes(type)), 0);
        if (!stream.ReadValue(type, scratch)) return false;
    }
    return true;
}

DecodeResult DecodeParameterAnswer(const CKelCommand& command, CParameterList& list) {
    if (!command.IsAnswerReceived()) return DecodeResult::kNoAnswer;
    list.SetValid(false);
    // A short answer would fill the caller's variables from stale bytes: nothing is written.
    if (!AnswerHoldsReturnValues(command, list)) return DecodeResult::kShort;
    CMessageStream stream = CMessageStream::ForAnswer(command.GetAnswerBuffer());
    for (size_t i = 0; i < list.GetReturnCount(); ++i) {
        const uint8_t type = list.GetReturnType(i);
        const uint32_t size = list.GetReturnSize(i);
        // Room for the type's width even when the parameter is smaller; only `size` bytes are kept.
        std::vector<uint8_t> value(std::max<size_t>(size, MinimumValueBytes(type)), 0);
        // An unknown type, or a value that would run past the answer's data area, ends the decode
        // before anything of this parameter is written.
        if (!IsKnownParameterType(type) || !stream.ReadValue(type, value)) {
            return DecodeResult::kStopped;
        }
        if (void* binding = list.GetReturnBinding(i); binding != nullptr && size != 0) {
            std::memcpy(binding, value.data(), size);
        }
        list.SetReturnValue(i, value.data(), size);
    }
    list.SetValid(true);
    return DecodeResult::kComplete;
}

}  // namespace kelcmd
