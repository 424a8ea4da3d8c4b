#include "command/command_execution.h"

#include "command/thread_outcome.h"
#include "platform/clock.h"
#include "transport/bus_tap.h"
#include "transport/kel_communication.h"
#include "transport/kel_port.h"
#include "transport/protocol_constants.h"
#include "transport/result_codes.h"
#include "transport/unit_hearing.h"

namespace kelcmd {
namespace {

// A failed batch names the member that failed in the byte before the warning; else the request.
uint8_t RefusedType(const CFrameExchange& exchange) {
    const uint16_t length = exchange.answerLength;
    if (exchange.AnswerType() == BATCH_FAIL && length >= 3) {
        return exchange.answer[kDataOffset + length - 3];
    }
    return exchange.RequestType();
}

// The unit refused the command: the answer's mtype is the reason and its last two data bytes carry
// the warning.
void JudgeRefusal(CKelPort& port, CKelCommand& command) {
    const CFrameExchange& exchange = command.Exchange();
    const uint8_t requestType = exchange.RequestType();
    const uint8_t reason = exchange.AnswerType();
    const uint16_t length = exchange.answerLength;
    const uint8_t* data = &exchange.answer[kDataOffset];
    int16_t warning = 0;
    if (length >= 2) warning = static_cast<int16_t>(data[length - 2] << 8 | data[length - 1]);
    command.SetError(reason);
    command.SetWarning(warning);
    port.NotifyObservers(command);

    const uint8_t reportedType = RefusedType(exchange);
    RecordRefusalOutcome(command, reason, warning, reportedType);
    port.ReportFailure(reportedType, reason, warning, requestType == kBatchCode);
    command.SetStatus(STATUS_FAILED);
}

// An answer shorter than the return values cannot give the caller its values: the command fails
// with BAD_LEN rather than succeed with variables left unwritten.
void FailShortAnswer(CKelPort& port, CKelCommand& command) {
    command.SetStatus(STATUS_FAILED);
    command.SetError(BAD_LEN);
    command.SetWarning(0);
    RecordCommandOutcome(command, OutcomeStatus::kBadAnswer, BAD_LEN);
    port.ReportFailure(command.GetCode(), BAD_LEN, 0, false);
}

// Hands an exchange's wire events to the bus tap when the scope ends, closed by the result as it
// was judged by then: the transport's code, the unit's refusal with its warning, or an answer too
// short for the command's values.
class TapReport {
  public:
    TapReport(CKelPort& port, const CKelCommand& command)
        : events_(port.StartEventLog()), command_(command) {}
    TapReport(const TapReport&) = delete;
    TapReport& operator=(const TapReport&) = delete;
    ~TapReport() {
        if (!transferred_ || !events_.Active()) return;
        const CFrameExchange& exchange = command_.Exchange();
        BusEvent verdict;
        verdict.result = badAnswer_ ? static_cast<uint8_t>(BAD_LEN) : result_;
        verdict.trials = exchange.trials;
        if (result_ == RESULT_OK && !badAnswer_ && command_.GetStatus() == STATUS_FAILED) {
            verdict.refused = true;
            verdict.unitError = static_cast<uint8_t>(command_.GetError());
            verdict.warning = static_cast<int16_t>(command_.GetWarning());
            if (verdict.unitError == BATCH_FAIL) verdict.failedMember = RefusedType(exchange);
        }
        try {
            events_.Finish(verdict);
            BusTap().Publish(events_.TakeEvents());
        } catch (...) {  // the tap loses an exchange rather than the caller its result
        }
    }

    BusEventLog& Events() { return events_; }
    void Transferred(uint8_t result) {
        transferred_ = true;
        result_ = result;
    }
    // The unit answered, but not with every value the command reads.
    void BadAnswer() { badAnswer_ = true; }

  private:
    BusEventLog events_;
    const CKelCommand& command_;
    bool transferred_ = false;
    uint8_t result_ = RESULT_OK;
    bool badAnswer_ = false;
};

int RunOnPort(CKelPort& port, CKelCommand& command, TapReport& report) {
    if (port.IsReservedByOther()) {
        command.SetStatus(STATUS_FAILED);
        RecordNotSentOutcome(NO_COMMAND);
        return 0;
    }
    command.SetStatus(STATUS_PROCESSING);
    command.SetStartTime(TickCount());
    CFrameExchange& exchange = command.Exchange();
    exchange.answerTimeout = command.GetAnswerTimeout();
    exchange.trials = command.GetTrials();
    ForgetUnitMayHaveActed();
    std::vector<CFrameExchange> receptions;
    const uint8_t result = port.Transfer(exchange, &receptions, &report.Events());
    report.Transferred(result);
    NotifyReceptions(port, command, receptions);
    command.SetTrials(exchange.trials);
    command.SetEndTime(TickCount());
    command.SetError(result);
    port.NotifyObservers(command);

    const uint8_t requestType = exchange.RequestType();
    if (result != RESULT_OK) {
        RecordCommandOutcome(command, OutcomeStatus::kLineFailed, result);
        port.ReportFailure(requestType, result, 0, requestType == kBatchCode);
        command.SetStatus(STATUS_FAILED);
        return 0;
    }
    if (IsGroupAddress(exchange.Destination()) || requestType == kAcknowledgeOnlyCode ||
        exchange.AnswerType() == requestType) {
        command.SetStatus(STATUS_SUCCEEDED);
        RecordCommandOutcome(command, OutcomeStatus::kSucceeded, RESULT_OK);
        return 1;
    }
    JudgeRefusal(port, command);
    return 0;
}

}  // namespace

void NotifyReceptions(CKelPort& port, const CKelCommand& command,
                      const std::vector<CFrameExchange>& receptions) {
    for (const CFrameExchange& reception : receptions) {
        const std::unique_ptr<CCommand> copy = command.Clone();
        auto& snapshot = static_cast<CKelCommand&>(*copy);
        snapshot.Exchange() = reception;
        port.NotifyObservers(snapshot);
    }
}

int ExecuteOnPort(CKelPort& port, CKelCommand& command) {
    TapReport report(port, command);
    return RunOnPort(port, command, report);
}

int ExecuteCommand(const CKelCommunication* ports, CKelCommand& command,
                   const ExecutionSteps& steps) {
    const std::shared_ptr<CKelPort> port =
        ports != nullptr ? ports->FindPort(command.GetPortName()) : nullptr;
    RecordNotSentOutcome(NO_COMMAND);
    if (port == nullptr) return 0;
    if (!steps.build()) return 0;
    TapReport report(*port, command);
    const int executed = RunOnPort(*port, command, report);
    if (executed == 0 && !steps.decodeAfterFailure) return 0;
    const DecodeResult decoded = steps.decode();
    if (executed == 0) return 0;
    if (decoded == DecodeResult::kShort) {
        report.BadAnswer();
        FailShortAnswer(*port, command);
        return 0;
    }
    if (steps.needsCompleteAnswer && decoded != DecodeResult::kComplete) {
        report.BadAnswer();
        RecordCommandOutcome(command, OutcomeStatus::kBadAnswer, BAD_LEN);
        return 0;
    }
    return 1;
}

}  // namespace kelcmd
