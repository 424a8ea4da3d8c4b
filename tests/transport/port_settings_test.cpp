// Port settings: defaults, the archive form with its doubled timeout, and bad archives.
#include "transport/port_settings.h"

#include <gtest/gtest.h>

#include "archive/archive.h"

namespace kelcmd {
namespace {

TEST(PortSettings, DefaultsAndNameComparison) {
    CPortSettings settings;
    EXPECT_EQ(settings.GetName(), "Com1");
    EXPECT_EQ(settings.GetBaudrate(), 19200u);
    EXPECT_EQ(settings.GetTimeout(), 100u);
    EXPECT_EQ(settings.GetReceiveTrials(), 4u);
    EXPECT_EQ(settings.GetBusControl(), 0);
    EXPECT_TRUE(settings.NameEquals("COM1"));
    EXPECT_FALSE(settings.NameEquals("Com10"));
    settings.Set("Com4", 9600, 1, 30, 2);
    settings.Reset();
    EXPECT_EQ(settings.GetName(), "Com1");
    EXPECT_EQ(settings.GetBaudrate(), 19200u);
}

TEST(PortSettings, ArchiveFormWritesTheTimeoutTwice) {
    CPortSettings settings;
    settings.Set("Com2", 38400, 1, 250, 3);
    CArchive out;
    settings.Serialize(out);
    const std::vector<uint8_t> expected = {
        0x00, 0x96, 0x00, 0x00,                   // baud 38400
        0x01,                                     // bus control
        0x04, 'C',  'o',  'm',  '2', 0x00, 0x00,  // reserved
        0xFA, 0x00, 0x00, 0x00,                   // timeout
        0xFA, 0x00, 0x00, 0x00,                   // timeout again
        0x03, 0x00, 0x00, 0x00,                   // receive trials
    };
    EXPECT_EQ(out.Data(), expected);

    std::vector<uint8_t> bytes = expected;
    bytes[16] = 0x10;  // the second timeout wins
    CArchive in(bytes);
    CPortSettings loaded;
    loaded.Serialize(in);
    ASSERT_FALSE(in.Failed());
    EXPECT_EQ(loaded.GetName(), "Com2");
    EXPECT_EQ(loaded.GetBaudrate(), 38400u);
    EXPECT_EQ(loaded.GetBusControl(), 1);
    EXPECT_EQ(loaded.GetTimeout(), 0x10u);
    EXPECT_EQ(loaded.GetReceiveTrials(), 3u);
}

TEST(PortSettings, TruncatedArchiveLeavesTheSettingsAlone) {
    CPortSettings settings;
    settings.Set("Com2", 38400, 1, 250, 3);
    CArchive out;
    settings.Serialize(out);
    std::vector<uint8_t> bytes = out.Data();
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::vector<uint8_t> part(bytes.begin(), bytes.begin() + size);
        CArchive in(part);
        CPortSettings target;
        target.Set("Com9", 4800, 0, 7, 1);
        target.Serialize(in);
        EXPECT_TRUE(in.Failed()) << size;
        EXPECT_EQ(target.GetName(), "Com9") << size;
        EXPECT_EQ(target.GetBaudrate(), 4800u) << size;
    }
}

}  // namespace
}  // namespace kelcmd
