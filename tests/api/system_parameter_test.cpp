// The system parameter exports end to end against simulated units: the bytes on the wire, the
// widths written into the caller's variables, and what the unit keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "api/parameter_families.h"
#include "command/system_parameter_table.h"
#include "kelcmd/kelcmd.h"
#include "sim/params/parameter_unit.h"
#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::SimPort;
using testing::WireRequests;

constexpr uint8_t kGuard = 0xEE;

std::shared_ptr<sim::ParameterMemory> MemoryOf(SimPort& port, uint8_t address = 1) {
    return sim::ParameterMemoryOf(port.Unit(address));
}

TEST(SystemParameterExports, SetTempParamSendsTheParameterWidthMostSignificantByteFirst) {
    SimPort port(61);
    ASSERT_EQ(port.openResult, 0);
    struct Case {
        uint8_t number;
        int32_t value;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {15, std::bit_cast<int32_t>(2.5f), {15, 0x40, 0x20, 0x00, 0x00}},  // Float
        {1, 0x1234'5605, {1, 0x05}},                                       // Byte: low byte only
        {7, 0x0001'00E7, {7, 0x00, 0xE7}},                                 // Word
        {23, -100000, {23, 0xFF, 0xFE, 0x79, 0x60}},                       // LInt
        {42, 54321, {42, 0xD4, 0x31}},                                     // extended Word
    };
    for (const Case& c : cases) {
        port.bus->ClearWireLog();
        ASSERT_EQ(MP_SetTempParam(port.name.c_str(), 1, c.number, c.value), 1) << int(c.number);
        const auto requests = WireRequests(port);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].mtype, 0x12);
        EXPECT_EQ(requests[0].data, c.data) << int(c.number);
    }
    EXPECT_EQ(MemoryOf(port)->TemporaryValue(23), -100000);
    EXPECT_EQ(MemoryOf(port)->TemporaryBits(15), std::bit_cast<uint32_t>(2.5f));
}

TEST(SystemParameterExports, ReadTempParamWritesExactlyTheParameterWidth) {
    SimPort port(62);
    struct Case {
        uint8_t number;
        size_t width;
        uint32_t expected;  // the default set's value
    };
    const Case cases[] = {
        {1, 1, 1},
        {6, 1, 128},
        {3, 4, 19200},
        {7, 2, 231},
        {0, 2, 0},
        {42, 2, 54321},
        {78, 4, 0},
        {15, 4, std::bit_cast<uint32_t>(1.0f)},
        {23, 4, static_cast<uint32_t>(-100000)},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, 8> buffer;
        buffer.fill(kGuard);
        ASSERT_EQ(MP_ReadTempParam(port.name.c_str(), 1, c.number, buffer.data()), 1);
        uint32_t value = 0;
        if (c.width == 1) value = buffer[0];
        if (c.width == 2)
            value = [&] {
                uint16_t v;
                std::memcpy(&v, buffer.data(), 2);
                return v;
            }();
        if (c.width == 4) std::memcpy(&value, buffer.data(), 4);
        EXPECT_EQ(value, c.expected) << int(c.number);
        EXPECT_TRUE(std::all_of(buffer.begin() + c.width, buffer.end(),
                                [](uint8_t b) { return b == kGuard; }))
            << "bytes beyond the width of parameter " << int(c.number);
    }
}

TEST(SystemParameterExports, NumbersAbove78AreRefusedBeforeSending) {
    SimPort port(63);
    port.bus->ClearWireLog();
    std::array<uint8_t, 4> buffer;
    buffer.fill(kGuard);
    for (uint8_t number : {79, 100, 255}) {
        EXPECT_EQ(MP_ReadTempParam(port.name.c_str(), 1, number, buffer.data()), 0);
        EXPECT_EQ(MP_ReadPermanentParam(port.name.c_str(), 1, number, buffer.data()), 0);
        EXPECT_EQ(MP_SetTempParam(port.name.c_str(), 1, number, 1), 0);
    }
    EXPECT_TRUE(port.bus->WireLog().empty());
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{kGuard, kGuard, kGuard, kGuard}));
}

