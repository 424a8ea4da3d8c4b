// The bus scan against simulated buses: which addresses count as there, their versions, and
// where a scan stops.
#include "api/bus_scan.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::SimPort;

std::vector<uint8_t> Addresses(const BusScanResult& result) {
    std::vector<uint8_t> addresses;
    for (const ScannedUnit& unit : result.units) addresses.push_back(unit.address);
    return addresses;
}

TEST(BusScan, FindsEveryUnitInTheRangeWithItsVersions) {
    SimPort port(71, "1-3,7,40", 5);
    ASSERT_EQ(port.openResult, 0);
    struct Case {
        uint8_t first;
        uint8_t last;
        std::vector<uint8_t> found;
    };
    const Case cases[] = {
        {1, 10, {1, 2, 3, 7}},
        {3, 7, {3, 7}},
        {8, 20, {}},
        {0, 255, {1, 2, 3, 7, 40}},  // clamped to the unit addresses
        {9, 2, {}},
    };
    for (const Case& c : cases) {
        const BusScanResult result = ScanBus(port.name, c.first, c.last, 5);
        EXPECT_EQ(Addresses(result), c.found) << int(c.first) << "-" << int(c.last);
        EXPECT_EQ(result.failure, 0);
    }
    const BusScanResult result = ScanBus(port.name, 7, 7, 5);
    ASSERT_EQ(result.units.size(), 1u);
    const ScannedUnit& unit = result.units[0];
    EXPECT_TRUE(unit.versionsRead);
    EXPECT_EQ(UnitVersionSummary(unit),
              "command set V 1.71, library V 1.60, hardware Rev. 1.0A Var. B, boot V 1.2, "
              "application 1 V 1.00");
}

int callbackCalls = 0;

TEST(BusScan, EmptyAddressesReachNeitherTheErrorCallbackNorTheWireTwice) {
    SimPort port(74, "2", 5);
    ASSERT_EQ(MP_InitKelCommander(port.name.c_str(),
                                  [](uint8_t, uint8_t, int16_t, uint32_t) { ++callbackCalls; }),
              1);
    port.bus->ClearWireLog();
    EXPECT_EQ(Addresses(ScanBus(port.name, 1, 10, 5)), (std::vector<uint8_t>{2}));
    EXPECT_EQ(callbackCalls, 0);
    // One probe per address, and the read itself where a unit acknowledged.
    EXPECT_EQ(port.FramesWritten(), 11u);
}

TEST(BusScan, CountsAUnitThatAnswersWithoutVersions) {
    SimPort port(72, "1-2", 5);
    port.Unit(2).RemoveHandler(0x1F);  // refuses ReadVersion as unknown
    const BusScanResult result = ScanBus(port.name, 1, 3, 5);
    ASSERT_EQ(Addresses(result), (std::vector<uint8_t>{1, 2}));
    EXPECT_FALSE(result.units[1].versionsRead);
    EXPECT_EQ(result.units[1].result, UNKNOWN);
}

TEST(BusScan, StopsWhenTheProgressSaysSoOrNothingCanBeSent) {
    SimPort port(73, "1-5", 5);
    std::vector<uint8_t> asked;
    const BusScanResult cancelled = ScanBus(port.name, 1, 127, 5, [&](uint8_t address, size_t) {
        asked.push_back(address);
        return address < 3;
    });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(asked, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Addresses(cancelled), (std::vector<uint8_t>{1, 2}));

    const BusScanResult closed = ScanBus("Com79", 1, 5, 5);
    EXPECT_TRUE(closed.units.empty());
    EXPECT_EQ(closed.failure, NO_COMMAND);
}

}  // namespace
}  // namespace kelcmd
