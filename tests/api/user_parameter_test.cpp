// The user parameter exports end to end: both sets in both copies through a simulated unit, the
// caller's buffer limits, structures laid out into the unit's bytes, and the memory check.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "api/parameter_families.h"
#include "kelcmd/kelcmd.h"
#include "sim/params/parameter_unit.h"
#include "support/sim_port.h"
#include "transport/frame.h"

namespace kelcmd {
namespace {

using testing::SimPort;
using testing::WireRequests;

constexpr uint8_t kGuard = 0xEE;

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(seed + 7 * i);
    return bytes;
}

TEST(UserParameterExports, FourAreasKeepTheirOwnBytes) {
    SimPort port(71);
    const char* name = port.name.c_str();
    using Write = int32_t (*)(const char*, uint8_t, const uint8_t*, uint32_t);
    using Read = int32_t (*)(const char*, uint8_t, uint8_t*, uint32_t, uint32_t*);
    struct Area {
        Write write;
        Read read;
        uint8_t writeCode;
        std::vector<uint8_t> bytes;
    };
    Area areas[] = {
        {MP_SetAllTempUsr1Param, MP_ReadAllTempUsr1Param, 0x72, Pattern(300, 1)},
        {MP_SetAllPermUsr1Param, MP_ReadAllPermUsr1Param, 0x73, Pattern(17, 2)},
        {MP_SetAllTempUsr2Param, MP_ReadAllTempUsr2Param, 0x76, Pattern(1023, 3)},
        {MP_SetAllPermUsr2Param, MP_ReadAllPermUsr2Param, 0x77, {}},
    };
    for (Area& area : areas) {
        port.bus->ClearWireLog();
        ASSERT_EQ(area.write(name, 1, area.bytes.data(), static_cast<uint32_t>(area.bytes.size())),
                  1);
        const auto requests = WireRequests(port);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].mtype, area.writeCode);
        EXPECT_EQ(requests[0].data, area.bytes);
    }
    for (Area& area : areas) {
        std::vector<uint8_t> buffer(1023, kGuard);
        uint32_t received = 9999;
        ASSERT_EQ(area.read(name, 1, buffer.data(), 1023, &received), 1);
        ASSERT_EQ(received, area.bytes.size());
        EXPECT_TRUE(std::equal(area.bytes.begin(), area.bytes.end(), buffer.begin()));
    }
}

TEST(UserParameterExports, ReadsStayInsideTheCallersBuffer) {
    SimPort port(72);
    const char* name = port.name.c_str();
    const std::vector<uint8_t> stored = Pattern(300, 9);
    ASSERT_EQ(MP_SetAllTempUsr1Param(name, 1, stored.data(), 300), 1);

    // A buffer smaller than the set: only its size is kept, and the length says so.
    std::vector<uint8_t> small(120, kGuard);
    uint32_t received = 0;
    ASSERT_EQ(MP_ReadAllTempUsr1Param(name, 1, small.data(), 100, &received), 1);
    EXPECT_EQ(received, 100u);
    EXPECT_TRUE(std::equal(small.begin(), small.begin() + 100, stored.begin()));
    EXPECT_TRUE(
        std::all_of(small.begin() + 100, small.end(), [](uint8_t b) { return b == kGuard; }));

    // A buffer beyond 1023 bytes: nothing past 1023 is touched.
    std::vector<uint8_t> large(2000, kGuard);
    ASSERT_EQ(MP_ReadAllTempUsr1Param(name, 1, large.data(), 2000, &received), 1);
    EXPECT_EQ(received, 300u);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), large.begin()));
    EXPECT_TRUE(
        std::all_of(large.begin() + 1023, large.end(), [](uint8_t b) { return b == kGuard; }));

    // No length pointer, and a failed call reports a length of 0.
    EXPECT_EQ(MP_ReadAllTempUsr1Param(name, 1, small.data(), 100, nullptr), 1);
    received = 77;
    EXPECT_EQ(MP_ReadAllTempUsr1Param(name, 0, small.data(), 100, &received), 0);
    EXPECT_EQ(received, 0u);
}

TEST(UserParameterExports, WritesThatCannotTravelSendNothing) {
    SimPort port(73);
    const char* name = port.name.c_str();
    const std::vector<uint8_t> tooLong(1024, 1);
    port.bus->ClearWireLog();
    EXPECT_EQ(MP_SetAllTempUsr1Param(name, 1, tooLong.data(), 1024), 0);
    EXPECT_EQ(MP_SetAllPermUsr2Param(name, 1, nullptr, 10), 0);
    EXPECT_EQ(MP_SetAllTempUsr2Param(name, 0, tooLong.data(), 10), 0);
    EXPECT_TRUE(port.bus->WireLog().empty());
}

