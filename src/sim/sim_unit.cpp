#include "sim/sim_unit.h"

#include "transport/frame.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {
namespace {

constexpr size_t kHeaderSize = 5;

}  // namespace

SimUnit::SimUnit(uint8_t address, const SimClock& clock) : address_(address), clock_(clock) {}

SimUnit::~SimUnit() = default;

bool SimUnit::AddGroup(uint8_t group) {
    if (!IsGroupAddress(group) || group == kAcknowledgedBroadcast) return false;
    std::lock_guard lock(mutex_);
    groups_.insert(group);
    return true;
}

void SimUnit::RemoveGroup(uint8_t group) {
    std::lock_guard lock(mutex_);
    groups_.erase(group);
}

bool SimUnit::Listens(uint8_t dest) const {
    if (dest == address_ || dest == kAcknowledgedBroadcast) return true;
    std::lock_guard lock(mutex_);
    return groups_.contains(dest);
}

void SimUnit::SetAckValue(uint8_t value) {
    std::lock_guard lock(mutex_);
    ackValue_ = value;
}

uint8_t SimUnit::AckValue() const {
    std::lock_guard lock(mutex_);
    return ackValue_;
}

void SimUnit::SetHandler(uint8_t code, CommandHandler handler) {
    std::lock_guard lock(mutex_);
    if (handler) {
        handlers_[code] = std::move(handler);
    } else {
        handlers_.erase(code);
    }
}

void SimUnit::RemoveHandler(uint8_t code) {
    std::lock_guard lock(mutex_);
    handlers_.erase(code);
}

bool SimUnit::HasHandler(uint8_t code) const {
    std::lock_guard lock(mutex_);
    return handlers_.contains(code);
}

void SimUnit::Misbehave(Fault fault, int count, std::optional<uint32_t> parameter) {
    std::lock_guard lock(mutex_);
    faults_.Order(fault, count, parameter);
}

void SimUnit::MisbehaveAtRandom(const RandomFaults& random) {
    std::lock_guard lock(mutex_);
    faults_.SetRandom(random);
}

void SimUnit::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.Clear();
    faults_.SetRandom({});
}

void SimUnit::SetValue(const std::string& key, int64_t value) {
    std::lock_guard lock(mutex_);
    store_[key] = value;
}

int64_t SimUnit::Value(const std::string& key, int64_t fallback) const {
    std::lock_guard lock(mutex_);
    const auto found = store_.find(key);
    return found == store_.end() ? fallback : found->second;
}

bool SimUnit::HasValue(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return store_.contains(key);
}

void SimUnit::AttachModel(std::unique_ptr<UnitModel> model) {
    if (!model) return;
    model->Install(*this);  // without the lock: installing takes it per handler
    std::lock_guard lock(mutex_);
    if (model_) retiredModels_.push_back(std::move(model_));
    model_ = std::move(model);
}

UnitCounters SimUnit::Counters() const {
    std::lock_guard lock(mutex_);
    UnitCounters counters = counters_;
    counters.faultsInjected = faults_.Injected();
    return counters;
}

std::vector<uint8_t> SimUnit::LastAnswer() const {
    std::lock_guard lock(mutex_);
    return lastAnswer_;
}

std::optional<UnitReply> SimUnit::OnLineByte(uint8_t byte, bool ninthBit) {
    const bool addressed = ninthBit && Listens(byte);
    switch (assembler_.Feed(byte, ninthBit, addressed)) {
        case FrameAssembler::Result::Complete:
            return OnFrame(assembler_.Frame());
        case FrameAssembler::Result::BadLength:
            return Nak(assembler_.Frame()[0]);
        default:
            return std::nullopt;
    }
}

std::optional<UnitReply> SimUnit::Nak(uint8_t dest) {
    {
        std::lock_guard lock(mutex_);
        ++counters_.framesRejected;
    }
    if (!AcknowledgesRequests(dest)) return std::nullopt;
    UnitReply reply;
    reply.ack = {kNak};
    return reply;
}

std::optional<UnitReply> SimUnit::OnFrame(std::span<const uint8_t> frame) {
    const uint8_t dest = frame[0];
    const uint8_t mtype = frame[4];
    const auto data = frame.subspan(kHeaderSize, frame.size() - kHeaderSize - 2);
    const auto crc = static_cast<uint16_t>((frame[frame.size() - 2] << 8) | frame.back());
    if (FrameCrc(frame.first(frame.size() - 2)) != crc) return Nak(dest);

    if (!AcknowledgesRequests(dest)) {
        // A group frame: every member runs the command, none of them replies.
        Execute(mtype, data);
        return std::nullopt;
    }

    FrameFaults faults;
    uint8_t ackValue;
    {
        std::lock_guard lock(mutex_);
        faults = faults_.TakeForFrame();
        ackValue = ackValue_;
        if (!faults.silent) ++counters_.framesTaken;
    }
    if (faults.silent) return std::nullopt;
    UnitReply reply;
    if (faults.nak) {
        reply.ack = {kNak};
        return reply;
    }
    if (!faults.dropAck) reply.ack = {faults.ackValue.value_or(ackValue)};

    const bool answers = dest != kAcknowledgedBroadcast && mtype != kAcknowledgeOnlyCode;
    if (mtype == kResendRequestCode && data.empty()) {
        std::lock_guard lock(mutex_);
        ++counters_.resendsServed;
        if (answers) reply.answer = lastAnswer_;
    } else {
        const SimAnswer answer = Execute(mtype, data);
        if (answers && answer.sendsFrame) {
            reply.answer = EncodeAnswerFrame(address_, answer.mtype, answer.data);
            reply.answerDelay = clock_.RealDuration(answer.simulatedDelay);
            std::lock_guard lock(mutex_);
            lastAnswer_ = reply.answer;
        }
    }
    if (faults.dropAnswer) reply.answer.clear();
    reply.answerDelay += std::chrono::milliseconds(faults.extraDelayMs);
    DamageAnswer(faults, reply.answer);
    return reply;
}

SimAnswer SimUnit::Execute(uint8_t code, std::span<const uint8_t> data) {
    CommandHandler handler;
    {
        std::lock_guard lock(mutex_);
        ++counters_.commandsExecuted;
        const auto found = handlers_.find(code);
        if (found != handlers_.end()) handler = found->second;
    }
    if (!handler) return RefusalAnswer(UNKNOWN, WARN_UNKNOWN);
    try {
        return handler(*this, data);
    } catch (...) {
        // A handler that cannot make sense of the data refuses it rather than stopping the bus.
        return RefusalAnswer(BAD_PRM, WARN_SYNTAX);
    }
}

}  // namespace kelcmd::sim
