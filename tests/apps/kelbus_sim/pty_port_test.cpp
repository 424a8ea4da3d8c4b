// The simulator's pseudo-terminal reads the rate the host program set on its slave.
#include "pty_port.h"

#include <gtest/gtest.h>

#include <string>

#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace kelcmd::simserver {
namespace {

TEST(PtyPort, ReadsTheHostsRateFreeRatesAsWellAsTableRates) {
    std::string error;
    const std::unique_ptr<PtyPort> port = PtyPort::Open(error);
    ASSERT_NE(port, nullptr) << error;
    // The host opens the slave with the library, as kelcmd does.
    for (const uint32_t baud : {250000u, 31250u, 19200u, 115200u}) {
        CSerialLine host;
        ASSERT_EQ(host.Open(baud, port->SlavePath(), AUTO_CONTROL, 50, 1), RESULT_OK) << baud;
        EXPECT_EQ(port->HostBaud(), baud);
        EXPECT_EQ(host.Close(), RESULT_OK);
    }
}

}  // namespace
}  // namespace kelcmd::simserver
