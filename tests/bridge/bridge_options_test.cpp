#include "bridge_options.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "transport/port_resolver.h"

namespace kelcmd::bridge {
namespace {

std::string Parse(std::vector<std::string> words, BridgeOptions& options) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    return ParseBridgeOptions(static_cast<int>(argv.size()), argv.data(), options);
}

// Unit commands reach only ports named Com1 to Com99, so a bus given by its device path runs on a
// free ComN with that path as its device, and keeps a name made from the path.
TEST(BridgeOptions, DevicePathPortsRunOnAFreeComPort) {
    ::unsetenv("KELCMD_PORTS");
    MapPort("Com1", "sim:1");
    BridgeOptions options;
    ASSERT_EQ(Parse({"kelcmd-bridge", "--port", "/dev/ttyUSB0", "--bus", "line", "--port", "Com2",
                     "--device", "sim:2", "--port", "/dev/ttyUSB1"},
                    options),
              "");
    ClearPortMappings();
    ASSERT_EQ(options.buses.size(), 3u);
    EXPECT_EQ(options.buses[0].port, "Com3");
    EXPECT_EQ(options.buses[0].device, "/dev/ttyUSB0");
    EXPECT_EQ(options.buses[0].name, "line");
    EXPECT_EQ(options.buses[1].port, "Com2");
    EXPECT_EQ(options.buses[2].port, "Com4");
    EXPECT_EQ(options.buses[2].device, "/dev/ttyUSB1");
    EXPECT_NE(options.buses[2].name.find("_dev_ttyUSB1"), std::string::npos);
}

}  // namespace
}  // namespace kelcmd::bridge
