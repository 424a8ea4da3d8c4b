// Mixed commands (reads, moves, parameter writes and reads, stacked batches) against a simulated
// drive while faults of every kind the bus can inject hit about 3% of the frames. No success may
// carry a wrong value, and the first exchange that no fault hit after one that a fault hit must
// succeed. KELCMD_SOAK_EXCHANGES sets the number of exchanges (3000 by default).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <thread>

#include "kelcmd/kelcmd.h"
#include "sim/drive/drive_model.h"
#include "sim/fault.h"
#include "sim/params/parameter_unit.h"
#include "sim_port.h"

namespace kelcmd::testing {
namespace {

constexpr uint32_t kCharacterTimeout = 20;  // ms
constexpr uint32_t kMoveTimeout = 100;      // ms, as the other commands' default
// Later than the wait for the first answer byte (100 + 20 ms), within the quiet time kept after.
constexpr uint32_t kLateAnswerMs = 180;
constexpr double kFaultRate = 0.03;
constexpr uint8_t kGainP = 25;  // Int parameters the soak writes and reads
constexpr uint8_t kGainI = 26;

const char* const kFaultNames[sim::kFaultKinds] = {
    "DropAck",    "CorruptAck", "NakAck",     "Silent",        "AckNoAnswer",
    "LateAnswer", "CutAnswer",  "CorruptCrc", "CorruptLength", "WrongFirstByte"};

// The result code of the last failed execution, from the port's error callback.
uint8_t lastFailure = 0;
void OnFailure(uint8_t, uint8_t error, int16_t, uint32_t) {
    lastFailure = error;
}

uint64_t SoakExchanges() {
    const char* text = std::getenv("KELCMD_SOAK_EXCHANGES");
    const uint64_t count = text != nullptr ? std::strtoull(text, nullptr, 10) : 0;
    return count != 0 ? count : 3000;
}

struct Tally {
    uint64_t successes = 0;
    std::map<int, uint64_t> failuresByCode;
    uint64_t wrongValues = 0;
    uint64_t recoveriesChecked = 0;
    uint64_t recoveriesFailed = 0;
};

class Soak {
  public:
    Soak() : port_(59, "1,speed=100000", kCharacterTimeout) {
        // RTS control as by default, at a rate whose gaps are short.
        reopened_ = KEB_InitKelBus(57600, Name(), KEB_RTS_CONTROL, kCharacterTimeout, 4);
        unit_ = &port_.Unit(1);
        drive_ = unit_->ModelAs<sim::DriveModel>();
        memory_ = sim::ParameterMemoryOf(*unit_);
        port_.Port()->SetErrorCallback(&OnFailure);
    }
    bool Ready() const {
        return port_.openResult == 0 && reopened_ == 0 && drive_ != nullptr && memory_ != nullptr;
    }
    const char* Name() const { return port_.name.c_str(); }
    sim::SimUnit& Unit() { return *unit_; }

    // One exchange of a kind drawn from `random`: whether it succeeded; a success whose values
    // differ from the unit's counts in `wrong`.
    bool Exchange(std::mt19937& random, uint64_t& wrong) {
        switch (std::uniform_int_distribution<int>(0, 4)(random)) {
            case 0:
                return ReadPosition(wrong);
            case 1:
                return Move(std::uniform_int_distribution<int32_t>(-20000, 20000)(random), wrong);
            case 2:
                return SetGain(
                    std::uniform_int_distribution<int>(0, 1)(random) ? kGainP : kGainI,
                    static_cast<int16_t>(std::uniform_int_distribution<int>(1, 30000)(random)),
                    wrong);
            case 3:
                return ReadGain(std::uniform_int_distribution<int>(0, 1)(random) ? kGainP : kGainI,
                                wrong);
            default:
                return Batch(wrong);
        }
    }

  private:
    int64_t Gain(uint8_t number) const { return memory_->TemporaryValue(number).value_or(-1); }

    bool ReadPosition(uint64_t& wrong) {
        const bool stillBefore = !drive_->Moving();
        int32_t position = 0;
        if (MP_ReadPosition(Name(), 1, &position) == 0) return false;
        if (stillBefore && !drive_->Moving() && position != drive_->PositionIs()) ++wrong;
        return true;
    }

