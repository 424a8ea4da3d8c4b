#pragma once

// Talks to simulated drives with real frames through the packet protocol, and decodes answers.

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/drive/drive_codes.h"
#include "sim/drive/drive_model.h"
#include "support/sim_line.h"
#include "transport/packet_protocol.h"

namespace kelcmd::sim::testing {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

inline Bytes Be16(uint16_t value) {
    return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}
inline Bytes Be32(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}
inline Bytes Int32(int32_t value) {
    return Be32(static_cast<uint32_t>(value));
}
inline Bytes FloatBits(float value) {
    return Be32(std::bit_cast<uint32_t>(value));
}
inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// What came back for one request.
struct Reply {
    uint8_t result = 255;  // the transfer's result code
    bool answered = false;
    uint8_t mtype = 0;
    Bytes data;

    bool Positive(uint8_t code) const { return result == 0 && answered && mtype == code; }
    // The warning of a refusal: the last two data bytes.
    int Warning() const {
        if (data.size() < 2) return -1;
        return static_cast<int16_t>((data[data.size() - 2] << 8) | data.back());
    }
    uint32_t U32(size_t at) const {
        return (uint32_t{data.at(at)} << 24) | (uint32_t{data.at(at + 1)} << 16) |
               (uint32_t{data.at(at + 2)} << 8) | data.at(at + 3);
    }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
    uint16_t U16(size_t at) const {
        return static_cast<uint16_t>((data.at(at) << 8) | data.at(at + 1));
    }
    int16_t I16(size_t at) const { return static_cast<int16_t>(U16(at)); }
    float F32(size_t at) const { return std::bit_cast<float>(U32(at)); }
};

// Simulated time all but stands still: it moves on only by AdvanceTime, so positions are exact.
constexpr double kFrozen = 1e-9;

// A bus with drives at `addresses`, simulated time at `speed` times real time.
class DriveBench {
  public:
    explicit DriveBench(const std::string& addresses = "1", double speed = kFrozen)
        : sim(addresses) {
        sim.bus->Clock().SetSpeed(speed);
    }

    DriveModel& Drive(uint8_t address = 1) {
        DriveModel* drive = sim.Unit(address).ModelAs<DriveModel>();
        if (!drive) throw std::runtime_error("no drive model");
        return *drive;
    }

    Reply Send(uint8_t code, const Bytes& data = {}, uint8_t dest = 1,
               uint32_t answerTimeout = 5000) {
        auto request = kelcmd::testing::MakeRequest(dest, code, data, answerTimeout);
        Reply reply;
        reply.result = Transfer(sim.line, 4, request->Exchange());
        reply.answered = request->IsAnswerReceived();
        if (reply.answered) {
            const auto& answer = request->GetAnswerBuffer();
            reply.mtype = answer[4];
            const auto begin = answer.begin() + kDataOffset;
            reply.data.assign(begin, begin + request->GetAnswerLength());
        }
        return reply;
    }

    // Sends and expects a positive answer.
    Reply Do(uint8_t code, const Bytes& data = {}, uint8_t dest = 1) {
        Reply reply = Send(code, data, dest);
        EXPECT_TRUE(reply.Positive(code))
            << "code " << int(code) << ": result " << int(reply.result) << ", mtype "
            << int(reply.mtype) << ", warning " << reply.Warning();
        return reply;
    }

    int32_t Position(uint8_t dest = 1) { return Do(drive::kReadPositionMust, {}, dest).I32(0); }
    uint16_t Status(uint8_t dest = 1) { return Do(drive::kReadAxisStatus, {}, dest).U16(0); }
    int Error(uint8_t dest = 1) { return Do(drive::kReadError, {}, dest).I16(0); }
    int Warning(uint8_t dest = 1) { return Do(drive::kReadWarning, {}, dest).I16(0); }

    void Profile(uint8_t type, float accel, float decel, float ceiling) {
        Do(drive::kSetProfile, Join({{type}, FloatBits(accel), FloatBits(decel)}));
        Do(drive::kSetPosVelocity, FloatBits(ceiling));
    }
    void WaitMode(uint8_t mode, uint8_t dest = 1) { Do(drive::kSetWaitMode, {mode}, dest); }

    // Simulated time that passes while `send` runs.
    template <class Send>
    std::chrono::microseconds SimulatedTimeOf(Send send) {
        const auto before = sim.bus->Clock().Now();
        send();
        return sim.bus->Clock().Now() - before;
    }

    kelcmd::testing::SimLine sim;
};

}  // namespace kelcmd::sim::testing
