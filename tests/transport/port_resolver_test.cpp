#include "transport/port_resolver.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace kelcmd {
namespace {

class PortResolver : public ::testing::Test {
  protected:
    void SetUp() override {
        ::unsetenv("KELCMD_PORTS");
        ClearPortMappings();
    }
    void TearDown() override {
        ::unsetenv("KELCMD_PORTS");
        ClearPortMappings();
    }
};

std::string Resolved(const std::string& name) {
    const std::optional<std::string> device = ResolvePortDevice(name);
    return device ? *device : "<none>";
}

TEST_F(PortResolver, ComNOpensTtySOfNMinusOne) {
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyS0");
    EXPECT_EQ(Resolved("COM2"), "/dev/ttyS1");
    EXPECT_EQ(Resolved("cOm12"), "/dev/ttyS11");
    EXPECT_EQ(Resolved("Com99"), "/dev/ttyS98");
    EXPECT_EQ(Resolved("Com256"), "/dev/ttyS255");
}

TEST_F(PortResolver, MalformedComNamesDoNotResolve) {
    EXPECT_EQ(Resolved("Com0"), "<none>");
    EXPECT_EQ(Resolved("Com"), "<none>");
    EXPECT_EQ(Resolved("Com01"), "<none>");
    EXPECT_EQ(Resolved("Com1a"), "<none>");
    EXPECT_EQ(Resolved("Com-1"), "<none>");
    EXPECT_EQ(Resolved("LPT1"), "<none>");
    EXPECT_EQ(Resolved("ttyUSB0"), "<none>");
    EXPECT_EQ(Resolved(""), "<none>");
}

TEST_F(PortResolver, PathsAndTheSimulatedBusStandAsTheyAre) {
    EXPECT_EQ(Resolved("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(Resolved("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(Resolved("sim"), "sim");
    EXPECT_EQ(Resolved("sim:1-3"), "sim:1-3");
}

TEST_F(PortResolver, TheWindowsDevicePrefixIsDropped) {
    EXPECT_EQ(Resolved("\\\\.\\COM3"), "/dev/ttyS2");
    EXPECT_EQ(Resolved("\\\\.\\/dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(Resolved("\\\\.\\"), "<none>");
}

TEST_F(PortResolver, NamesOfUpTo15CharactersFitTheLimit) {
    EXPECT_TRUE(PortNameFitsLimit("Com123456789012"));  // 15
    EXPECT_EQ(Resolved("Com123456789012"), "/dev/ttyS123456789011");
    EXPECT_FALSE(PortNameFitsLimit("Com1234567890123"));  // 16
    EXPECT_EQ(Resolved("Com1234567890123"), "<none>");
    EXPECT_EQ(Resolved("sim:1-3,5,7-9,11"), "<none>");
}

TEST_F(PortResolver, ANameWithThePrefixCountsWhole) {
    const std::string prefix = "\\\\.\\";
    EXPECT_TRUE(PortNameFitsLimit(prefix + "Com123456789012"));  // 19 with the prefix
    EXPECT_EQ(Resolved(prefix + "Com123456789012"), "/dev/ttyS123456789011");
    EXPECT_FALSE(PortNameFitsLimit(prefix + "Com1234567890123"));  // 20
    EXPECT_EQ(Resolved(prefix + "Com1234567890123"), "<none>");
}

TEST_F(PortResolver, ADevicePathNeedsOnlyToBeAPath) {
    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0";
    EXPECT_EQ(Resolved(byId), byId);
    EXPECT_EQ(Resolved(byId + "?rs485=kernel,rts=low"), byId + "?rs485=kernel,rts=low");
    EXPECT_EQ(Resolved("\\\\.\\" + byId), byId);
    const std::string longest = "/" + std::string(kMaxDevicePathLength - 1, 'd');
    EXPECT_EQ(Resolved(longest), longest);
    EXPECT_FALSE(PortNameFitsLimit(longest + "d"));  // no system opens it
    EXPECT_EQ(Resolved(longest + "d"), "<none>");
}

TEST_F(PortResolver, TheLimitAppliesToTheNameNotToTheMappedDevice) {
    const std::string longDevice = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    ASSERT_TRUE(MapPort("Com1", longDevice));
    EXPECT_EQ(Resolved("Com1"), longDevice);
    ASSERT_TRUE(MapPort("ThisNameIsTooLong", "/dev/ttyS0"));
    EXPECT_EQ(Resolved("ThisNameIsTooLong"), "<none>");
}

TEST_F(PortResolver, EnvironmentMappingsAreParsed) {
    ::setenv("KELCMD_PORTS", "Com1=/dev/ttyUSB0, com2 = sim:1-3 ,junk,=sim,Com3=,Bus=sim", 1);
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyUSB0");
    EXPECT_EQ(Resolved("COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(Resolved("Com2"), "sim:1-3");
    EXPECT_EQ(Resolved("Com3"), "/dev/ttyS2");  // empty device: ignored
    EXPECT_EQ(Resolved("bus"), "sim");          // any name can be mapped
    EXPECT_EQ(Resolved("junk"), "<none>");
    EXPECT_EQ(Resolved("Com4"), "/dev/ttyS3");
}

TEST_F(PortResolver, DeviceOptionsStayWithTheirDevice) {
    ::setenv("KELCMD_PORTS", "Com1=/dev/ttyS1?rs485=kernel,rts=low,Com2=/dev/ttyUSB0?echo=discard",
             1);
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyS1?rs485=kernel,rts=low");
    EXPECT_EQ(Resolved("Com2"), "/dev/ttyUSB0?echo=discard");
    EXPECT_EQ(Resolved("rts"), "<none>");
    // Programs that serve every mapped port see the same two ports, not "rts" as a third.
    ::setenv("KELCMD_PORTS", "Com1=/dev/ttyS1?rs485=kernel,rts=low,junk,com1=sim,Com2=sim", 1);
    EXPECT_EQ(EnvironmentPortNames(), (std::vector<std::string>{"Com1", "Com2"}));
}

TEST_F(PortResolver, MalformedEnvironmentEntriesAreListed) {
    struct Case {
        const char* value;
        std::vector<std::string> malformed;
    };
    const Case cases[] = {
        {"Com1=/dev/ttyUSB0, com2 = sim:1-3 ,junk,=sim,Com3=,Bus=sim", {"junk", "=sim", "Com3="}},
        {"Com1=sim:1-3,7", {"7"}},  // a comma ends the entry, not the option list
        {"Com1=sim,,Com2=sim, ", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        ::setenv("KELCMD_PORTS", c.value, 1);
        EXPECT_EQ(MalformedPortMappings(), c.malformed) << c.value;
    }
    ::unsetenv("KELCMD_PORTS");
    EXPECT_TRUE(MalformedPortMappings().empty());
}

TEST_F(PortResolver, TheFirstEnvironmentEntryOfANameCounts) {
    ::setenv("KELCMD_PORTS", "Com1=/dev/ttyUSB0,COM1=/dev/ttyUSB1", 1);
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyUSB0");
}

TEST_F(PortResolver, TheEnvironmentIsReadAtEveryCall) {
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyS0");
    ::setenv("KELCMD_PORTS", "Com1=sim", 1);
    EXPECT_EQ(Resolved("Com1"), "sim");
    ::unsetenv("KELCMD_PORTS");
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyS0");
}

TEST_F(PortResolver, MapPortTakesPrecedenceOverTheEnvironment) {
    ::setenv("KELCMD_PORTS", "Com1=/dev/ttyUSB0", 1);
    ASSERT_TRUE(MapPort("COM1", "sim:5"));
    EXPECT_EQ(Resolved("com1"), "sim:5");
    ASSERT_TRUE(MapPort("Com1", "/dev/ttyACM0"));  // replaces, in any letter case
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyACM0");
    ASSERT_TRUE(MapPort("cOM1", ""));  // removed: the environment counts again
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyUSB0");
    ::unsetenv("KELCMD_PORTS");
    EXPECT_EQ(Resolved("Com1"), "/dev/ttyS0");
}

TEST_F(PortResolver, MapPortComparesNamesWithoutCase) {
    ASSERT_TRUE(MapPort("MotorBus", "/dev/ttyUSB3"));
    EXPECT_EQ(Resolved("motorbus"), "/dev/ttyUSB3");
    EXPECT_EQ(Resolved("MOTORBUS"), "/dev/ttyUSB3");
    EXPECT_EQ(Resolved("MotorBus2"), "<none>");
}

TEST_F(PortResolver, MapPortRefusesAnEmptyName) {
    EXPECT_FALSE(MapPort("", "/dev/ttyS0"));
    EXPECT_TRUE(MapPort("Com5", ""));  // removing what is not there is fine
    EXPECT_EQ(Resolved("Com5"), "/dev/ttyS4");
}

TEST_F(PortResolver, ConcurrentMappingAndResolving) {
    std::atomic<bool> bad{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &bad] {
            const std::string name = "Port" + std::to_string(t);
            const std::string device = "/dev/ttyUSB" + std::to_string(t);
            for (int i = 0; i < 2000; ++i) {
                MapPort(name, device);
                if (Resolved(name) != device) bad = true;
                if (Resolved("Com1") != "/dev/ttyS0") bad = true;
                MapPort(name, "");
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_FALSE(bad);
}

}  // namespace
}  // namespace kelcmd