TEST(UserParameterExports, CheckCrcVerifiesTheStoredBytes) {
    SimPort port(74);
    const char* name = port.name.c_str();
    const std::vector<uint8_t> bytes = Pattern(64, 5);
    ASSERT_EQ(MP_SetAllPermUsr1Param(name, 1, bytes.data(), 64), 1);

    uint8_t valid = kGuard;
    uint16_t crc = 0;
    port.bus->ClearWireLog();
    ASSERT_EQ(MP_CheckCRC(name, 1, KEL_MEM_USER_PARAMETER_1, &valid, &crc), 1);
    EXPECT_EQ(WireRequests(port).at(0).data, std::vector<uint8_t>{2});
    EXPECT_EQ(valid, 1);
    EXPECT_EQ(crc, FrameCrc(bytes));
    for (uint8_t area : {KEL_MEM_FIRMWARE, KEL_MEM_SYSTEM_PARAMETER, KEL_MEM_USER_PARAMETER_2}) {
        ASSERT_EQ(MP_CheckCRC(name, 1, area, &valid, &crc), 1);
        EXPECT_EQ(valid, 1) << int(area);
    }

    // A damaged byte: the stored sum no longer matches.
    ASSERT_TRUE(
        sim::ParameterMemoryOf(port.Unit(1))->DamagePermanentByte(sim::MemoryArea::kUser1, 10));
    ASSERT_EQ(MP_CheckCRC(name, 1, KEL_MEM_USER_PARAMETER_1, &valid, &crc), 1);
    EXPECT_EQ(valid, 0);
    EXPECT_NE(crc, FrameCrc(bytes));
    // Writing the area anew renews its sum; a temporary write does not touch it.
    ASSERT_EQ(MP_SetAllTempUsr1Param(name, 1, bytes.data(), 64), 1);
    ASSERT_EQ(MP_CheckCRC(name, 1, KEL_MEM_USER_PARAMETER_1, &valid, &crc), 1);
    EXPECT_EQ(valid, 0);
    ASSERT_EQ(MP_SetAllPermUsr1Param(name, 1, bytes.data(), 64), 1);
    ASSERT_EQ(MP_CheckCRC(name, 1, KEL_MEM_USER_PARAMETER_1, &valid, &crc), 1);
    EXPECT_EQ(valid, 1);

    // An unknown area is refused; nothing is written.
    valid = kGuard;
    crc = 0x1234;
    EXPECT_EQ(MP_CheckCRC(name, 1, 9, &valid, &crc), 0);
    EXPECT_EQ(valid, kGuard);
    EXPECT_EQ(crc, 0x1234);
}

TEST(UserParameterFamily, AlignedStructureTravelsIntoTheUnitAndBack) {
    SimPort port(75);
    const char* name = port.name.c_str();
    const CStructureDefinition definition("Mixed", {{"a", ELEMENT_BYTE, 1},
                                                    {"b", ELEMENT_WORD, 1},
                                                    {"c", ELEMENT_BYTE, 1},
                                                    {"d", ELEMENT_LINT, 1}});
    CStructureData data(definition, true);
    ASSERT_TRUE(data.SetNumber(0, 0, 0x11));
    ASSERT_TRUE(data.SetNumber(1, 0, 0x2233));
    ASSERT_TRUE(data.SetNumber(2, 0, 0x44));
    ASSERT_TRUE(data.SetNumber(3, 0, -2));
    ASSERT_EQ(WriteUserParameterSet(UserParameters(), name, 1, 2, true, data), 1);
    // Pads at 1 and 5, the LInt at 6, ten bytes in all.
    EXPECT_EQ(sim::ParameterMemoryOf(port.Unit(1))->UserArea(2, true),
              (std::vector<uint8_t>{0x11, 0, 0x22, 0x33, 0x44, 0, 0xFF, 0xFF, 0xFF, 0xFE}));

    CStructureData back(definition, false);
    ASSERT_EQ(ReadUserParameterSet(UserParameters(), name, 1, 2, true, back), 1);
    EXPECT_TRUE(back.IsAligned());
    for (size_t element = 0; element < 4; ++element) {
        EXPECT_EQ(back.GetNumber(element, 0), data.GetNumber(element, 0)) << element;
    }
    EXPECT_EQ(ReadUserParameterSet(UserParameters(), name, 1, 3, true, back), 0);
}

TEST(UserParameterFamily, StructureTravelsWithTheCommand) {
    CUserParameterFamily& family = UserParameters();
    CKelStandardCommand command(*family.GetPrototype("SetAllPermUsr2Param"));
    CStructureDefinition definition("Set", {{"speed", ELEMENT_FLOAT, 3}});
    CStructureDefinition rebuilt("Before");
    EXPECT_FALSE(CUserParameterFamily::AttachedStructure(command, rebuilt));  // empty by default
    ASSERT_TRUE(CUserParameterFamily::AttachStructure(command, definition));
    ASSERT_TRUE(CUserParameterFamily::AttachedStructure(command, rebuilt));
    EXPECT_EQ(rebuilt, definition);

    // A damaged stream leaves the caller's definition as it was.
    const uint8_t hostile[] = {1, 'x', 0xFF, 0xFF, 0xFF, 0x7F};
    command.SetExtraSendValue(0, hostile, sizeof hostile);
    EXPECT_FALSE(CUserParameterFamily::AttachedStructure(command, rebuilt));
    EXPECT_EQ(rebuilt, definition);

    CKelStandardCommand* check = family.GetPrototype("CheckCRC");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->GetAnswerTimeout(), 2000u);
    CParameterLinks links;
    family.DeclareLinks(links);
    EXPECT_EQ(links.Count(), 8u);  // four reads, each for the bytes and the structure
    EXPECT_EQ(links.FindTo("SetAllTempUsr2Param", "structInfoStream").at(0)->fromCommand,
              "ReadAllTempUsr2Param");
}

}  // namespace
}  // namespace kelcmd