TEST(SystemParameterExports, DefaultSetsOnTheWire) {
    SimPort port(64);
    ASSERT_EQ(MP_SetAllTempParam(port.name.c_str(), 1, &DefaultSysParam()), 1);
    ASSERT_EQ(MP_SetAllTempParamEx(port.name.c_str(), 1, &DefaultSysParamEx()), 1);
    const auto requests = WireRequests(port);
    ASSERT_EQ(requests.size(), 2u);

    const std::vector<uint8_t>& shortSet = requests[0].data;
    EXPECT_EQ(requests[0].mtype, 0x18);
    ASSERT_EQ(shortSet.size(), 110u);
    EXPECT_EQ(std::vector<uint8_t>(shortSet.begin(), shortSet.begin() + 8),
              (std::vector<uint8_t>{0x01, 0x80, 0x00, 0x00, 0x00, 0x00, 0x4B, 0x00}));
    // Gear ratio 1.0 at 32 and lower limit -100000 at 60, each field most significant byte first.
    EXPECT_EQ(std::vector<uint8_t>(shortSet.begin() + 32, shortSet.begin() + 36),
              (std::vector<uint8_t>{0x3F, 0x80, 0x00, 0x00}));
    EXPECT_EQ(std::vector<uint8_t>(shortSet.begin() + 60, shortSet.begin() + 64),
              (std::vector<uint8_t>{0xFF, 0xFE, 0x79, 0x60}));

    const std::vector<uint8_t>& extended = requests[1].data;
    ASSERT_EQ(extended.size(), 256u);
    EXPECT_TRUE(std::equal(shortSet.begin(), shortSet.end(), extended.begin()));
    EXPECT_EQ(extended[110], 0xD4);
    EXPECT_EQ(extended[111], 0x31);
    EXPECT_TRUE(
        std::all_of(extended.begin() + 112, extended.end(), [](uint8_t b) { return b == 0; }));
}

T_SysParamEx ChangedSet() {
    T_SysParamEx set = DefaultSysParamEx();
    set.sysParam.axisNumber = 5;
    set.sysParam.groupAddress = 200;
    set.sysParam.rs232Baudrate = 57600;
    set.sysParam.sysConfig = 0x8001;
    set.sysParam.torqueConstant = -12.75f;
    set.sysParam.upperPositionLimit = 123456789;
    set.sysParam.lowerPositionLimit = -987654;
    set.sysParam.loadRevolution = -1;
    set.extendTag = 0xFFFE;
    for (int i = 0; i < 36; ++i) set.extParam[i] = (i - 18) * 65537;
    return set;
}

TEST(SystemParameterExports, WholeSetsRoundTripThroughTheUnit) {
    SimPort port(65);
    const char* name = port.name.c_str();
    const T_SysParamEx changed = ChangedSet();

    ASSERT_EQ(MP_SetAllTempParamEx(name, 1, &changed), 1);
    T_SysParamEx readEx;
    ASSERT_EQ(MP_ReadAllTempParamEx(name, 1, &readEx), 1);
    EXPECT_EQ(std::memcmp(&readEx, &changed, sizeof changed), 0);
    T_SysParam readShort;
    ASSERT_EQ(MP_ReadAllTempParam(name, 1, &readShort), 1);
    EXPECT_EQ(std::memcmp(&readShort, &changed.sysParam, sizeof readShort), 0);

    // The permanent copy is untouched until the temporary one is stored.
    ASSERT_EQ(MP_ReadAllPermParamEx(name, 1, &readEx), 1);
    EXPECT_EQ(std::memcmp(&readEx, &DefaultSysParamEx(), sizeof readEx), 0);
    ASSERT_EQ(MP_UpdatePermParam(name, 1), 1);
    ASSERT_EQ(MP_ReadAllPermParamEx(name, 1, &readEx), 1);
    EXPECT_EQ(std::memcmp(&readEx, &changed, sizeof readEx), 0);

    // A single change to the temporary copy is undone by ResetTempParam.
    ASSERT_EQ(MP_SetTempParam(name, 1, 21, 42), 1);
    int32_t limit = 0;
    ASSERT_EQ(MP_ReadPermanentParam(name, 1, 21, &limit), 1);
    EXPECT_EQ(limit, 123456789);
    ASSERT_EQ(MP_ResetTempParam(name, 1), 1);
    ASSERT_EQ(MP_ReadTempParam(name, 1, 21, &limit), 1);
    EXPECT_EQ(limit, 123456789);

    // The short write replaces the first 110 bytes only.
    const T_SysParam shortSet = DefaultSysParam();
    ASSERT_EQ(MP_SetAllPermParam(name, 1, &shortSet), 1);
    ASSERT_EQ(MP_ReadAllPermParamEx(name, 1, &readEx), 1);
    EXPECT_EQ(std::memcmp(&readEx.sysParam, &shortSet, sizeof shortSet), 0);
    EXPECT_EQ(readEx.extendTag, 0xFFFE);
}

