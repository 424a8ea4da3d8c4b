// The operating system's reason of a failed open, as a host reads it through the export.
#include <errno.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "kelcmd/kelcmd.h"
#include "platform/pty_pair.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using kelcmd::testing::PtyPair;

struct Reason {
    int32_t returned;
    int32_t number;
    std::string text;
};

Reason LastReason() {
    Reason reason{};
    char text[256];
    std::memset(text, 'x', sizeof text);
    reason.returned = KEB_GetLastSystemError(&reason.number, text, sizeof text);
    reason.text = text;
    return reason;
}

// Opens `device` as port `name`; the port is closed and unmapped again when the open worked.
uint8_t OpenAs(const char* name, const std::string& device, bool keepOpen = false) {
    KEB_MapPort(name, device.c_str());
    const uint8_t result = KEB_InitKelBus(19200, name, KEB_RTS_CONTROL, 100, 4);
    if (!keepOpen) {
        if (result == RESULT_OK) KEB_CloseKelBusPort(name);
        KEB_MapPort(name, nullptr);
    }
    return result;
}

TEST(SystemErrorExport, AMissingAndABusyDeviceGiveTheirOwnReasons) {
    PtyPair pty;
    ASSERT_EQ(OpenAs("Com61", pty.SlavePath(), true), RESULT_OK);
    EXPECT_EQ(LastReason().returned, 0);

    struct Case {
        std::string device;
        int32_t number;
        std::string text;
    };
    const Case cases[] = {
        {"/dev/kelcmd-no-such-device", ENOENT,
         "open /dev/kelcmd-no-such-device: No such file or directory"},
        // Com61 holds the pseudo-terminal: a second open through the library is refused.
        {pty.SlavePath(), EBUSY, "open " + pty.SlavePath() + ": Device or resource busy"},
    };
    for (const Case& c : cases) {
        // The result code stays the same; the reason tells the two apart.
        EXPECT_EQ(OpenAs("Com62", c.device), WIN_ERR_OPENCOMM) << c.device;
        const Reason reason = LastReason();
        EXPECT_EQ(reason.returned, 1);
        EXPECT_EQ(reason.number, c.number);
        EXPECT_EQ(reason.text, c.text);
    }
    EXPECT_EQ(KEB_CloseKelBusPort("Com61"), RESULT_OK);
    KEB_MapPort("Com61", nullptr);

    // Once the holder is gone the same device opens, and the reason is gone with the failure.
    EXPECT_EQ(OpenAs("Com62", pty.SlavePath()), RESULT_OK);
    const Reason none = LastReason();
    EXPECT_EQ(none.returned, 0);
    EXPECT_EQ(none.number, 0);
    EXPECT_EQ(none.text, "");
}

TEST(SystemErrorExport, BuffersAreFilledAsFarAsTheyReach) {
    ASSERT_EQ(OpenAs("Com63", "/dev/kelcmd-no-such-device"), WIN_ERR_OPENCOMM);
    char text[8];
    std::memset(text, 'x', sizeof text);
    int32_t number = 0;
    // Null and empty buffers are left alone.
    EXPECT_EQ(KEB_GetLastSystemError(nullptr, nullptr, 100), 1);
    EXPECT_EQ(KEB_GetLastSystemError(&number, text, 0), 1);
    EXPECT_EQ(number, ENOENT);
    EXPECT_EQ(text[0], 'x');
    // A short buffer holds the start of the text and its terminator.
    EXPECT_EQ(KEB_GetLastSystemError(nullptr, text, sizeof text), 1);
    EXPECT_STREQ(text, "open /d");
}

TEST(SystemErrorExport, EachThreadSeesItsOwnReason) {
    ASSERT_EQ(OpenAs("Com64", "/dev/kelcmd-no-such-device"), WIN_ERR_OPENCOMM);
    Reason other{};
    std::thread host([&other] { other = LastReason(); });
    host.join();
    EXPECT_EQ(other.returned, 0);
    EXPECT_EQ(other.text, "");
    EXPECT_EQ(LastReason().number, ENOENT);
}

}  // namespace
}  // namespace kelcmd
