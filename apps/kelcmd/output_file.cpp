#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kelcmd::app {
namespace {

constexpr int kFlags = O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;

bool Fail(const std::string& path, const char* what, int error) {
    std::fprintf(stderr, "kelcmd: cannot %s %s: %s\n", what, path.c_str(), std::strerror(error));
    return false;
}

}  // namespace

OutputFile::~OutputFile() {
    Close();
    if (created_ && !written_) ::unlink(path_.c_str());
}

void OutputFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool OutputFile::Open(const std::string& path) {
    path_ = path;
    // Created here, or an existing file opened without truncating it: a failed run leaves an
    // earlier result as it was. Non-blocking, so that a FIFO cannot stall the open.
    fd_ = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    created_ = fd_ >= 0;
    if (fd_ < 0 && errno == EEXIST) fd_ = ::open(path.c_str(), kFlags);
    if (fd_ < 0) return Fail(path, "write", errno);
    struct stat status {};
    if (::fstat(fd_, &status) != 0) return Fail(path, "write", errno);
    if (!S_ISREG(status.st_mode)) {
        std::fprintf(stderr, "kelcmd: cannot write %s: it is not a regular file\n", path.c_str());
        return false;
    }
    return true;
}

bool OutputFile::Write(std::span<const uint8_t> bytes) {
    if (fd_ < 0) return false;
    if (::ftruncate(fd_, 0) != 0) return Fail(path_, "write", errno);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote =
            ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return Fail(path_, "write", errno);
        done += static_cast<size_t>(wrote);
    }
    written_ = true;
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return Fail(path_, "write", errno);
    return true;
}

}  // namespace kelcmd::app