TEST(SystemParameterExports, GainsAndVersionWords) {
    SimPort port(66);
    const char* name = port.name.c_str();
    ASSERT_EQ(MP_SetCurRegGains(name, 1, 120, -60, 7), 1);
    ASSERT_EQ(MP_SetPosRegGains(name, 1, 2000, 0, -1331), 1);
    int16_t p = 0, i = 0, third = 0;
    ASSERT_EQ(MP_ReadCurRegGains(name, 1, &p, &i, &third), 1);
    EXPECT_EQ((std::array<int16_t, 3>{p, i, third}), (std::array<int16_t, 3>{120, -60, 7}));
    ASSERT_EQ(MP_ReadPosRegGains(name, 1, &p, &i, &third), 1);
    EXPECT_EQ((std::array<int16_t, 3>{p, i, third}), (std::array<int16_t, 3>{2000, 0, -1331}));
    // The gains are the set's parameters 25 to 29.
    int16_t gain = 0;
    ASSERT_EQ(MP_ReadTempParam(name, 1, 27, &gain), 1);
    EXPECT_EQ(gain, -1331);
    ASSERT_EQ(MP_ReadTempParam(name, 1, 29, &gain), 1);
    EXPECT_EQ(gain, -60);

    MemoryOf(port)->SetVersions({171, 5, 1012, 12, 3, 65535});
    std::array<uint16_t, 6> words{};
    ASSERT_EQ(
        MP_ReadVersion(name, 1, &words[0], &words[1], &words[2], &words[3], &words[4], &words[5]),
        1);
    EXPECT_EQ(words, (std::array<uint16_t, 6>{171, 5, 1012, 12, 3, 65535}));
}

TEST(SystemParameterExports, FailuresLeaveTheCallersVariablesAlone) {
    SimPort port(67);
    const char* name = port.name.c_str();
    port.Unit(1).SetHandler(0x16, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::RefusalAnswer(CMD_FAIL, WARN_FORBID);
    });
    T_SysParam set;
    std::memset(&set, kGuard, sizeof set);
    T_SysParam untouched = set;
    EXPECT_EQ(MP_ReadAllTempParam(name, 1, &set), 0);
    EXPECT_EQ(MP_ReadAllTempParam(name, 0, &set), 0);
    EXPECT_EQ(MP_ReadAllTempParam("Com98", 1, &set), 0);
    EXPECT_EQ(std::memcmp(&set, &untouched, sizeof set), 0);

    // An answer cut short fails the call and writes nothing: stale bytes of the answer buffer
    // must not reach the caller as a set or a value.
    port.Unit(1).SetHandler(0x17, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(0x17, std::vector<uint8_t>(50, 1));
    });
    EXPECT_EQ(MP_ReadAllPermParam(name, 1, &set), 0);
    EXPECT_EQ(std::memcmp(&set, &untouched, sizeof set), 0);
    port.Unit(1).SetHandler(0x10, [](sim::SimUnit&, std::span<const uint8_t> data) {
        return sim::PositiveAnswer(0x10, {data[0], 0x01});  // two of the four bytes of 21
    });
    int32_t limit = 5;
    EXPECT_EQ(MP_ReadTempParam(name, 1, 21, &limit), 0);
    EXPECT_EQ(limit, 5);

    // No structure to send: nothing goes out.
    port.bus->ClearWireLog();
    EXPECT_EQ(MP_SetAllTempParam(name, 1, nullptr), 0);
    EXPECT_EQ(MP_SetAllPermParamEx(name, 1, nullptr), 0);
    EXPECT_TRUE(port.bus->WireLog().empty());
}

TEST(SystemParameterExports, PlainFormsUseTheCurrentPortAndSlave) {
    SimPort port(68, "1-2");  // KEB_InitKelBus made it the current port
    SelectSlave(2);
    ASSERT_EQ(SetTempParam(21, 777), 1);
    SelectSlave(1);
    int32_t limit = 0;
    ASSERT_EQ(ReadTempParam(21, &limit), 1);
    EXPECT_EQ(limit, 100000);
    EXPECT_EQ(MemoryOf(port, 2)->TemporaryValue(21), 777);
}

TEST(SystemParameterFamily, PrototypesAndLinks) {
    CSystemParameterFamily& family = SystemParameters();
    CKelStandardCommand* set = family.GetPrototype("SetAllTempParamEx");
    ASSERT_NE(set, nullptr);
    const std::span<const uint8_t> value = set->Wire().GetSendValue(0);
    ASSERT_EQ(value.size(), 256u);
    EXPECT_EQ(std::memcmp(value.data(), &DefaultSysParamEx(), 256), 0);

    // A re-typed single-parameter command goes back to parameter 1, a Byte of value 1.
    CKelStandardCommand copy(*family.GetPrototype("SetTempParam"));
    ASSERT_TRUE(CSystemParameterFamily::RetypeValue(copy, 15));
    EXPECT_EQ(copy.Wire().GetSendSize(1), 4u);
    EXPECT_FALSE(CSystemParameterFamily::RetypeValue(copy, 79));
    ASSERT_EQ(family.SetDefaults(copy), 1);
    EXPECT_EQ(copy.Wire().GetSendSize(1), 1u);
    EXPECT_EQ(copy.Wire().GetSendValue(1)[0], 1);

    CParameterLinks links;
    family.DeclareLinks(links);
    EXPECT_EQ(links.Count(), 12u);
    const ParameterLink* link = links.Find("SetCurrentGains", "gain3");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->fromCommand, "ReadCurrentGains");
    EXPECT_EQ(links.FindFrom("ReadAllPermParamEx", "sysParamEx").size(), 1u);
}

}  // namespace
}  // namespace kelcmd
