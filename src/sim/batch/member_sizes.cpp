#include "sim/batch/member_sizes.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "command/system_parameter_table.h"

namespace kelcmd::sim {
namespace {

struct SizeRow {
    uint8_t code;
    std::initializer_list<uint16_t> sizes;
};

// Send-data sizes of the catalogue codes a batch may carry: exception 8-10, status 11-15, system
// parameters 16-31, motion control 32-47, motion info 48-63, input/output 64-70, miscellaneous
// 71-74 and 79, multi axes 80-83, serial line 75-78, autotuning 96-98 and 103, recorder 104-107,
// user parameters 112-120. Codes whose size depends on their data are in SizesByContent.
// clang-format off
const SizeRow kRows[] = {
    // exception, status
    {8, {1}}, {9, {0}}, {10, {0}}, {11, {0}}, {12, {0}}, {13, {0}}, {14, {0}}, {15, {0}},
    // system parameters; a whole-set read is short without data, extended with its option byte
    {0x10, {1}}, {0x11, {1}}, {0x14, {0}}, {0x15, {0}}, {0x16, {0, 1}}, {0x17, {0, 1}},
    {0x18, {110, 256}}, {0x19, {110, 256}}, {0x1A, {0}}, {0x1B, {6}}, {0x1C, {0}}, {0x1D, {6}},
    {0x1F, {0}},
    // motion control
    {32, {1}}, {33, {9}}, {34, {4}}, {35, {1}}, {36, {4, 5}}, {37, {4, 5}}, {38, {4}},
    {39, {4, 5}}, {40, {1}}, {41, {4}}, {42, {15, 19}}, {43, {8}}, {44, {4}}, {45, {8}},
    {46, {0}}, {47, {0}},
    // motion info
    {48, {0}}, {49, {0}}, {50, {0}}, {51, {0}}, {52, {0}}, {53, {0}}, {54, {0}}, {55, {0}},
    {56, {0}}, {57, {0}}, {58, {0}}, {59, {0}}, {60, {0}}, {61, {0}}, {62, {0}}, {63, {0}},
    // input/output
    {64, {1}}, {65, {1}}, {66, {6}}, {67, {2}}, {68, {1}}, {69, {1}}, {70, {2}},
    // miscellaneous
    {71, {0}}, {72, {4}}, {73, {2}}, {74, {0}}, {79, {0}},
    // serial line (0x4B and 0x4D by content)
    {0x4C, {1}}, {0x4E, {1}},
    // multi axes
    {80, {4, 5}}, {81, {4, 5}}, {82, {4, 5}}, {83, {0}},
    // autotuning, current test, PWM
    {0x60, {4}}, {0x61, {0}}, {0x62, {2}}, {0x67, {3}},
    // recorder
    {0x68, {4}}, {0x69, {1}}, {0x6A, {0}}, {0x6B, {5}},
    // user parameters (the writes by content)
    {0x70, {0}}, {0x71, {0}}, {0x74, {0}}, {0x75, {0}}, {0x78, {1}},
};
// clang-format on

struct SizeTable {
    std::array<std::span<const uint16_t>, 256> byCode{};
    SizeTable() {
        for (const SizeRow& row : kRows) byCode[row.code] = {row.sizes.begin(), row.sizes.size()};
    }
};

bool IsUserAreaWrite(uint8_t code) {
    return code == 0x72 || code == 0x73 || code == 0x76 || code == 0x77;
}

// Sizes that the member's first data byte (its sub-function or parameter number) decides, and
// the members of any length.
std::optional<std::vector<uint16_t>> SizesByContent(uint8_t code, std::span<const uint8_t> rest) {
    const auto remaining = static_cast<uint16_t>(std::min<size_t>(rest.size(), kMaxBatchData));
    if (IsUserAreaWrite(code)) return std::vector<uint16_t>{remaining};
    if (code != 0x12 && code != 0x4B && code != 0x4D) return std::nullopt;
    // Without its first byte the member is cut short whatever it is.
    if (rest.empty()) return std::vector<uint16_t>{1};
    const uint8_t first = rest[0];
    switch (code) {
        case 0x12: {  // SetTempParam: the number, then a value of the parameter's width
            const uint32_t width = kelcmd::SystemParameterWidth(first);
            return std::vector<uint16_t>{static_cast<uint16_t>(1 + width)};
        }
        case 0x4B:  // PutChar (1) one character, PutString (2) the rest
            return std::vector<uint16_t>{first == 1   ? uint16_t{2}
                                         : first == 2 ? remaining
                                                      : uint16_t{1}};
        default: {  // 0x4D: sub-function, value, then the width (a Float: three format bytes)
            if (first == 0x16) return std::vector<uint16_t>{8};
            const uint16_t low = first & 0x0F;
            const uint16_t width = low == 0 ? 1 : (low <= 3 ? 2 : 4);
            return std::vector<uint16_t>{static_cast<uint16_t>(1 + width + 1)};
        }
    }
}

}  // namespace

std::vector<uint16_t> MemberSendSizes(uint8_t code, std::span<const uint8_t> rest) {
    static const SizeTable table;
    if (auto sizes = SizesByContent(code, rest)) return *sizes;
    const std::span<const uint16_t> fixed = table.byCode[code];
    return {fixed.begin(), fixed.end()};
}

BatchSplit SplitBatch(std::span<const uint8_t> data) {
    // completes[p]: the data from p on splits into whole members (filled from the end).
    const size_t n = data.size();
    std::vector<bool> completes(n + 1, false);
    completes[n] = true;
    for (size_t p = n; p-- > 0;) {
        for (uint16_t size : MemberSendSizes(data[p], data.subspan(p + 1))) {
            if (p + 1 + size <= n && completes[p + 1 + size]) {
                completes[p] = true;
                break;
            }
        }
    }
    BatchSplit split;
    size_t position = 0;
    while (position < n) {
        const uint8_t code = data[position];
        const std::vector<uint16_t> sizes = MemberSendSizes(code, data.subspan(position + 1));
        // A size whose rest splits completely wins; otherwise any size that fits, so that the
        // members before a damaged one still run.
        std::optional<uint16_t> chosen;
        for (uint16_t size : sizes) {
            if (position + 1 + size > n) continue;
            if (completes[position + 1 + size]) {
                chosen = size;
                break;
            }
            if (!chosen) chosen = size;
        }
        if (chosen) {
            split.members.push_back({code, data.subspan(position + 1, *chosen)});
            position += 1 + *chosen;
            continue;
        }
        split.stopCode = code;
        split.unknownCode = sizes.empty();
        break;
    }
    return split;
}

}  // namespace kelcmd::sim
