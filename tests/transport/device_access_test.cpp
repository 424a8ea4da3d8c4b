// Who holds a device, and why this user may not open one, as an open of a line tells it.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/pty_pair.h"
#include "platform/serial_device.h"
#include "platform/system_error.h"
#include "platform/tty_holders.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace kelcmd {
namespace {

// A child process that opens `path` (plainly, or as a line does: exclusive and locked) and keeps
// it open until it is told to end.
class ChildHolding {
  public:
    explicit ChildHolding(const std::string& path, bool asLine = false) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(end_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(end_[1]);  // the end comes when the parent closes its side
            std::unique_ptr<SerialDevice> device;
            const bool opened = asLine ? (device = OpenSerialDevice(path)) != nullptr
                                       : ::open(path.c_str(), O_RDWR | O_NOCTTY) >= 0;
            char byte = opened ? '1' : '0';
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(end_[0], &byte, 1);
            ::_exit(0);
        }
        char byte = '0';
        opened_ = ::read(ready[0], &byte, 1) == 1 && byte == '1';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~ChildHolding() {
        if (pid_ <= 0) return;
        ::close(end_[1]);
        ::waitpid(pid_, nullptr, 0);
        ::close(end_[0]);
    }
    pid_t Pid() const { return pid_; }
    bool Opened() const { return opened_; }

  private:
    int end_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool opened_ = false;
};

TEST(DeviceHolders, NameTheOtherProcessesThatHoldTheDeviceUnderAnyName) {
    testing::PtyPair pty;
    EXPECT_TRUE(FindDeviceHolders(pty.SlavePath()).empty());
    const int own = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(own, 0);
    EXPECT_TRUE(FindDeviceHolders(pty.SlavePath()).empty());  // this process does not count

    ChildHolding child(pty.SlavePath());
    ASSERT_TRUE(child.Opened());
    const std::string link = ::testing::TempDir() + "kelcmd-holders-link";
    std::remove(link.c_str());
    ASSERT_EQ(::symlink(pty.SlavePath().c_str(), link.c_str()), 0);
    const auto holders = FindDeviceHolders(link);
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].pid, child.Pid());
    EXPECT_EQ(DescribeDeviceHolders(holders),
              "process " + std::to_string(child.Pid()) + " (" + holders[0].name + ")");
    EXPECT_FALSE(holders[0].name.empty());
    std::remove(link.c_str());
    ::close(own);

    EXPECT_TRUE(FindDeviceHolders("/nonexistent/tty").empty());
    EXPECT_TRUE(FindDeviceHolders("/").empty());
}

TEST(DeviceHolders, ABusyDeviceNamesItsHolderAndOneOpenWithoutALockIsWarnedOf) {
    testing::PtyPair pty;
    {
        ChildHolding line(pty.SlavePath(), true);
        ASSERT_TRUE(line.Opened());
        CSerialLine second;
        ASSERT_EQ(second.Open(19200, pty.SlavePath(), AUTO_CONTROL, 50, 4), WIN_ERR_OPENCOMM);
        const std::string reason = DescribeSystemError(second.GetLastSystemError());
        EXPECT_NE(reason.find("busy; held by process " + std::to_string(line.Pid())),
                  std::string::npos)
            << reason;
        EXPECT_EQ(DescribeSystemError(ThreadSystemError()), reason);
    }
    ChildHolding terminal(pty.SlavePath());
    ASSERT_TRUE(terminal.Opened());
    CSerialLine line;
    ASSERT_EQ(line.Open(19200, pty.SlavePath(), AUTO_CONTROL, 50, 4), 0);
    EXPECT_NE(line.GetOpenWarning().find("also open in process " + std::to_string(terminal.Pid())),
              std::string::npos)
        << line.GetOpenWarning();
}

// Opens `path` as a line does, as user nobody in a child process; returns the reason it gave.
std::string AsNobody(const std::string& path, bool& opened) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(1);
        }
        CSerialLine line;
        const bool failed = line.Open(19200, path, AUTO_CONTROL, 50, 4) == WIN_ERR_OPENCOMM;
        const std::string text =
            (failed ? "" : "opened") + DescribeSystemError(line.GetLastSystemError());
        (void)!::write(out[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string text;
    char chunk[256];
    for (ssize_t n; (n = ::read(out[0], chunk, sizeof chunk)) > 0;) text.append(chunk, n);
    ::close(out[0]);
    ::waitpid(pid, nullptr, 0);
    opened = text.rfind("opened", 0) == 0;
    return text;
}

TEST(DeviceAccess, ARefusedUserIsToldTheDevicesGroupAndHowToJoinIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string node = ::testing::TempDir() + "kelcmd-access-node";
    std::remove(node.c_str());
    // A copy of /dev/null's device, readable and writable by its group only.
    ASSERT_EQ(::mknod(node.c_str(), S_IFCHR | 0660, ::makedev(1, 3)), 0);
    ASSERT_EQ(::chown(node.c_str(), 0, 20), 0);  // Debian's dialout group
    ::chmod(node.c_str(), 0660);
    bool opened = false;
    const std::string told = AsNobody(node, opened);
    std::remove(node.c_str());
    EXPECT_FALSE(opened);
    EXPECT_NE(told.find("Permission denied; "), std::string::npos) << told;
    EXPECT_NE(told.find("belongs to group dialout (crw-rw----)"), std::string::npos) << told;
    EXPECT_NE(told.find("usermod -aG dialout"), std::string::npos) << told;
}

}  // namespace
}  // namespace kelcmd
