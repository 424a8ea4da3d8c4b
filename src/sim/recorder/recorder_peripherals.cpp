#include "sim/recorder/recorder_peripherals.h"

#include <cstring>
#include <map>
#include <span>
#include <stdexcept>
#include <string>

#include "sim/sim_answer.h"
#include "sim/sim_unit.h"
#include "sim/unit_setup.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {
namespace {

// Reads a request's data most significant byte first; short data throws, and the unit refuses
// the request as a syntax error.
class RequestReader {
  public:
    explicit RequestReader(std::span<const uint8_t> data) : data_(data) {}
    uint32_t Read(size_t width) {
        if (position_ + width > data_.size()) throw std::out_of_range("request too short");
        uint32_t value = 0;
        for (size_t i = 0; i < width; ++i) value = (value << 8) | data_[position_++];
        return value;
    }
    uint8_t Byte() { return static_cast<uint8_t>(Read(1)); }
    uint16_t Word() { return static_cast<uint16_t>(Read(2)); }
    std::span<const uint8_t> Rest() const { return data_.subspan(position_); }

  private:
    std::span<const uint8_t> data_;
    size_t position_ = 0;
};

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value, size_t width) {
    for (size_t i = width; i-- > 0;) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

SimAnswer OutOfRange() {
    return RefusalAnswer(BAD_PRM, WARN_RANGE);
}

// Which peripherals belong to which unit. Units are not told when they die, so entries are
// weak: the handlers hold the peripherals, and they die with the unit.
std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<const SimUnit*, std::weak_ptr<RecorderPeripherals>>& Registry() {
    static std::map<const SimUnit*, std::weak_ptr<RecorderPeripherals>> registry;
    return registry;
}

void Register(const SimUnit& unit, const std::shared_ptr<RecorderPeripherals>& peripherals) {
    std::lock_guard lock(RegistryMutex());
    auto& registry = Registry();
    std::erase_if(registry, [](const auto& entry) { return entry.second.expired(); });
    registry[&unit] = peripherals;
}

using Shared = std::shared_ptr<RecorderPeripherals>;

void InstallRecorder(SimUnit& unit, const Shared& p) {
    unit.SetHandler(0x68, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const uint16_t period = request.Word();
        const uint8_t dataType = request.Byte();
        const uint8_t autoRecord = request.Byte();
        if (!p->recorder.Setup(period, dataType, autoRecord != 0)) return OutOfRange();
        return PositiveAnswer(0x68);
    });
    unit.SetHandler(0x69, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        if (!p->recorder.Start(request.Byte())) return OutOfRange();
        return PositiveAnswer(0x69);
    });
    unit.SetHandler(0x6A, [p](SimUnit&, std::span<const uint8_t>) {
        const SimRecorder::Progress progress = p->recorder.GetProgress();
        std::vector<uint8_t> answer{static_cast<uint8_t>(progress.terminated ? 1 : 0)};
        PutBigEndian(answer, progress.samples, 2);
        PutBigEndian(answer, progress.periodUs, 4);
        return PositiveAnswer(0x6A, answer);
    });
    unit.SetHandler(0x6B, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const uint8_t vector = request.Byte();
        const uint16_t first = request.Word();
        const uint16_t count = request.Word();
        const auto piece = p->recorder.Read(vector, first, count);
        if (!piece) return OutOfRange();
        std::vector<uint8_t> answer{piece->signal};
        for (int16_t sample : piece->samples)
            PutBigEndian(answer, static_cast<uint16_t>(sample), 2);
        return PositiveAnswer(0x6B, answer);
    });
}

