// Decodes arbitrary answers into a batch of members with return parameters of every fixed width.
// The first byte chooses the answer's mtype, the rest is its data. No crash, no read outside the
// answer, and every member ends in one of the three statuses a decode gives.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "command/kel_batch_command.h"
#include "command/kel_standard_command.h"
#include "command/parameter_types.h"

namespace {

std::unique_ptr<kelcmd::CKelStandardCommand> Member(uint8_t code, uint8_t type, uint32_t size) {
    auto member = std::make_unique<kelcmd::CKelStandardCommand>();
    member->SetCommand("Member", code, 0, 0);
    member->AddReturnParameter("value", type, size);
    return member;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static uint32_t sink[64];
    kelcmd::CKelBatchCommand batch;
    batch.AppendCommand(Member(48, kelcmd::TYPE_LINT, 4));
    batch.AppendCommand(Member(74, kelcmd::TYPE_BITS8, 1));
    batch.AppendCommand(Member(12, kelcmd::TYPE_INT, 2));
    batch.AppendCommand(Member(9, kelcmd::TYPE_BYTE_ARRAY, 7));
    batch.AppendCommand(Member(8, kelcmd::TYPE_INT_ARRAY, 9));
    for (size_t i = 0; i < batch.GetCommandCount(); ++i) {
        static_cast<kelcmd::CKelStandardCommand*>(batch.GetCommand(i))->BindReturnValue(0, sink);
    }
    kelcmd::FrameBuffer& answer = batch.GetAnswerBuffer();
    answer[4] = data[0];
    const size_t length = std::min<size_t>(size - 1, kelcmd::kMaxDataLength);
    std::copy(data + 1, data + 1 + length, answer.begin() + kelcmd::kDataOffset);
    batch.SetAnswerLength(static_cast<uint16_t>(length));
    batch.SetAnswerReceived(true);
    batch.DecodeAnswer();
    for (const auto& member : batch.GetCommands()) {
        if (member->GetStatus() > kelcmd::STATUS_FAILED) std::abort();
    }
    return 0;
}
