#include "file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "command/command_files.h"

namespace kelcmd::app {
namespace {

// Closes the descriptor when the read ends, however it ends.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

std::string KindProblem(const struct stat& status) {
    if (S_ISDIR(status.st_mode)) return "is a directory";
    if (!S_ISREG(status.st_mode)) return "is not a regular file";
    return "";
}

bool Fail(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "kelcmd: %s: %s\n", path.c_str(), why.c_str());
    return false;
}

}  // namespace

std::string NotARegularFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::strerror(errno);
    return KindProblem(status);
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    // Non-blocking, so that a FIFO or a device cannot stall the open; the type is checked on the
    // opened file, so that it cannot change between the check and the read.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        Fail(path, std::string("cannot open: ") + std::strerror(errno));
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        Fail(path, std::string("cannot read: ") + std::strerror(errno));
        return std::nullopt;
    }
    if (const std::string problem = KindProblem(status); !problem.empty()) {
        Fail(path, problem);
        return std::nullopt;
    }
    if (static_cast<uint64_t>(status.st_size) > kMaxFileBytes) {
        Fail(path, "is larger than " + std::to_string(kMaxFileBytes >> 20) +
                       " MiB, more than any file of these formats");
        return std::nullopt;
    }
    // Read up to one byte past the cap, in case the file grew since fstat.
    std::vector<uint8_t> bytes(static_cast<size_t>(status.st_size) + 1);
    size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            if (bytes.size() > kMaxFileBytes) {
                Fail(path, "grew beyond the size limit while being read");
                return std::nullopt;
            }
            bytes.resize(std::min<size_t>(bytes.size() * 2, kMaxFileBytes + 1));
        }
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            Fail(path, std::string("cannot read: ") + std::strerror(errno));
            return std::nullopt;
        }
        if (got == 0) break;
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace kelcmd::app
