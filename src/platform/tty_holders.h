#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kelcmd {

// A process that has a device open, as /proc shows it.
struct DeviceHolder {
    pid_t pid = 0;
    std::string name;  // the program's name (comm), empty when unreadable
};

// The processes other than this one that have the device at `path` open (any name of it: a
// by-id link and the tty it leads to are the same device). Processes whose descriptors this user
// may not see are missed.
std::vector<DeviceHolder> FindDeviceHolders(const std::string& path);

// "process 1234 (minicom)" for each holder, joined by ", "; empty without holders.
std::string DescribeDeviceHolders(const std::vector<DeviceHolder>& holders);

}  // namespace kelcmd
