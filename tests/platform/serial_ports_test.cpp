// The serial devices as the kernel lists them, read from a tree that models sysfs and /dev.
#include "platform/serial_ports.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace kelcmd {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAdapterLink = "usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0";

// sys/class/tty, sys/devices and dev of a machine of our own, removed at the end.
class FakeMachine {
  public:
    FakeMachine()
        : root_(fs::path(::testing::TempDir()) / ("kelcmd-sysfs-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        fs::create_directories(ClassRoot());
        fs::create_directories(DeviceRoot() / "serial" / "by-id");
    }
    ~FakeMachine() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path ClassRoot() const { return root_ / "sys" / "class" / "tty"; }
    fs::path DeviceRoot() const { return root_ / "dev"; }
    SerialPortRoots Roots() const { return {ClassRoot().string(), DeviceRoot().string()}; }

    // A device under sys/devices, bound to `driver` ("" for none).
    fs::path Device(const std::string& path, const std::string& driver) const {
        const fs::path device = root_ / "sys" / "devices" / path;
        fs::create_directories(device);
        if (!driver.empty()) {
            const fs::path bound = root_ / "sys" / "bus" / "drivers" / driver;
            fs::create_directories(bound);
            fs::create_symlink(bound, device / "driver");
        }
        return device;
    }

    // A tty of the class with its device file; `device` empty for a virtual one.
    fs::path Tty(const std::string& name, const fs::path& device) const {
        const fs::path tty = ClassRoot() / name;
        fs::create_directories(tty);
        if (!device.empty()) fs::create_symlink(device, tty / "device");
        Write(DeviceRoot() / name, "");
        return tty;
    }

    static void Write(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text;
    }

  private:
    fs::path root_;
};

TEST(SerialPorts, AUsbAdapterAndTheRealOneOfThePlatformUarts) {
    FakeMachine machine;
    const fs::path adapter = machine.Device("usb1/1-1/1-1:1.0/ttyUSB0", "ftdi_sio");
    FakeMachine::Write(adapter / "latency_timer", "16\n");
    machine.Tty("ttyUSB0", adapter);
    fs::create_symlink("../../ttyUSB0", machine.DeviceRoot() / "serial" / "by-id" / kAdapterLink);

    // The serial core's port and controller devices sit between a UART and its driver.
    machine.Device("platform/serial8250", "serial8250");
    machine.Device("platform/serial8250/serial8250:0", "ctrl");
    const fs::path uart = machine.Device("platform/serial8250/serial8250:0/serial8250:0.0", "port");
    FakeMachine::Write(machine.Tty("ttyS0", uart) / "type", "4\n");
    // Of the 32 ttyS the kernel lists, those without a port have the type 0.
    const fs::path none = machine.Device("platform/serial8250/serial8250:0/serial8250:0.1", "port");
    FakeMachine::Write(machine.Tty("ttyS1", none) / "type", "0\n");
    machine.Tty("tty0", {});  // a virtual console
    machine.Tty("ptmx", {});

    const std::vector<SerialPortEntry> ports = ListSerialPorts(machine.Roots());
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].device, (machine.DeviceRoot() / "ttyS0").string());
    EXPECT_EQ(ports[0].driver, "serial8250");
    EXPECT_TRUE(ports[0].byId.empty());
    EXPECT_FALSE(ports[0].latencyTimerMs.has_value());
    EXPECT_EQ(ports[1].device, (machine.DeviceRoot() / "ttyUSB0").string());
    EXPECT_EQ(ports[1].driver, "ftdi_sio");
    EXPECT_EQ(ports[1].byId,
              std::vector<std::string>{
                  (machine.DeviceRoot() / "serial" / "by-id" / kAdapterLink).string()});
    EXPECT_EQ(ports[1].latencyTimerMs, 16u);
}

TEST(SerialPorts, AnEmptyMissingOrBrokenTreeListsNothing) {
    FakeMachine machine;
    EXPECT_TRUE(ListSerialPorts(machine.Roots()).empty());
    EXPECT_TRUE(ListSerialPorts({"/nonexistent/class/tty", "/nonexistent/dev"}).empty());

    // Links that lead nowhere or round in a circle, files where folders belong, a garbled type.
    const fs::path tty = machine.ClassRoot() / "ttyUSB7";
    fs::create_directories(tty);
    fs::create_symlink("device", tty / "device");
    fs::create_symlink("/nonexistent", machine.DeviceRoot() / "serial" / "by-id" / kAdapterLink);
    machine.Tty("ttyS3", machine.ClassRoot() / "missing-device");
    EXPECT_TRUE(ListSerialPorts(machine.Roots()).empty());

    const fs::path loose = machine.Device("usb2/ttyACM0", "");
    FakeMachine::Write(machine.Tty("ttyACM0", loose) / "type", "garbled");
    FakeMachine::Write(loose / "latency_timer", "none");
    const fs::path file = machine.DeviceRoot() / "file";
    FakeMachine::Write(file, "");
    const std::vector<SerialPortEntry> ports =
        ListSerialPorts({machine.ClassRoot().string(), file.string()});
    ASSERT_EQ(ports.size(), 1u);  // what could be read of it
    EXPECT_EQ(ports[0].driver, "");
    EXPECT_TRUE(ports[0].byId.empty());
    EXPECT_FALSE(ports[0].latencyTimerMs.has_value());
    EXPECT_TRUE(ListSerialPorts({file.string(), file.string()}).empty());
}

}  // namespace
}  // namespace kelcmd
