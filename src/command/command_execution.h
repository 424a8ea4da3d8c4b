#pragma once

#include <functional>
#include <vector>

#include "command/kel_command.h"
#include "command/parameter_codec.h"

namespace kelcmd {

class CKelCommunication;
class CKelPort;

// What a kind of command does around the exchange: how it builds its message and how it reads its
// answer, and which decode counts as success.
struct ExecutionSteps {
    // Builds the message into the command; false when it does not fit a frame (nothing is sent).
    std::function<bool()> build;
    // Reads the answer into the return values.
    std::function<DecodeResult()> decode;
    // A batch reads its answer also after a failed exchange: a stopped batch still carries the
    // results of the members before the failing one.
    bool decodeAfterFailure = false;
    // Customer commands succeed only when every return value was read.
    bool needsCompleteAnswer = false;
};

// The execution of one command: find its port by name without regard to letter case, build, run
// the exchange on the port, judge the answer, report failures to the port's error callback and
// observers, and decode. 1 after a successful exchange (and a decode the steps accept), else 0.
// No port table, or no port of that name: 0 with the command unchanged and nothing sent.
int ExecuteCommand(const CKelCommunication* ports, CKelCommand& command,
                   const ExecutionSteps& steps);

// The exchange of a built command on `port` and the judgement of its answer: the reservation
// check, status and times, the transfer, the refusal reason and the warning carried in the last
// two data bytes, a failed batch's member code, the error callback and the observers.
int ExecuteOnPort(CKelPort& port, CKelCommand& command);

// Tells the port's observers of every answer an exchange received (a damaged one too), in order,
// each with the command as it stood at that reception. Called once the port's lock is released, so
// an observer may use the port itself.
void NotifyReceptions(CKelPort& port, const CKelCommand& command,
                      const std::vector<CFrameExchange>& receptions);

}  // namespace kelcmd
