#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "fault_dice.h"
#include "frame_start_finder.h"
#include "pty_port.h"
#include "sim/sim_bus.h"

namespace kelcmd::simserver {

// Carries bytes between the pseudo-terminal and the simulated bus, one thread each way: the host
// program's bytes go to the units with the ninth bit where a frame starts, the units'
// acknowledges and answers go back to the host program.
class PtyBridge {
  public:
    // `trace`, when not null, receives a line per request frame, reply and stray bytes. A
    // `latencyTimerMs` above 0 holds the units' bytes back as a USB adapter's receive buffer does.
    PtyBridge(const PtyPort& port, sim::SimBus& bus, FaultDice dice, std::FILE* trace,
              uint32_t latencyTimerMs = 0);
    ~PtyBridge();
    PtyBridge(const PtyBridge&) = delete;
    PtyBridge& operator=(const PtyBridge&) = delete;

    // Ends both threads (each notices within a few tens of milliseconds).
    void Stop();
    // A thread met an error it cannot go on from; its text is in Error().
    bool Failed() const { return failed_; }
    std::string Error() const;

  private:
    void CarryHostBytes(std::stop_token stop);
    void CarryUnitBytes(std::stop_token stop);
    void CarryUnitBytesInPackets(std::stop_token stop);
    void ForwardToUnits(const std::vector<LinePiece>& pieces);
    bool WriteToHost(std::span<const uint8_t> bytes, const std::stop_token& stop);
    void Fail(const std::string& error);
    void Trace(const char* what, std::span<const uint8_t> bytes);

    const PtyPort& port_;
    sim::SimBus& bus_;
    FaultDice dice_;  // used only by the thread of the host bytes
    std::FILE* trace_;
    const uint32_t latencyTimerMs_;
    FrameStartFinder finder_;  // likewise
    std::atomic<bool> failed_{false};
    mutable std::mutex errorMutex_;
    std::string error_;
    std::jthread hostBytes_;
    std::jthread unitBytes_;
};

}  // namespace kelcmd::simserver
