#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "command/kel_command.h"
#include "trace_record.h"
#include "transport/bus_monitor.h"

namespace kelcmd::app {

// The wire bytes of a command's request and of its answer, as hex.
std::string RequestHex(const CKelCommand& command);
std::string AnswerHex(const CKelCommand& command);

// Reports every frame of the commands the port executes, once each, with its time and how long it
// took: as readable lines on `text` and as JSON lines on `json` (either may be null). A request is
// reported when its outcome is known: its first answer, or the failure of the exchange.
class FrameTrace final : public CBusMonitor {
  public:
    FrameTrace(std::FILE* text, std::FILE* json) : text_(text), json_(json) {}
    void ReceiveCommand(const CKelCommand& command) override;

  private:
    // What has been reported of the exchange in progress.
    struct Exchange {
        const CKelCommand* command = nullptr;
        uint32_t startTick = 0;
        std::string request;
        std::chrono::system_clock::time_point requestTime;
        bool requestReported = false;
        bool answerReported = false;
        std::string lastAnswer;
        uint32_t lastReception = 0;   // the exchange's reception count at the last answer reported
        uint32_t explainedError = 0;  // the failure the reports so far account for
    };

    void Emit(const TraceRecord& record);
    void ReportRequest(const CKelCommand& command, uint32_t result, const std::string& text);
    void ReportAnswer(const CKelCommand& command);

    std::FILE* text_;
    std::FILE* json_;
    std::mutex lock_;
    Exchange exchange_;
};

}  // namespace kelcmd::app
