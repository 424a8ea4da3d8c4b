#include "sim/batch/batch_handler.h"

#include <memory>
#include <mutex>

#include "sim/batch/member_sizes.h"
#include "sim/sim_unit.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {
namespace {

// The warning a refusal carries in its last two data bytes.
uint16_t RefusalWarning(const SimAnswer& answer) {
    const size_t n = answer.data.size();
    return n >= 2 ? static_cast<uint16_t>((answer.data[n - 2] << 8) | answer.data[n - 1]) : 0;
}

SimAnswer Stopped(std::vector<uint8_t> results, uint8_t code, uint16_t warning) {
    results.push_back(code);
    results.push_back(static_cast<uint8_t>(warning >> 8));
    results.push_back(static_cast<uint8_t>(warning));
    SimAnswer answer;
    answer.mtype = BATCH_FAIL;
    answer.data = std::move(results);
    return answer;
}

// Runs the members in order through the unit's own handlers and collects their results.
SimAnswer RunBatch(SimUnit& unit, uint8_t answerType, std::span<const uint8_t> data) {
    const BatchSplit split = SplitBatch(data);
    std::vector<uint8_t> results;
    std::chrono::microseconds delay{};
    // Each member runs when the ones before it have finished waiting.
    struct ElapsedReset {
        SimUnit& unit;
        ~ElapsedReset() { unit.SetBatchElapsed({}); }
    } reset{unit};
    for (const BatchMember& member : split.members) {
        unit.SetBatchElapsed(delay);
        SimAnswer answer = unit.RunCommand(member.code, member.data);
        delay += answer.simulatedDelay;
        const bool positive = answer.mtype == member.code || !answer.sendsFrame;
        if (!positive) {
            SimAnswer stopped = Stopped(std::move(results), member.code, RefusalWarning(answer));
            stopped.simulatedDelay = delay;
            return stopped;
        }
        // Results that no frame could carry end the batch as a wrong length would.
        if (results.size() + 1 + answer.data.size() + 3 > kMaxFrameData) {
            return Stopped(std::move(results), member.code, WARN_SYNTAX);
        }
        results.push_back(member.code);
        if (answer.sendsFrame)
            results.insert(results.end(), answer.data.begin(), answer.data.end());
    }
    if (split.stopCode) {
        return Stopped(std::move(results), *split.stopCode,
                       split.unknownCode ? WARN_UNKNOWN : WARN_SYNTAX);
    }
    SimAnswer answer = PositiveAnswer(answerType, std::move(results));
    answer.simulatedDelay = delay;
    return answer;
}

// The answer of the quiet batch executed last, kept per unit.
struct QuietMemory {
    std::mutex lock;
    SimAnswer last = PositiveAnswer(kQuietBatchCode);
};

}  // namespace

void InstallBatchHandler(SimUnit& unit) {
    unit.SetHandler(kBatchCode, [](SimUnit& target, std::span<const uint8_t> data) {
        return RunBatch(target, kBatchCode, data);
    });
    auto memory = std::make_shared<QuietMemory>();
    unit.SetHandler(kQuietBatchCode, [memory](SimUnit& target, std::span<const uint8_t> data) {
        if (data.empty()) {
            std::lock_guard guard(memory->lock);
            SimAnswer kept = memory->last;
            kept.simulatedDelay = {};
            return kept;
        }
        SimAnswer executed = RunBatch(target, kQuietBatchCode, data);
        {
            std::lock_guard guard(memory->lock);
            memory->last = executed;
        }
        SimAnswer sent = PositiveAnswer(kQuietBatchCode);
        sent.simulatedDelay = executed.simulatedDelay;
        return sent;
    });
}

}  // namespace kelcmd::sim
