#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace kelcmd::sim {

// The unit's version words, as ReadVersion answers them.
struct VersionWords {
    uint16_t cmdVer = 171;
    uint16_t libVer = 160;
    uint16_t hardRev = 1012;
    uint16_t bootVer = 12;
    uint16_t appNb = 1;
    uint16_t appVer = 100;
};

// Memory areas with a stored check sum.
enum class MemoryArea : uint8_t { kFirmware = 0, kSystemParameter = 1, kUser1 = 2, kUser2 = 3 };

// A unit's parameter memory: the system parameter set (extended form, as the unit lays it out:
// each field most significant byte first) in a temporary copy that the unit works with and a
// permanent copy, both starting from the default set; the third current regulator gain; the
// version words; the two user parameter areas in both copies; and a stored check sum per
// permanent area, renewed whenever the unit itself writes the area. Thread-safe.
class ParameterMemory {
  public:
    static constexpr size_t kSetBytes = 256;
    static constexpr size_t kShortSetBytes = 110;
    static constexpr size_t kMaxUserBytes = 1023;
    using SetImage = std::array<uint8_t, kSetBytes>;

    ParameterMemory();

    SetImage Temporary() const;
    SetImage Permanent() const;
    // Writes the leading bytes of a copy (the short form writes 110, the extended 256).
    void WriteTemporary(std::span<const uint8_t> bytes);
    void WritePermanent(std::span<const uint8_t> bytes);
    void ResetTemporary();   // temporary = permanent
    void UpdatePermanent();  // permanent = temporary

    // A parameter of a copy by number: its bits zero-extended from its width, or, as a number,
    // Byte and Word unsigned, Int and LInt signed (a Float's bits as they are). None above 78.
    std::optional<uint32_t> TemporaryBits(uint32_t number) const;
    std::optional<uint32_t> PermanentBits(uint32_t number) const;
    std::optional<int64_t> TemporaryValue(uint32_t number) const;
    // Writes the low-order bytes of `bits` with the parameter's width; false above 78.
    bool SetTemporaryBits(uint32_t number, uint32_t bits);

    int16_t CurrentGain3() const;
    void SetCurrentGain3(int16_t gain);

    VersionWords Versions() const;
    void SetVersions(const VersionWords& versions);

    // User parameter set 1 or 2: what was last written, at most 1023 bytes (empty at start).
    std::vector<uint8_t> UserArea(int set, bool permanent) const;
    bool WriteUserArea(int set, bool permanent, std::span<const uint8_t> bytes);

    // The check of a memory area: whether its stored check sum matches its bytes, and the sum
    // computed now. None for an unknown area.
    struct CheckResult {
        bool valid;
        uint16_t computed;
    };
    std::optional<CheckResult> Check(uint8_t area) const;
    // Flips a byte of a permanent area without renewing its stored sum, as a failing memory
    // would; false when the area or offset does not exist.
    bool DamagePermanentByte(MemoryArea area, size_t offset);

  private:
    std::vector<uint8_t> AreaBytes(MemoryArea area) const;  // caller holds the lock
    void RenewSum(MemoryArea area);                         // caller holds the lock
    static std::optional<uint32_t> ReadBits(const SetImage& set, uint32_t number);

    mutable std::mutex mutex_;
    SetImage temporary_{};
    SetImage permanent_{};
    int16_t gain3_ = 0;
    VersionWords versions_;
    std::vector<uint8_t> firmware_;
    std::array<std::array<std::vector<uint8_t>, 2>, 2> user_;  // [set - 1][permanent]
    std::array<uint16_t, 4> storedSums_{};
};

}  // namespace kelcmd::sim
