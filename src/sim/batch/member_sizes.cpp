#include "sim/batch/member_sizes.h"

#include <array>
#include <initializer_list>

namespace kelcmd::sim {
namespace {

struct SizeRow {
    uint8_t code;
    std::initializer_list<uint16_t> sizes;
};

// Send-data sizes of the catalogue codes a batch may carry: exception 8-10, status 11-15, motion
// control 32-47, motion info 48-63, input/output 64-70, miscellaneous 71-74 and 79, multi axes
// 80-83. Further families add their rows here.
const SizeRow kRows[] = {
    {8, {1}},     {9, {0}},     {10, {0}},                                              // exception
    {11, {0}},    {12, {0}},    {13, {0}},    {14, {0}}, {15, {0}},                     // status
    {32, {1}},    {33, {9}},    {34, {4}},    {35, {1}}, {36, {4, 5}},   {37, {4, 5}},  // motion
                                                                                        // control
    {38, {4}},    {39, {4, 5}}, {40, {1}},    {41, {4}}, {42, {15, 19}}, {43, {8}},    {44, {4}},
    {45, {8}},    {46, {0}},    {47, {0}},    {48, {0}}, {49, {0}},      {50, {0}},    {51, {0}},
    {52, {0}},    {53, {0}},    {54, {0}},  // motion info
    {55, {0}},    {56, {0}},    {57, {0}},    {58, {0}}, {59, {0}},      {60, {0}},    {61, {0}},
    {62, {0}},    {63, {0}},    {64, {1}},    {65, {1}}, {66, {6}},      {67, {2}},    {68, {1}},
    {69, {1}},    {70, {2}},                                         // input/output
    {71, {0}},    {72, {4}},    {73, {2}},    {74, {0}}, {79, {0}},  // miscellaneous
    {80, {4, 5}}, {81, {4, 5}}, {82, {4, 5}}, {83, {0}},             // multi axes
};

struct SizeTable {
    std::array<std::span<const uint16_t>, 256> byCode{};
    SizeTable() {
        for (const SizeRow& row : kRows) byCode[row.code] = {row.sizes.begin(), row.sizes.size()};
    }
};

}  // namespace

std::span<const uint16_t> MemberSendSizes(uint8_t code) {
    static const SizeTable table;
    return table.byCode[code];
}

BatchSplit SplitBatch(std::span<const uint8_t> data) {
    // completes[p]: the data from p on splits into whole members (filled from the end).
    const size_t n = data.size();
    std::vector<bool> completes(n + 1, false);
    completes[n] = true;
    for (size_t p = n; p-- > 0;) {
        for (uint16_t size : MemberSendSizes(data[p])) {
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
        const std::span<const uint16_t> sizes = MemberSendSizes(code);
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
