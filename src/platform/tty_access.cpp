#include "platform/tty_access.h"

#include <errno.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/tty_holders.h"

namespace kelcmd {
namespace {

// The group's name, and whether the group database lists `user` as a member.
struct GroupFacts {
    std::string name;
    bool listsUser = false;
};

GroupFacts LookUpGroup(gid_t group, const std::string& user) {
    std::vector<char> buffer(16384);
    struct group entry {};
    struct group* found = nullptr;
    if (::getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return {std::to_string(group), false};
    }
    GroupFacts facts{found->gr_name, false};
    for (char** member = found->gr_mem; member != nullptr && *member != nullptr; ++member) {
        if (user == *member) facts.listsUser = true;
    }
    return facts;
}

std::string UserName() {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return {};
    }
    return found->pw_name;
}

// Whether this process runs with the group's rights.
bool ProcessInGroup(gid_t group) {
    if (::getegid() == group) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int filled = ::getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<size_t>(i)] == group) return true;
    }
    return false;
}

// "crw-rw----"
std::string ModeText(mode_t mode) {
    std::string text = S_ISCHR(mode) ? "c" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) ? letters[bit] : '-';
    return text;
}

}  // namespace

std::string DescribeDeviceAccess(const std::string& path) {
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) return {};
    const GroupFacts group = LookUpGroup(device.st_gid, UserName());
    const std::string text =
        path + " belongs to group " + group.name + " (" + ModeText(device.st_mode) + ")";
    if (!(device.st_mode & S_IRGRP) || !(device.st_mode & S_IWGRP)) {
        return text +
               ", whose members may not use it either: a udev rule must give the group "
               "access (the KelCmd package installs one for the dialout group)";
    }
    if (ProcessInGroup(device.st_gid)) return text;
    if (group.listsUser) {
        return text + "; this user joined that group after logging in: log in again";
    }
    return text + ", which this user is not in: sudo usermod -aG " + group.name +
           " $USER, then log in again";
}

void ExplainRefusedOpen(SystemError& error) {
    if (error.device.empty()) return;
    std::string detail;
    if (error.number == EBUSY) {
        const std::string holders = DescribeDeviceHolders(FindDeviceHolders(error.device));
        if (!holders.empty()) detail = "held by " + holders;
    } else if (error.number == EACCES || error.number == EPERM) {
        detail = DescribeDeviceAccess(error.device);
    }
    if (!detail.empty()) error.reason = SystemErrorText(error.number) + "; " + detail;
}

std::string SharedOpenWarning(const std::string& path) {
    const std::string holders = DescribeDeviceHolders(FindDeviceHolders(path));
    if (holders.empty()) return {};
    return path + " is also open in " + holders +
           ", which did not lock it: what it reads and writes corrupts the exchanges";
}

}  // namespace kelcmd
