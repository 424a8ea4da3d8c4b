#pragma once

// A pseudo-terminal for tests: the test holds the master side, the code under test opens the slave
// path like any serial device.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kelcmd::testing {

class PtyPair {
  public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            throw std::runtime_error("cannot create a pseudo-terminal");
        }
        char name[128] = {};
        if (::ptsname_r(master_, name, sizeof name) != 0) {
            throw std::runtime_error("cannot name the pseudo-terminal");
        }
        slavePath_ = name;
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    // Writes every byte to the master side (arrives as input on the slave).
    bool Write(const std::vector<uint8_t>& bytes) const {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // Reads from the master side until `expected` bytes arrived or nothing came for `quietMs`.
    std::vector<uint8_t> Read(size_t expected, int quietMs = 500) const {
        std::vector<uint8_t> bytes;
        while (bytes.size() < expected) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN)) break;
            uint8_t chunk[4096];
            const ssize_t n = ::read(master_, chunk, sizeof chunk);
            if (n <= 0) break;
            bytes.insert(bytes.end(), chunk, chunk + n);
        }
        return bytes;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// Echoes everything the slave side sends back to it (a wire between RxD and TxD).
class PtyEcho {
  public:
    explicit PtyEcho(const PtyPair& pty) : pty_(pty), thread_([this] { Run(); }) {}
    ~PtyEcho() {
        stop_ = true;
        thread_.join();
    }

  private:
    void Run() {
        while (!stop_) {
            pollfd p{pty_.Master(), POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            if (!(p.revents & POLLIN)) {
                // The slave is not open (yet): the master reports a hang-up; wait a little.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            uint8_t chunk[256];
            const ssize_t n = ::read(pty_.Master(), chunk, sizeof chunk);
            if (n > 0) (void)pty_.Write(std::vector<uint8_t>(chunk, chunk + n));
        }
    }

    const PtyPair& pty_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace kelcmd::testing
