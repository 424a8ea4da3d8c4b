#include "platform/device_options.h"

#include <gtest/gtest.h>

namespace kelcmd {
namespace {

TEST(DeviceOptions, PathAndOptionsAreSplitAndUnknownOptionsRefused) {
    std::string error;
    const auto plain = ParseDeviceText("/dev/ttyS1", error);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->path, "/dev/ttyS1");
    EXPECT_FALSE(plain->options.kernelRs485 || plain->options.rtsActiveLow);

    const auto all =
        ParseDeviceText("/dev/ttyS1?rs485=kernel,rts=low,echo=discard,ninth=oddeven", error);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->path, "/dev/ttyS1");
    EXPECT_TRUE(all->options.kernelRs485 && all->options.rtsActiveLow && all->options.discardEcho &&
                all->options.ninthBit == NinthBitChoice::kOddEven);
    EXPECT_FALSE(all->options.keepModemLines);
    const auto forced = ParseDeviceText("/dev/ttyS1?ninth=markspace", error);
    ASSERT_TRUE(forced);
    EXPECT_EQ(forced->options.ninthBit, NinthBitChoice::kMarkSpace);

    EXPECT_FALSE(ParseDeviceText("/dev/ttyS1?rts=sideways", error));
    EXPECT_EQ(error, "unknown device option 'rts=sideways'");
    EXPECT_FALSE(ParseDeviceText("/dev/ttyS1?", error));
    EXPECT_FALSE(ParseDeviceText("/dev/ttyS1?lines=keep,", error));
    EXPECT_FALSE(ParseDeviceText("/dev/ttyS1?lines=keep,rs485=kernel", error));
}

}  // namespace
}  // namespace kelcmd
