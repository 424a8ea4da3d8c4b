#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "command/kel_command.h"
#include "transport/bus_monitor.h"

namespace kelcmd::app {

// The wire bytes of a command's request and of its answer, as hex.
std::string RequestHex(const CKelCommand& command);
std::string AnswerHex(const CKelCommand& command);

// Prints every answer the port receives and every command it executes, and why the port failed
// when a command ends in a failure of the port itself.
class FrameTrace final : public CBusMonitor {
  public:
    explicit FrameTrace(std::FILE* out) : out_(out) {}
    void ReceiveCommand(const CKelCommand& command) override;

  private:
    std::FILE* out_;
    std::mutex lock_;
    const CKelCommand* lastCommand_ = nullptr;
    std::string lastRequest_;
    std::string lastAnswer_;
    uint32_t lastError_ = 0;
};

}  // namespace kelcmd::app
