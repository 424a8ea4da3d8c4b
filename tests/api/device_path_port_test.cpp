// A port named by its device path, however long: a /dev/serial/by-id/ link given directly to the
// exports, with and without device options.
#include <errno.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "api/bus_monitor_handles.h"
#include "kelcmd/kelcmd.h"
#include "platform/pty_pair.h"
#include "transport/port_resolver.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using kelcmd::testing::PtyPair;
namespace fs = std::filesystem;

constexpr const char* kAdapterName = "usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0";

// A by-id folder of our own with one adapter's link in it.
class ByIdLink {
  public:
    explicit ByIdLink(const std::string& target)
        : folder_(fs::path(::testing::TempDir()) / ("kelcmd-serial-" + std::to_string(::getpid())) /
                  "by-id") {
        fs::create_directories(folder_);
        path_ = (folder_ / kAdapterName).string();
        fs::remove(path_);
        fs::create_symlink(target, path_);
    }
    ~ByIdLink() {
        std::error_code ignored;
        fs::remove_all(folder_.parent_path(), ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    fs::path folder_;
    std::string path_;
};

std::string StandardPortName() {
    std::vector<char> name(kMaxDevicePathLength + 1, 'x');
    if (KEB_GetStandardPortName(name.data(), static_cast<uint32_t>(name.size())) != 1) return "-";
    return name.data();
}

TEST(DevicePathPort, ALongByIdLinkOpensAndCarriesFramesUnderItsWholeName) {
    PtyPair pty;
    const ByIdLink link(pty.SlavePath());
    for (const std::string& name : {link.Path(), link.Path() + "?lines=keep"}) {
        ASSERT_GT(name.size(), 19u);
        ASSERT_EQ(KEB_InitKelBus(19200, name.c_str(), KEB_AUTO_CONTROL, 100, 4), RESULT_OK) << name;

        // Read back whole, or not at all where it does not fit.
        EXPECT_EQ(StandardPortName(), name);
        char shortBuffer[20];
        std::memset(shortBuffer, 'x', sizeof shortBuffer);
        EXPECT_EQ(KEB_GetStandardPortName(shortBuffer, sizeof shortBuffer), 0);
        EXPECT_EQ(shortBuffer[0], 'x');
        uint32_t baud = 0;
        EXPECT_EQ(KEB_GetKelBusSettings(name.c_str(), &baud, nullptr, nullptr, nullptr), 1);
        EXPECT_EQ(baud, 19200u);

        // A raw frame on the named port: the unit on the pty acknowledges it, and the bus tap
        // names the port whole.
        const uint32_t monitor = OpenBusMonitor(name.c_str(), 0);
        std::vector<uint8_t> seen;
        std::thread unit([&] {
            seen = pty.Read(7);
            pty.Write({0x01});
        });
        KebPacket packet{};
        packet.dest = 1;
        packet.mtype = 48;
        EXPECT_EQ(MP_KEB_SendPacket(name.c_str(), &packet), RESULT_OK);
        unit.join();
        ASSERT_EQ(seen.size(), 7u);
        EXPECT_EQ(seen[0], 1);
        EXPECT_EQ(seen[4], 48);
        auto record = std::make_unique<BusEventRecord>();
        ASSERT_EQ(ReadBusMonitor(monitor, 1000, record.get()), 1);
        EXPECT_EQ(std::string(record->port), name);
        EXPECT_EQ(CloseBusMonitor(monitor), 1);

        EXPECT_EQ(KEB_CloseKelBusPort(name.c_str()), RESULT_OK);
    }
}

TEST(DevicePathPort, APathNoSystemCouldOpenIsRefusedWithItsReason) {
    const std::string name = "/" + std::string(kMaxDevicePathLength, 'd');
    EXPECT_EQ(KEB_InitKelBus(19200, name.c_str(), KEB_AUTO_CONTROL, 100, 4), WIN_ERR_OPENCOMM);
    int32_t number = 0;
    EXPECT_EQ(KEB_GetLastSystemError(&number, nullptr, 0), 1);
    EXPECT_EQ(number, ENAMETOOLONG);
}

TEST(DevicePathPort, TheOutcomeKeepsTheReasonOfALongPathWhole) {
    const std::string name = "/dev/serial/by-id/" + std::string(kAdapterName) +
                             "-and-a-few-more-words-to-pass-the-outcome-field";
    ASSERT_EQ(KEB_InitKelBus(19200, name.c_str(), KEB_AUTO_CONTROL, 100, 4), WIN_ERR_OPENCOMM);
    KebOutcome outcome{};
    outcome.size = sizeof outcome;
    ASSERT_EQ(KEB_GetLastOutcome(&outcome), 1);
    const std::string shown = outcome.systemErrorText;
    EXPECT_EQ(outcome.systemErrorNumber, ENOENT);
    EXPECT_EQ(shown.size(), sizeof outcome.systemErrorText - 1);
    // "open <start of the path>...<end of the path>: No such file or directory"
    const std::string reason = ": No such file or directory";
    const size_t mark = shown.find("...");
    ASSERT_NE(mark, std::string::npos) << shown;
    ASSERT_EQ(shown.substr(shown.size() - reason.size()), reason) << shown;
    const std::string head = shown.substr(0, mark);
    const std::string tail = shown.substr(mark + 3, shown.size() - reason.size() - mark - 3);
    EXPECT_EQ(("open " + name).rfind(head, 0), 0u) << shown;
    EXPECT_GE(tail.size(), 20u) << shown;
    EXPECT_EQ(name.substr(name.size() - tail.size()), tail) << shown;

    // The export with a buffer of the caller's size has it all.
    std::vector<char> whole(1024);
    EXPECT_EQ(KEB_GetLastSystemError(nullptr, whole.data(), static_cast<uint32_t>(whole.size())),
              1);
    EXPECT_EQ(std::string(whole.data()), "open " + name + ": No such file or directory");
}

}  // namespace
}  // namespace kelcmd
