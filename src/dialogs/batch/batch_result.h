#pragma once

#include <string>

namespace kelcmd {
class CCommand;
class CKelBatchCommand;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// What "Batch Commanding" shows after an execution: the information line, and on failure the
// message box as well (empty on success).
struct BatchResultText {
    std::string information;
    std::string box;
};

// `result` is the execution's (1 succeeded, 0 failed); the texts follow the batch type, the
// batch's error code and the warning of the member that failed. A batch set idle before its
// execution and still idle after it was never sent (no such port, or a message too long).
BatchResultText DescribeBatchResult(const CKelBatchCommand& batch, int result);

// The short status of a stacked command: "Error %i", "Warning %i", or the status text.
std::string StackedStatusText(const CCommand& command);

}  // namespace kelcmd::dialogs
