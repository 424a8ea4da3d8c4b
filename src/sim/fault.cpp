#include "sim/fault.h"

#include <algorithm>

namespace kelcmd::sim {
namespace {

uint8_t ByteParameter(const std::optional<uint32_t>& parameter, uint8_t fallback) {
    return parameter ? static_cast<uint8_t>(*parameter) : fallback;
}

void Apply(Fault fault, const std::optional<uint32_t>& parameter, FrameFaults& faults) {
    switch (fault) {
        case Fault::DropAck:
            faults.dropAck = true;
            break;
        case Fault::CorruptAck:
            faults.ackValue = ByteParameter(parameter, 0x00);
            break;
        case Fault::NakAck:
            faults.nak = true;
            break;
        case Fault::Silent:
            faults.silent = true;
            break;
        case Fault::AckNoAnswer:
            faults.dropAnswer = true;
            break;
        case Fault::LateAnswer:
            faults.extraDelayMs = std::max(faults.extraDelayMs, parameter.value_or(1000));
            break;
        case Fault::CutAnswer:
            faults.cutAfter = parameter.value_or(0);
            break;
        case Fault::CorruptCrc:
            faults.corruptCrc = true;
            break;
        case Fault::CorruptLength:
            faults.corruptLength = true;
            break;
        case Fault::WrongFirstByte:
            faults.firstByte = ByteParameter(parameter, 5);
            break;
    }
}

}  // namespace

void FaultBook::Order(Fault fault, int count, std::optional<uint32_t> parameter) {
    if (count == 0) return;
    orders_.push_back({fault, count < 0 ? kAlways : count, parameter});
}

void FaultBook::SetRandom(const RandomFaults& random) {
    random_ = random;
    generator_.seed(random.seed);
}

void FaultBook::Draw(FrameFaults& faults) {
    if (random_.rate <= 0 ||
        std::uniform_real_distribution<double>(0, 1)(generator_) >= random_.rate) {
        return;
    }
    const auto fault =
        static_cast<Fault>(std::uniform_int_distribution<size_t>(0, kFaultKinds - 1)(generator_));
    std::optional<uint32_t> parameter;
    switch (fault) {
        case Fault::CorruptAck: {
            constexpr uint8_t kNotAcknowledges[] = {0x00, 0x02, 0x42, 0x7F, 0x81};
            parameter = kNotAcknowledges[std::uniform_int_distribution<size_t>(0, 4)(generator_)];
            break;
        }
        case Fault::LateAnswer:
            parameter = random_.lateAnswerMs;
            break;
        case Fault::CutAnswer:
            parameter = std::uniform_int_distribution<uint32_t>(0, 9)(generator_);
            break;
        case Fault::WrongFirstByte:
            parameter = std::uniform_int_distribution<uint32_t>(1, 255)(generator_);
            break;
        default:
            break;
    }
    Apply(fault, parameter, faults);
    ++injected_[static_cast<size_t>(fault)];
}

FrameFaults FaultBook::TakeForFrame() {
    FrameFaults faults;
    for (auto& order : orders_) {
        Apply(order.fault, order.parameter, faults);
        ++injected_[static_cast<size_t>(order.fault)];
        if (order.remaining > 0) --order.remaining;
    }
    std::erase_if(orders_, [](const FaultOrder& order) { return order.remaining == 0; });
    Draw(faults);
    return faults;
}

void DamageAnswer(const FrameFaults& faults, std::vector<uint8_t>& answer) {
    if (answer.size() < 7) return;
    if (faults.firstByte) answer[0] = *faults.firstByte;
    // Changing bit 10 moves the check by one, so bits 0-4, 5-9 and 10-15 no longer add up to 64.
    if (faults.corruptLength) answer[1] ^= 0x04;
    if (faults.corruptCrc) {
        answer[answer.size() - 2] ^= 0xFF;
        answer[answer.size() - 1] ^= 0xFF;
    }
    if (faults.cutAfter && *faults.cutAfter < answer.size()) answer.resize(*faults.cutAfter);
}

}  // namespace kelcmd::sim