    bool Move(int32_t target, uint64_t& wrong) {
        if (MP_MoveAbsolute(Name(), 1, target, kMoveTimeout) == 0) return false;
        // The move ends in a few milliseconds of real time at this bus's speed.
        for (int i = 0; i < 1000 && drive_->Moving(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (drive_->Position() != target) ++wrong;
        return true;
    }

    bool SetGain(uint8_t number, int16_t value, uint64_t& wrong) {
        if (MP_SetTempParam(Name(), 1, number, value) == 0) return false;
        if (Gain(number) != value) ++wrong;
        return true;
    }

    bool ReadGain(uint8_t number, uint64_t& wrong) {
        int16_t value = 0;
        if (MP_ReadTempParam(Name(), 1, number, &value) == 0) return false;
        if (value != Gain(number)) ++wrong;
        return true;
    }

    bool Batch(uint64_t& wrong) {
        const bool stillBefore = !drive_->Moving();
        int16_t gainP = 0;
        int16_t gainI = 0;
        int32_t position = 0;
        MP_StartStackingCommands(Name(), 1);
        MP_ReadTempParam(Name(), 1, kGainP, &gainP);
        MP_ReadPosition(Name(), 1, &position);
        MP_ReadTempParam(Name(), 1, kGainI, &gainI);
        if (MP_ExecuteCommandStack(Name(), 1) == 0) return false;
        if (gainP != Gain(kGainP) || gainI != Gain(kGainI)) ++wrong;
        if (stillBefore && !drive_->Moving() && position != drive_->PositionIs()) ++wrong;
        return true;
    }

    SimPort port_;
    uint8_t reopened_ = 255;
    sim::SimUnit* unit_ = nullptr;
    sim::DriveModel* drive_ = nullptr;
    std::shared_ptr<sim::ParameterMemory> memory_;
};

uint64_t FaultsSoFar(const sim::SimUnit& unit) {
    const auto injected = unit.Counters().faultsInjected;
    return std::accumulate(injected.begin(), injected.end(), uint64_t{0});
}

TEST(FaultSoak, NoWrongValueAndEveryFaultIsRecovered) {
    Soak soak;
    ASSERT_TRUE(soak.Ready());
    ASSERT_EQ(MP_SetRegMode(soak.Name(), 1, 2), 1);
    soak.Unit().MisbehaveAtRandom({kFaultRate, 20240611, kLateAnswerMs});

    const uint64_t exchanges = SoakExchanges();
    std::mt19937 random(7);
    Tally tally;
    bool previousHit = false;
    const auto start = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < exchanges; ++i) {
        const uint64_t faultsBefore = FaultsSoFar(soak.Unit());
        lastFailure = 0;
        const bool succeeded = soak.Exchange(random, tally.wrongValues);
        const bool hit = FaultsSoFar(soak.Unit()) != faultsBefore;
        if (succeeded) {
            ++tally.successes;
        } else {
            ++tally.failuresByCode[lastFailure];
        }
        if (previousHit && !hit) {
            ++tally.recoveriesChecked;
            if (!succeeded) ++tally.recoveriesFailed;
        }
        previousHit = hit;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto injected = soak.Unit().Counters().faultsInjected;
    const uint64_t frames = soak.Unit().Counters().framesTaken;
    std::printf("soak: %llu exchanges in %.1f s, %llu frames taken by the unit\n",
                static_cast<unsigned long long>(exchanges), seconds,
                static_cast<unsigned long long>(frames));
    std::printf("  successes %llu, wrong values %llu, recoveries checked %llu (failed %llu)\n",
                static_cast<unsigned long long>(tally.successes),
                static_cast<unsigned long long>(tally.wrongValues),
                static_cast<unsigned long long>(tally.recoveriesChecked),
                static_cast<unsigned long long>(tally.recoveriesFailed));
    for (const auto& [code, count] : tally.failuresByCode) {
        std::printf("  failures with code %d: %llu\n", code,
                    static_cast<unsigned long long>(count));
    }
    for (size_t kind = 0; kind < sim::kFaultKinds; ++kind) {
        std::printf("  fault %-15s %llu\n", kFaultNames[kind],
                    static_cast<unsigned long long>(injected[kind]));
    }

    EXPECT_EQ(tally.wrongValues, 0u);
    EXPECT_EQ(tally.recoveriesFailed, 0u);
    EXPECT_GT(tally.recoveriesChecked, 0u);
    for (size_t kind = 0; kind < sim::kFaultKinds; ++kind) {
        EXPECT_GT(injected[kind], 0u) << kFaultNames[kind];
    }
}

}  // namespace
}  // namespace kelcmd::testing
