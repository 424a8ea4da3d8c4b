#include "platform/tty_capabilities.h"

#include <gtest/gtest.h>

#include "platform/fake_tty.h"
#include "platform/pty_pair.h"

namespace kelcmd {
namespace {

using testing::FakeTtyModel;
using testing::MakeFakeTty;

TEST(TtyCapabilities, ProbeTellsWhatTheDriverKeepsAndPutsTheRecordBack) {
    auto model = std::make_shared<FakeTtyModel>();
    model->keepsMarkSpace = false;
    model->keepsAddressBit = true;
    model->rs485Offered = true;
    model->rs485.enabled = true;
    model->latencyTimer = 16;
    const TtyAttributes before = model->attributes;

    const TtyCapabilities found = ProbeTty("/dev/ttyUSB0", MakeFakeTty(model));
    EXPECT_EQ(found.openError.number, 0);
    EXPECT_EQ(found.driverName, "fake_uart");
    EXPECT_EQ(found.markSpaceParity, false);
    EXPECT_EQ(found.addressBit, true);
    EXPECT_EQ(found.kernelRs485Enabled, true);
    EXPECT_EQ(found.latencyTimerMs, 16u);
    EXPECT_EQ(found.lowLatency, false);
    EXPECT_EQ(found.modemLines, true);
    EXPECT_EQ(model->attributes.cflag, before.cflag);
    EXPECT_TRUE(model->rs485.enabled && !model->rs485.addressBit);
    EXPECT_FALSE(model->open);

    model->keepsMarkSpace = true;
    model->rs485Offered = false;
    const TtyCapabilities again = ProbeTty("/dev/ttyUSB0", MakeFakeTty(model));
    EXPECT_EQ(again.markSpaceParity, true);
    EXPECT_FALSE(again.kernelRs485Enabled.has_value());
    EXPECT_EQ(again.addressBit, false);  // addressing lives in the RS485 mode

    // RS485 without addressing: the mode, off before, is off again afterwards.
    model->rs485Offered = true;
    model->keepsAddressBit = false;
    model->rs485 = {};
    const TtyCapabilities third = ProbeTty("/dev/ttyUSB0", MakeFakeTty(model));
    EXPECT_EQ(third.addressBit, false);
    EXPECT_FALSE(model->rs485.enabled);
}

TEST(TtyCapabilities, ProbeOfAPseudoTerminalAndOfNothing) {
    testing::PtyPair pty;
    const TtyCapabilities found = ProbeTty(pty.SlavePath());
    EXPECT_EQ(found.openError.number, 0);
    EXPECT_TRUE(found.pseudoTerminal);
    EXPECT_EQ(found.markSpaceParity, false);  // a pty drops PARENB

    const TtyCapabilities missing = ProbeTty("/dev/kelcmd-no-such-device");
    EXPECT_EQ(missing.openError.number, ENOENT);
    EXPECT_FALSE(missing.markSpaceParity.has_value());
}

}  // namespace
}  // namespace kelcmd
