#include "platform/tty_holders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace kelcmd {
namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

// The number a /proc entry is named by, or 0 for any other name.
pid_t ProcessNumber(const char* name) {
    char* end = nullptr;
    const long number = std::strtol(name, &end, 10);
    return end != name && *end == '\0' && number > 0 ? static_cast<pid_t>(number) : 0;
}

std::string ProgramName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// Whether one of the process's descriptors is the character device `device`.
bool HoldsDevice(pid_t pid, dev_t device) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    const Directory descriptors(::opendir(folder.c_str()));
    if (!descriptors) return false;
    while (const dirent* entry = ::readdir(descriptors.get())) {
        if (entry->d_name[0] == '.') continue;
        struct stat target {};
        // stat follows the descriptor's link to the file itself.
        if (::stat((folder + "/" + entry->d_name).c_str(), &target) == 0 &&
            S_ISCHR(target.st_mode) && target.st_rdev == device) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<DeviceHolder> FindDeviceHolders(const std::string& path) {
    std::vector<DeviceHolder> holders;
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return holders;
    const Directory processes(::opendir("/proc"));
    if (!processes) return holders;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(processes.get())) {
        const pid_t pid = ProcessNumber(entry->d_name);
        if (pid == 0 || pid == self || !HoldsDevice(pid, device.st_rdev)) continue;
        holders.push_back({pid, ProgramName(pid)});
    }
    return holders;
}

std::string DescribeDeviceHolders(const std::vector<DeviceHolder>& holders) {
    std::string text;
    for (const DeviceHolder& holder : holders) {
        if (!text.empty()) text += ", ";
        text += "process " + std::to_string(holder.pid);
        if (!holder.name.empty()) text += " (" + holder.name + ")";
    }
    return text;
}

}  // namespace kelcmd
