// The parameter number table, the default sets and their conversion to and from the wire.
#include "command/system_parameter_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <set>

namespace kelcmd {
namespace {

TEST(SystemParameterTable, EveryNumberSitsOnAFieldOfItsWidth) {
    std::map<size_t, uint8_t> fields;  // offset -> width, in the extended layout
    size_t offset = 0;
    for (uint8_t width : SysParamExLayout()) {
        fields[offset] = width;
        offset += width;
    }
    EXPECT_EQ(offset, 256u);
    size_t shortBytes = 0;
    for (uint8_t width : SysParamLayout()) shortBytes += width;
    EXPECT_EQ(shortBytes, 110u);

    std::set<uint16_t> offsets;
    for (uint32_t number = 0; number <= kLastSystemParameter; ++number) {
        const SystemParameterInfo* info = FindSystemParameter(number);
        ASSERT_NE(info, nullptr);
        ASSERT_TRUE(fields.count(info->offset)) << number;
        EXPECT_EQ(fields[info->offset], SystemParameterWidth(number)) << number;
        EXPECT_EQ(number <= kLastShortSystemParameter, info->offset < 110) << number;
        offsets.insert(info->offset);
    }
    EXPECT_EQ(offsets.size(), fields.size());  // one field per number, none left over
    EXPECT_EQ(FindSystemParameter(79), nullptr);
    EXPECT_EQ(SystemParameterWidth(255), 0u);
}

TEST(SystemParameterTable, HostStructureConvertsFieldByField) {
    T_SysParamEx set = DefaultSysParamEx();
    set.sysParam.homeVelocity = -0.5f;
    set.extParam[35] = 0x01020304;
    const auto wire = SysParamExToWire(set);
    EXPECT_EQ(wire[20], 0);  // number of changes: none in the default set
    EXPECT_EQ((std::array<uint8_t, 4>{wire[78], wire[79], wire[80], wire[81]}),
              (std::array<uint8_t, 4>{0xBF, 0x00, 0x00, 0x00}));
    EXPECT_EQ((std::array<uint8_t, 4>{wire[252], wire[253], wire[254], wire[255]}),
              (std::array<uint8_t, 4>{1, 2, 3, 4}));
    const T_SysParamEx back = SysParamExFromWire(wire);
    EXPECT_EQ(std::memcmp(&back, &set, sizeof set), 0);
}

}  // namespace
}  // namespace kelcmd
