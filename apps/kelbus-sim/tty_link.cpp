#include "tty_link.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace kelcmd::simserver {
namespace {

std::string LinkTarget(const std::string& path) {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

std::unique_ptr<TtyLink> TtyLink::Create(const std::string& path, const std::string& target,
                                         std::string& error) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = path + " exists and is not a symbolic link";
            return nullptr;
        }
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            error = "cannot replace " + path + ": " + std::strerror(errno);
            return nullptr;
        }
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        error = "cannot create the link " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TtyLink>(new TtyLink(path, target));
}

TtyLink::~TtyLink() {
    if (LinkTarget(path_) == target_) ::unlink(path_.c_str());
}

}  // namespace kelcmd::simserver
