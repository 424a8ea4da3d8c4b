#include "sim/params/parameter_unit.h"

#include <map>
#include <mutex>

#include "command/system_parameter_table.h"
#include "sim/sim_unit.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {

namespace {

using Data = std::span<const uint8_t>;
using Memory = std::shared_ptr<ParameterMemory>;

enum Code : uint8_t {
    kReadTempParam = 0x10,
    kReadPermanentParam = 0x11,
    kSetTempParam = 0x12,
    kResetTempParam = 0x14,
    kUpdatePermParam = 0x15,
    kReadAllTempParam = 0x16,
    kReadAllPermParam = 0x17,
    kSetAllTempParam = 0x18,
    kSetAllPermParam = 0x19,
    kReadCurrentGains = 0x1A,
    kSetCurrentGains = 0x1B,
    kReadPositionGains = 0x1C,
    kSetPositionGains = 0x1D,
    kReadVersion = 0x1F,
    kFirstUserCode = 0x70,  // 0x70 to 0x77: read temp, read perm, set temp, set perm; set 1, 2
    kCheckCrc = 0x78,
};

// Parameter numbers of the gains in the temporary set.
constexpr uint8_t kPositionGainP = 25;
constexpr uint8_t kCurrentGainP = 28;

// Units are looked up by address; the memory lives as long as the handlers that hold it.
struct Registry {
    std::mutex mutex;
    std::map<const SimUnit*, std::weak_ptr<ParameterMemory>> memories;
};

Registry& Memories() {
    static Registry registry;
    return registry;
}

SimAnswer WrongLength() {
    return RefusalAnswer(BAD_LEN, WARN_SYNTAX);
}

SimAnswer OutOfRange() {
    return RefusalAnswer(BAD_PRM, WARN_RANGE);
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * (width - 1 - i))));
    }
}

uint32_t GetBigEndian(Data data, size_t offset, uint32_t width) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) value = (value << 8) | data[offset + i];
    return value;
}

SimAnswer ReadSingle(uint8_t code, const ParameterMemory& memory, bool permanent, Data data) {
    if (data.size() != 1) return WrongLength();
    const uint8_t number = data[0];
    const std::optional<uint32_t> bits =
        permanent ? memory.PermanentBits(number) : memory.TemporaryBits(number);
    if (!bits) return OutOfRange();
    std::vector<uint8_t> answer{number};
    PutBigEndian(answer, *bits, SystemParameterWidth(number));
    return PositiveAnswer(code, std::move(answer));
}

SimAnswer SetSingle(ParameterMemory& memory, Data data) {
    if (data.empty()) return WrongLength();
    const uint8_t number = data[0];
    const uint32_t width = SystemParameterWidth(number);
    if (width == 0) return OutOfRange();
    if (data.size() != 1 + width) return WrongLength();
    memory.SetTemporaryBits(number, GetBigEndian(data, 1, width));
    return PositiveAnswer(kSetTempParam);
}

// No data: the short set; one option byte: the extended set.
SimAnswer ReadAll(uint8_t code, const ParameterMemory& memory, bool permanent, Data data) {
    if (data.size() > 1) return WrongLength();
    const ParameterMemory::SetImage set = permanent ? memory.Permanent() : memory.Temporary();
    const size_t length = data.empty() ? ParameterMemory::kShortSetBytes : set.size();
    return PositiveAnswer(code, std::vector<uint8_t>(set.begin(), set.begin() + length));
}

SimAnswer SetAll(uint8_t code, ParameterMemory& memory, bool permanent, Data data) {
    if (data.size() != ParameterMemory::kShortSetBytes &&
        data.size() != ParameterMemory::kSetBytes) {
        return WrongLength();
    }
    permanent ? memory.WritePermanent(data) : memory.WriteTemporary(data);
    return PositiveAnswer(code);
}

SimAnswer ReadGains(uint8_t code, const ParameterMemory& memory, uint8_t first, bool withGain3) {
    std::vector<uint8_t> answer;
    const int count = withGain3 ? 2 : 3;
    for (int i = 0; i < count; ++i) PutBigEndian(answer, *memory.TemporaryBits(first + i), 2);
    if (withGain3) PutBigEndian(answer, static_cast<uint16_t>(memory.CurrentGain3()), 2);
    return PositiveAnswer(code, std::move(answer));
}

SimAnswer SetGains(uint8_t code, ParameterMemory& memory, uint8_t first, bool withGain3,
                   Data data) {
    if (data.size() != 6) return WrongLength();
    const int count = withGain3 ? 2 : 3;
    for (int i = 0; i < count; ++i) {
        memory.SetTemporaryBits(first + i, GetBigEndian(data, 2 * static_cast<size_t>(i), 2));
    }
    if (withGain3) memory.SetCurrentGain3(static_cast<int16_t>(GetBigEndian(data, 4, 2)));
    return PositiveAnswer(code);
}

SimAnswer ReadVersion(const ParameterMemory& memory, Data data) {
    if (!data.empty()) return WrongLength();
    const VersionWords versions = memory.Versions();
    std::vector<uint8_t> answer;
    for (uint16_t word : {versions.cmdVer, versions.libVer, versions.hardRev, versions.bootVer,
                          versions.appNb, versions.appVer}) {
        PutBigEndian(answer, word, 2);
    }
    return PositiveAnswer(kReadVersion, std::move(answer));
}

