#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include "sim_host.h"

namespace kelcmd::sim::testing {
namespace {

TEST(SimOptionsTest, PlainSimIsBusNamedAfterTheDeviceWithDefaults) {
    const auto device = ParseSimOptions("sim");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->busName, "sim");
    EXPECT_TRUE(device->addresses.empty());
    EXPECT_FALSE(device->speed);
    EXPECT_FALSE(device->paced);
}

TEST(SimOptionsTest, OptionsCombine) {
    const auto device = ParseSimOptions("sim:5,1-3,bus=left,speed=2.5,paced,3");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->busName, "left");
    EXPECT_EQ(device->addresses, (Bytes{1, 2, 3, 5}));
    EXPECT_DOUBLE_EQ(device->speed.value_or(0), 2.5);
    EXPECT_TRUE(device->paced);
    EXPECT_EQ(ParseSimOptions("sim:1-127")->addresses.size(), 127u);
}

TEST(SimOptionsTest, MalformedOptionsAreRefused) {
    for (const char* text : {"",
                             "si",
                             "simx",
                             "sim1",
                             "sim:",
                             "sim:,",
                             "sim:1,,2",
                             "sim:0",
                             "sim:128",
                             "sim:3-1",
                             "sim:1-",
                             "sim:-3",
                             "sim:1-2-3",
                             "sim:x",
                             "sim:bus=",
                             "sim:speed=0",
                             "sim:speed=-1",
                             "sim:speed=abc",
                             "sim:speed=inf",
                             "sim:speed=nan",
                             "sim:speed=",
                             "sim:pacedx",
                             "sim:99999999999"}) {
        EXPECT_FALSE(ParseSimOptions(text)) << text;
        EXPECT_EQ(OpenSimulatedDevice(text), nullptr) << text;
    }
}

TEST(SimOptionsTest, TheProblemOfAMalformedDeviceIsNamed) {
    struct Case {
        const char* device;
        const char* problem;
    };
    const Case cases[] = {
        {"sim:1-3,7", ""},
        {"/dev/ttyUSB0", ""},  // no simulated device: nothing to say
        {"simx", ""},
        {"sim:1-3,x",
         "'x' is not an option (unit addresses such as 1-3 or 5, bus=NAME, "
         "speed=F or paced)"},
        {"sim:200", "'200' is not a unit address or range (1 to 127, first to last)"},
        {"sim:3-1", "'3-1' is not a unit address or range (1 to 127, first to last)"},
        {"sim:1,,2", "an option is empty (two commas in a row, or nothing after 'sim:')"},
        {"sim:", "an option is empty (two commas in a row, or nothing after 'sim:')"},
        {"sim:bus=", "bus= needs a name"},
        {"sim:speed=0", "'speed=0' needs a positive number"},
    };
    for (const Case& c : cases) EXPECT_EQ(SimOptionsProblem(c.device), c.problem) << c.device;
}

using BusRegistryTest = SimBusTest;

TEST_F(BusRegistryTest, NewBusHasUnitOneOrTheListedUnits) {
    EXPECT_EQ(BusForDevice("sim")->UnitAddresses(), (Bytes{1}));
    EXPECT_EQ(BusForDevice("sim:2-4,9")->UnitAddresses(), (Bytes{2, 3, 4, 9}));
    EXPECT_EQ(BusForDevice("sim:2-4,9")->AddUnit(0), nullptr);
    EXPECT_EQ(BusForDevice("sim:2-4,9")->AddUnit(128), nullptr);
}

TEST_F(BusRegistryTest, SimulatedKindOpensThroughThePlatform) {
    RegisterSimulatedDevices();
    RegisterSimulatedDevices();  // a second call changes nothing
    auto device = OpenSerialDevice("sim:2,bus=platform");
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(FindBus("platform")->UnitAddresses(), (Bytes{2}));
    EXPECT_NE(OpenSerialDevice("sim"), nullptr);
}

TEST_F(BusRegistryTest, SecondOpenOfABusFailsUntilTheFirstCloses) {
    auto first = OpenSimulatedDevice("sim:1-2");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OpenSimulatedDevice("sim:1-2"), nullptr);
    EXPECT_EQ(OpenSimulatedDevice("sim:bus=sim:1-2"), nullptr);  // same bus by name
    EXPECT_NE(OpenSimulatedDevice("sim:1"), nullptr);            // another device, another bus
    EXPECT_TRUE(first->Close());
    EXPECT_FALSE(first->Close());
    auto second = OpenSimulatedDevice("sim:1-2");
    EXPECT_NE(second, nullptr);
    second.reset();  // destroying an open device frees the bus as well
    EXPECT_NE(OpenSimulatedDevice("sim:1-2"), nullptr);
}

TEST_F(BusRegistryTest, BusStatePersistsAcrossOpensUntilRemoved) {
    BusForDevice("sim:bus=kept")->Unit(1)->SetValue("input", 7);
    {
        auto device = OpenSimulatedDevice("sim:bus=kept");
        ASSERT_NE(device, nullptr);
    }
    ASSERT_NE(FindBus("kept"), nullptr);
    EXPECT_EQ(FindBus("kept")->Unit(1)->Value("input"), 7);
    RemoveBus("kept");
    EXPECT_EQ(FindBus("kept"), nullptr);
    EXPECT_FALSE(BusForDevice("sim:bus=kept")->Unit(1)->HasValue("input"));
}

TEST_F(BusRegistryTest, ReopeningKeepsSettingsTheSpecLeavesOut) {
    auto bus = BusForDevice("sim:3,bus=b,speed=10,paced");
    BusForDevice("sim:bus=b");
    EXPECT_EQ(bus->UnitAddresses(), (Bytes{3}));  // no unit 1 added to an existing bus
    EXPECT_DOUBLE_EQ(bus->Clock().Speed(), 10.0);
    EXPECT_TRUE(bus->Paced());
    BusForDevice("sim:4,bus=b,speed=2");
    EXPECT_EQ(bus->UnitAddresses(), (Bytes{3, 4}));
    EXPECT_DOUBLE_EQ(bus->Clock().Speed(), 2.0);
}

TEST_F(BusRegistryTest, DefaultUnitSetupReachesNewUnits) {
    SetDefaultUnitSetup([](SimUnit& unit) { unit.SetValue("model", unit.Address()); });
    auto bus = BusForDevice("sim:1-2");
    SetDefaultUnitSetup({});
    EXPECT_EQ(bus->Unit(2)->Value("model"), 2);
    EXPECT_FALSE(bus->AddUnit(3)->HasValue("model"));
}

}  // namespace
}  // namespace kelcmd::sim::testing
