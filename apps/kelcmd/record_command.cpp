#include "record_command.h"

#include <chrono>
#include <cstdio>
#include <limits>
#include <optional>
#include <thread>

#include "api/recorded_data.h"
#include "api/recorded_data_file.h"
#include "api/recorder_family.h"
#include "api/recording_readout.h"
#include "hex.h"
#include "kelcmd/kelcmd.h"
#include "output_file.h"

namespace kelcmd::app {
namespace {

constexpr const char* kUsage = "usage: kelcmd record [--samples N] [--period MS] OUT\n";
constexpr uint8_t kPositionAndVelocity = 1;  // recorder set-up: which signals
constexpr uint8_t kNoAutoRecord = 0;
constexpr uint8_t kPositionRegulator = 0;  // RecordData: sample in the position regulator
constexpr uint8_t kPositionRegulation = 2;
constexpr uint8_t kTrapezoidProfile = 0;
constexpr float kAcceleration = 1.0F;     // qc/ms^2
constexpr int32_t kMoveDistance = 2000;   // qc
constexpr uint32_t kMoveTimeout = 10000;  // ms
// How long the recording may take beyond its own length before the program gives up.
constexpr auto kRecordingGrace = std::chrono::seconds(5);

struct RecordArguments {
    std::optional<uint32_t> samples;  // unset: the whole recording
    uint32_t period = 1;              // ms
    std::string out;
};

std::optional<RecordArguments> Parse(const std::vector<std::string>& arguments) {
    RecordArguments parsed;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--samples" || word == "--period") {
            if (i + 1 >= arguments.size()) {
                std::fprintf(stderr, "kelcmd: record: %s needs a value\n%s", word.c_str(), kUsage);
                return std::nullopt;
            }
            const auto value = ParseNumber(arguments[++i], 65535);
            if (!value || *value == 0) {
                std::fprintf(stderr, "kelcmd: record: %s: '%s' is not a number from 1 to 65535\n%s",
                             word.c_str(), arguments[i].c_str(), kUsage);
                return std::nullopt;
            }
            if (word == "--samples") {
                parsed.samples = *value;
            } else {
                parsed.period = *value;
            }
        } else if (word.rfind("--", 0) == 0) {
            std::fprintf(stderr, "kelcmd: record: unknown option '%s'\n%s", word.c_str(), kUsage);
            return std::nullopt;
        } else if (!parsed.out.empty()) {
            std::fprintf(stderr, "kelcmd: record: extra argument '%s'\n%s", word.c_str(), kUsage);
            return std::nullopt;
        } else {
            parsed.out = word;
        }
    }
    if (parsed.out.empty()) {
        std::fprintf(stderr, "kelcmd: record: needs OUT, the name of the files to write\n%s",
                     kUsage);
        return std::nullopt;
    }
    return parsed;
}

bool Step(const char* what, int32_t result) {
    std::printf("%-40s %s\n", what, result != 0 ? "ok" : "failed");
    return result != 0;
}

// Moves by kMoveDistance; a unit whose position regulation is off, or that has no profile yet,
// refuses the move, so those are set and the move is tried once more.
bool Move(const char* port, uint8_t slave) {
    if (Step("MoveRelative 2000 qc", MP_MoveRelative(port, slave, kMoveDistance, kMoveTimeout))) {
        return true;
    }
    if (!Step("SetRegMode position regulation", MP_SetRegMode(port, slave, kPositionRegulation)) ||
        !Step("SetProfile trapezoid, 1 qc/ms^2",
              MP_SetProfile(port, slave, kTrapezoidProfile, kAcceleration, kAcceleration))) {
        return false;
    }
    return Step("MoveRelative 2000 qc", MP_MoveRelative(port, slave, kMoveDistance, kMoveTimeout));
}