SimAnswer UserCommand(uint8_t code, ParameterMemory& memory, Data data) {
    const int step = code - kFirstUserCode;
    const int set = step < 4 ? 1 : 2;
    const bool permanent = step % 2 == 1;
    const bool write = step % 4 >= 2;
    if (!write) {
        if (!data.empty()) return WrongLength();
        return PositiveAnswer(code, memory.UserArea(set, permanent));
    }
    if (!memory.WriteUserArea(set, permanent, data)) return WrongLength();
    return PositiveAnswer(code);
}

SimAnswer CheckCrc(const ParameterMemory& memory, Data data) {
    if (data.size() != 1) return WrongLength();
    const std::optional<ParameterMemory::CheckResult> result = memory.Check(data[0]);
    if (!result) return OutOfRange();
    std::vector<uint8_t> answer{static_cast<uint8_t>(result->valid ? 1 : 0)};
    PutBigEndian(answer, result->computed, 2);
    return PositiveAnswer(kCheckCrc, std::move(answer));
}

SimAnswer NoData(uint8_t code, Data data, void (ParameterMemory::*action)(), ParameterMemory& m) {
    if (!data.empty()) return WrongLength();
    (m.*action)();
    return PositiveAnswer(code);
}

void Handle(SimUnit& unit, uint8_t code, Memory memory,
            SimAnswer (*run)(uint8_t, ParameterMemory&, Data)) {
    unit.SetHandler(code,
                    [memory, run, code](SimUnit&, Data data) { return run(code, *memory, data); });
}

}  // namespace

void InstallParameterMemory(SimUnit& unit) {
    auto memory = std::make_shared<ParameterMemory>();
    {
        Registry& registry = Memories();
        std::lock_guard lock(registry.mutex);
        // Entries of units that are gone would only grow the map.
        std::erase_if(registry.memories, [](const auto& entry) { return entry.second.expired(); });
        registry.memories[&unit] = memory;
    }
    Handle(unit, kReadTempParam, memory,
           [](uint8_t c, ParameterMemory& m, Data d) { return ReadSingle(c, m, false, d); });
    Handle(unit, kReadPermanentParam, memory,
           [](uint8_t c, ParameterMemory& m, Data d) { return ReadSingle(c, m, true, d); });
    Handle(unit, kSetTempParam, memory,
           [](uint8_t, ParameterMemory& m, Data d) { return SetSingle(m, d); });
    Handle(unit, kResetTempParam, memory, [](uint8_t c, ParameterMemory& m, Data d) {
        return NoData(c, d, &ParameterMemory::ResetTemporary, m);
    });
    Handle(unit, kUpdatePermParam, memory, [](uint8_t c, ParameterMemory& m, Data d) {
        return NoData(c, d, &ParameterMemory::UpdatePermanent, m);
    });
    Handle(unit, kReadAllTempParam, memory,
           [](uint8_t c, ParameterMemory& m, Data d) { return ReadAll(c, m, false, d); });
    Handle(unit, kReadAllPermParam, memory,
           [](uint8_t c, ParameterMemory& m, Data d) { return ReadAll(c, m, true, d); });
    Handle(unit, kSetAllTempParam, memory,
           [](uint8_t c, ParameterMemory& m, Data d) { return SetAll(c, m, false, d); });
    Handle(unit, kSetAllPermParam, memory,
           [](uint8_t c, ParameterMemory& m, Data d) { return SetAll(c, m, true, d); });
    Handle(unit, kReadCurrentGains, memory, [](uint8_t c, ParameterMemory& m, Data d) {
        return d.empty() ? ReadGains(c, m, kCurrentGainP, true) : WrongLength();
    });
    Handle(unit, kSetCurrentGains, memory, [](uint8_t c, ParameterMemory& m, Data d) {
        return SetGains(c, m, kCurrentGainP, true, d);
    });
    Handle(unit, kReadPositionGains, memory, [](uint8_t c, ParameterMemory& m, Data d) {
        return d.empty() ? ReadGains(c, m, kPositionGainP, false) : WrongLength();
    });
    Handle(unit, kSetPositionGains, memory, [](uint8_t c, ParameterMemory& m, Data d) {
        return SetGains(c, m, kPositionGainP, false, d);
    });
    Handle(unit, kReadVersion, memory,
           [](uint8_t, ParameterMemory& m, Data d) { return ReadVersion(m, d); });
    for (uint8_t code = kFirstUserCode; code < kCheckCrc; ++code)
        Handle(unit, code, memory, UserCommand);
    Handle(unit, kCheckCrc, memory,
           [](uint8_t, ParameterMemory& m, Data d) { return CheckCrc(m, d); });
}

std::shared_ptr<ParameterMemory> ParameterMemoryOf(const SimUnit& unit) {
    Registry& registry = Memories();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.memories.find(&unit);
    return found == registry.memories.end() ? nullptr : found->second.lock();
}

}  // namespace kelcmd::sim
