#include "fault_dice.h"

#include <charconv>
#include <cmath>

namespace kelcmd::simserver {
namespace {

struct FaultKind {
    const char* name;
    sim::Fault fault;
    const char* help;
};

constexpr FaultKind kFaultKinds[] = {
    {"lost-ack", sim::Fault::DropAck, "no acknowledge; the command still runs and answers"},
    {"bad-ack", sim::Fault::CorruptAck, "acknowledge of another value (PARAMETER, default 0x00)"},
    {"nak", sim::Fault::NakAck, "negative acknowledge; nothing runs, no answer"},
    {"silent", sim::Fault::Silent, "the frame is lost: no acknowledge, no answer"},
    {"lost-answer", sim::Fault::AckNoAnswer, "acknowledge and run, but the answer is lost"},
    {"late-answer", sim::Fault::LateAnswer, "the answer comes PARAMETER ms late (default 1000)"},
    {"cut-answer", sim::Fault::CutAnswer, "the answer stops after PARAMETER bytes (default 0)"},
    {"bad-crc", sim::Fault::CorruptCrc, "both CRC bytes of the answer inverted"},
    {"bad-length", sim::Fault::CorruptLength, "the answer's length word fails its check"},
    {"bad-first-byte", sim::Fault::WrongFirstByte,
     "the answer starts with PARAMETER instead of 0 (default 5)"},
};

std::optional<double> ParseRate(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0 || value > 1) return std::nullopt;
    return value;
}

std::optional<uint32_t> ParseParameter(std::string_view text) {
    uint32_t value = 0;
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<FaultRate> ParseFaultRate(std::string_view text, std::string& error) {
    const size_t firstColon = text.find(':');
    if (firstColon == std::string_view::npos) {
        error = "--fault takes KIND:RATE[:PARAMETER], e.g. lost-ack:0.05";
        return std::nullopt;
    }
    const std::string_view name = text.substr(0, firstColon);
    std::string_view rest = text.substr(firstColon + 1);
    const size_t secondColon = rest.find(':');
    const std::string_view rateText = rest.substr(0, secondColon);

    FaultRate result;
    const FaultKind* kind = nullptr;
    for (const FaultKind& candidate : kFaultKinds) {
        if (name == candidate.name) kind = &candidate;
    }
    if (kind == nullptr) {
        error = "unknown fault kind '" + std::string(name) + "'";
        return std::nullopt;
    }
    result.fault = kind->fault;
    const auto rate = ParseRate(rateText);
    if (!rate) {
        error = "the rate of a fault is a number above 0 and at most 1, not '" +
                std::string(rateText) + "'";
        return std::nullopt;
    }
    result.rate = *rate;
    if (secondColon != std::string_view::npos) {
        const std::string_view parameterText = rest.substr(secondColon + 1);
        result.parameter = ParseParameter(parameterText);
        if (!result.parameter) {
            error =
                "the parameter of a fault is a number, not '" + std::string(parameterText) + "'";
            return std::nullopt;
        }
    }
    return result;
}

std::string FaultKindsHelp() {
    std::string text;
    for (const FaultKind& kind : kFaultKinds) {
        std::string name = kind.name;
        name.resize(16, ' ');
        text += "  " + name + kind.help + "\n";
    }
    return text;
}

FaultDice::FaultDice(std::vector<FaultRate> rates, uint32_t seed)
    : rates_(std::move(rates)), engine_(seed) {}

void FaultDice::Roll(sim::SimUnit& unit) {
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    for (const FaultRate& rate : rates_) {
        // A draw in [0, 1) below a rate of 1 always strikes.
        if (chance(engine_) < rate.rate) unit.Misbehave(rate.fault, 1, rate.parameter);
    }
}

}  // namespace kelcmd::simserver