// Polls the recorder until it has finished or holds `wanted` samples per vector; the samples it
// holds then.
std::optional<uint32_t> WaitForRecording(const char* port, uint8_t slave, uint32_t wanted,
                                         uint32_t periodMs) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(uint64_t{wanted} * periodMs) + kRecordingGrace;
    for (;;) {
        uint8_t terminated = 0;
        uint16_t samples = 0;
        uint32_t periodUs = 0;
        if (MP_ReadNbOfSamples(port, slave, &terminated, &samples, &periodUs) == 0) {
            std::fprintf(stderr, "kelcmd: ReadNbOfSamples failed\n");
            return std::nullopt;
        }
        if (terminated != 0 && samples == 0) {
            std::fprintf(stderr, "kelcmd: the unit holds no recording\n");
            return std::nullopt;
        }
        if (terminated != 0 || samples >= wanted) {
            std::printf("recording %s: %u samples per vector, period %u us\n",
                        terminated != 0 ? "finished" : "running", samples, periodUs);
            return samples;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "kelcmd: the recording did not finish (%u samples so far)\n",
                         samples);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace

int RunRecord(Session& session, const std::vector<std::string>& arguments) {
    const auto parsed = Parse(arguments);
    if (!parsed) return 2;
    // Both outputs are opened before the unit moves, so that a path that cannot be written does
    // not cost a whole recording.
    OutputFile rda;
    OutputFile txt;
    if (!rda.Open(parsed->out + ".rda") || !txt.Open(parsed->out + ".txt")) return 1;
    const char* port = session.options().port.c_str();
    const uint8_t slave = session.options().slave;

    char setup[64];
    std::snprintf(setup, sizeof setup, "SetupRecorder period %u ms", parsed->period);
    if (!Step(setup, MP_SetupRecorder(port, slave, static_cast<uint16_t>(parsed->period),
                                      kPositionAndVelocity, kNoAutoRecord))) {
        return 1;
    }
    // Started explicitly rather than by auto-record, so that the recording begins here whether or
    // not the unit starts one at movement commands.
    if (!Step("RecordData position regulator", MP_RecordData(port, slave, kPositionRegulator))) {
        return 1;
    }
    if (!Move(port, slave)) return 1;
    const uint32_t wanted = parsed->samples.value_or(std::numeric_limits<uint16_t>::max());
    const auto recorded = WaitForRecording(port, slave, wanted, parsed->period);
    if (!recorded) return 1;
    // A finished recording shorter than asked for is as long as the unit's recorder holds.
    if (parsed->samples && *recorded < *parsed->samples) {
        std::fprintf(stderr,
                     "kelcmd: record: the unit records at most %u samples per vector, not %u\n",
                     *recorded, *parsed->samples);
    }

    // Pieces go straight into the data set, at most `wanted` samples per vector.
    CRecordedData data;
    const auto size = ReadRecordingPieces(
        &RecordingFamily(), session.options().port, slave,
        [&data](const RecordingSize& read, uint8_t vector, uint8_t signal,
                std::span<const int16_t> samples) {
            const TimeBase base = TimeBaseOfMicroseconds(read.periodUs);
            data.AppendSamples(vector, signal, samples, base.period, base.unit);
        },
        wanted);
    if (!size || data.Empty()) {
        std::fprintf(stderr, "kelcmd: %s\n", kDisplayRecordedDataError);
        return 1;
    }
    for (const RecordedCurve& curve : data.Curves()) {
        std::printf("vector %u: %-16s %zu samples, period %u %s\n", curve.vector,
                    curve.name.c_str(), curve.points.size(), curve.period, curve.timeUnit.c_str());
    }

    const std::vector<uint8_t> image = StoreRecordedData(data);
    if (!rda.Write(image)) return 1;
    std::printf("wrote %s\n", rda.path().c_str());
    const std::string text = RecordedDataText(data);
    if (!txt.Write(
            std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()))) {
        return 1;
    }
    std::printf("wrote %s\n", txt.path().c_str());
    return 0;
}

}  // namespace kelcmd::app