void InstallSerial(SimUnit& unit, const Shared& p) {
    unit.SetHandler(0x4B, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const uint8_t sub = request.Byte();
        if (sub == 1) {
            p->serial.Write(std::string(1, static_cast<char>(request.Byte())));
        } else if (sub == 2) {
            const auto bytes = request.Rest();
            p->serial.Write(std::string(bytes.begin(), bytes.end()));
        } else {
            return RefusalAnswer(UNKNOWN, WARN_UNKNOWN);
        }
        return PositiveAnswer(0x4B);
    });
    unit.SetHandler(0x4C, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        switch (request.Byte()) {
            case 0:
                return PositiveAnswer(0x4C, {uint8_t{p->serial.PendingInput() > 0}});
            case 1:  // NUL when nothing came
                return PositiveAnswer(0x4C,
                                      {static_cast<uint8_t>(p->serial.ReadChar().value_or(0))});
            case 2: {  // the line without its end, zero-terminated
                std::string line = p->serial.ReadLine();
                if (line.size() >= kMaxFrameData) line.resize(kMaxFrameData - 1);
                std::vector<uint8_t> answer(line.begin(), line.end());
                answer.push_back(0);
                return PositiveAnswer(0x4C, answer);
            }
            default:
                return RefusalAnswer(UNKNOWN, WARN_UNKNOWN);
        }
    });
    unit.SetHandler(0x4D, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const uint8_t sub = request.Byte();
        std::optional<std::string> text;
        if (sub == 0x16) {
            const uint32_t bits = request.Read(4);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            const auto representation = static_cast<char>(request.Byte());
            const uint8_t totalWidth = request.Byte();
            text = FormatSerialFloat(value, representation, totalWidth, request.Byte());
        } else {
            const size_t width = (sub & 0x0F) == 0 ? 1 : (sub & 0x0F) <= 3 ? 2 : 4;
            const uint32_t value = request.Read(width);
            text = FormatSerialNumber(sub, value, request.Byte());
        }
        if (!text) return RefusalAnswer(BAD_PRM, WARN_SYNTAX);
        p->serial.Write(*text);
        return PositiveAnswer(0x4D);
    });
    unit.SetHandler(0x4E, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const uint8_t sub = request.Byte();
        const std::string line = p->serial.ReadLine();
        const int base = (sub >> 4) == 2 ? 16 : 10;
        std::vector<uint8_t> answer;
        size_t used = 0;
        try {
            switch (sub) {
                case 0x12:
                case 0x22:
                    PutBigEndian(answer, static_cast<uint16_t>(std::stoul(line, &used, base)), 2);
                    break;
                case 0x13:
                    PutBigEndian(answer, static_cast<uint16_t>(std::stoi(line, &used)), 2);
                    break;
                case 0x14:
                case 0x24:
                    PutBigEndian(answer, static_cast<uint32_t>(std::stoul(line, &used, base)), 4);
                    break;
                case 0x15:
                    PutBigEndian(answer, static_cast<uint32_t>(std::stol(line, &used)), 4);
                    break;
                case 0x16: {
                    const float value = std::stof(line, &used);
                    uint32_t bits;
                    std::memcpy(&bits, &value, sizeof bits);
                    PutBigEndian(answer, bits, 4);
                    break;
                }
                default:
                    return RefusalAnswer(UNKNOWN, WARN_UNKNOWN);
            }
        } catch (const std::logic_error&) {
            return RefusalAnswer(BAD_PRM, WARN_SYNTAX);  // no number in the line
        }
        return PositiveAnswer(0x4E, answer);
    });
}

// A run's recording is stored in the recorder and answered after the run's simulated time.
SimAnswer AnswerRun(const Shared& p, uint8_t code, const TestRun& run,
                    std::vector<uint8_t> data = {}) {
    p->recorder.Store(run.signals, run.periodUs, run.samples);
    SimAnswer answer = PositiveAnswer(code, std::move(data));
    answer.simulatedDelay = run.duration;
    return answer;
}

void InstallTuning(SimUnit& unit, const Shared& p) {
    unit.SetHandler(0x60, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const uint8_t toTune = request.Byte();
        const uint8_t startParam = request.Byte();
        const uint8_t costFunction = request.Byte();
        const auto settings =
            CheckAutotuneSettings(toTune, startParam, costFunction, request.Byte());
        if (!settings) return OutOfRange();
        std::lock_guard lock(p->tuningMutex);
        p->tuning = settings;
        return PositiveAnswer(0x60);
    });
    unit.SetHandler(0x61, [p](SimUnit&, std::span<const uint8_t>) {
        std::optional<AutotuneSettings> settings;
        {
            std::lock_guard lock(p->tuningMutex);
            settings = p->tuning;
        }
        if (!settings) return RefusalAnswer(BAD_PRM, WARN_DEF);  // InitAutotune first
        const TestRun run = RunAutotune(*settings);
        {
            std::lock_guard lock(p->tuningMutex);
            p->lastImproveFactor = run.improveFactor;
        }
        std::vector<uint8_t> answer;
        PutBigEndian(answer, static_cast<uint16_t>(run.improveFactor), 2);
        return AnswerRun(p, 0x61, run, answer);
    });
    unit.SetHandler(0x62, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        return AnswerRun(p, 0x62, RunSquareCurrent(request.Word()));
    });
    unit.SetHandler(0x67, [p](SimUnit&, std::span<const uint8_t> data) {
        RequestReader request(data);
        const auto dutyCycle = static_cast<int16_t>(request.Word());
        const bool stay = request.Byte() != 0;
        const auto run = RunPwm(dutyCycle);
        if (!run) return OutOfRange();
        {
            std::lock_guard lock(p->tuningMutex);
            p->pwmDutyCycle = dutyCycle;
            p->pwmMode = stay;
        }
        return AnswerRun(p, 0x67, *run);
    });
}

}  // namespace

void InstallRecorderPeripherals(SimUnit& unit) {
    auto peripherals = std::make_shared<RecorderPeripherals>(unit.Clock());
    InstallRecorder(unit, peripherals);
    InstallSerial(unit, peripherals);
    InstallTuning(unit, peripherals);
    Register(unit, peripherals);
}

std::shared_ptr<RecorderPeripherals> PeripheralsOf(const SimUnit& unit) {
    std::lock_guard lock(RegistryMutex());
    const auto found = Registry().find(&unit);
    return found == Registry().end() ? nullptr : found->second.lock();
}

}  // namespace kelcmd::sim
