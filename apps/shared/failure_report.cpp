#include "failure_report.h"

#include <utility>

#include "kelcmd/kelcmd.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

std::string RefusalText(const KebOutcome& outcome) {
    std::string text = "refused by the unit: " + ResultCodeText(outcome.unitError);
    if (outcome.unitWarning != 0) text += "; " + CommandWarningText(outcome.unitWarning);
    if (outcome.batch != 0 && outcome.unitError == BATCH_FAIL) {
        text += " (batch member with code " + std::to_string(outcome.messageType) + ")";
    }
    return text;
}

// A failure after which the unit may still have run the command: retrying it blindly may run it
// twice (a move moved twice).
std::string WithExecutionDoubt(std::string text, const KebOutcome& outcome) {
    if (outcome.mayHaveExecuted != 0) text += "; the unit may have executed it";
    return text;
}

}  // namespace

std::string LastFailureText() {
    KebOutcome outcome{};
    outcome.size = sizeof outcome;
    if (KEB_GetLastOutcome(&outcome) != 1) return {};
    switch (outcome.status) {
        case KEB_OUTCOME_REFUSED:
            return RefusalText(outcome);
        case KEB_OUTCOME_BAD_ANSWER:
            return WithExecutionDoubt(ResultCodeText(outcome.result) + " (the answer lacks values)",
                                      outcome);
        case KEB_OUTCOME_LINE_FAILED:
        case KEB_OUTCOME_INTERNAL_ERROR: {
            std::string text = ResultCodeText(outcome.result);
            if (outcome.systemErrorText[0] != '\0') {
                text += " (" + std::string(outcome.systemErrorText) + ")";
            }
            return WithExecutionDoubt(std::move(text), outcome);
        }
        default:
            return {};
    }
}

}  // namespace kelcmd::app
