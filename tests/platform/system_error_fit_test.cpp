// A system error's text in a fixed-size field: shortened where it shows, never past the field.
#include <errno.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/system_error.h"

namespace kelcmd {
namespace {

TEST(SystemErrorFit, ALongDevicePathLosesItsMiddleWhereverTheTextNamesIt) {
    const std::string device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0";
    const SystemError refused{EACCES, "open", device,
                              "Permission denied; " + device + " belongs to group dialout"};
    const std::string whole = DescribeSystemError(refused);
    EXPECT_EQ(DescribeSystemError(refused, whole.size()), whole);

    const std::string fitted = DescribeSystemError(refused, 100);
    EXPECT_LE(fitted.size(), 100u);
    EXPECT_GE(fitted.size(), 98u);
    const std::string shortened = fitted.substr(5, fitted.find(':') - 5);  // after "open "
    EXPECT_NE(shortened.find("..."), std::string::npos) << fitted;
    EXPECT_EQ(fitted, "open " + shortened + ": Permission denied; " + shortened +
                          " belongs to group dialout");
    EXPECT_EQ(device.substr(device.size() - 10), shortened.substr(shortened.size() - 10));

    // Too short a field even for that: the end goes, marked.
    const std::string cut = DescribeSystemError(refused, 40);
    EXPECT_EQ(cut, whole.substr(0, 37) + "...");
    EXPECT_EQ(DescribeSystemError(refused, 2), "op");
    EXPECT_EQ(DescribeSystemError(SystemError{}, 10), "");
}

}  // namespace
}  // namespace kelcmd
