#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kelcmd::simserver {

// The master side of a pseudo-terminal; any program opens the slave path as its serial port.
class PtyPort {
  public:
    // Null on failure, with the reason in `error`. The slave starts in raw mode, so that nothing
    // is echoed or translated before the host program sets its own line settings.
    static std::unique_ptr<PtyPort> Open(std::string& error);

    ~PtyPort();
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

    // The baud rate the host program last set on the slave, a free one (250000) too; 0 when the
    // line is hung up.
    uint32_t HostBaud() const;

  private:
    PtyPort(int master, std::string slavePath)
        : master_(master), slavePath_(std::move(slavePath)) {}

    int master_ = -1;
    std::string slavePath_;
};

}  // namespace kelcmd::simserver
