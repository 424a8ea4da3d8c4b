#include "replies.h"

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "transport/result_codes.h"

namespace kelcmd::bridge {
namespace {

using Json = nlohmann::ordered_json;

const char* StatusName(uint32_t status) {
    switch (status) {
        case KEB_OUTCOME_SUCCEEDED:
            return "succeeded";
        case KEB_OUTCOME_STACKED:
            return "stacked";
        case KEB_OUTCOME_NOT_SENT:
            return "not_sent";
        case KEB_OUTCOME_LINE_FAILED:
            return "line_failed";
        case KEB_OUTCOME_REFUSED:
            return "refused";
        case KEB_OUTCOME_BAD_ANSWER:
            return "bad_answer";
        case KEB_OUTCOME_INTERNAL_ERROR:
            return "internal_error";
        default:
            return "none";
    }
}

}  // namespace

double SentFloat(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return std::strtod(text, nullptr);
}

std::string ErrorReply(std::string_view command, int unit, std::string_view error) {
    Json reply;
    reply["command"] = command;
    reply["unit"] = unit;
    reply["ok"] = false;
    reply["error"] = error;
    return reply.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string CommandReply(const app::ExportEntry& entry, uint8_t unit, int32_t result,
                         const KebOutcome& outcome, const std::vector<double>& values) {
    Json reply;
    reply["command"] = entry.name;
    reply["unit"] = unit;
    reply["ok"] = result == 1;
    reply["status"] = StatusName(outcome.status);
    reply["result"] = outcome.result;
    // Result 0 is both success and CMD_FAIL: its text belongs to failures only.
    if (outcome.status != KEB_OUTCOME_SUCCEEDED)
        reply["result_text"] = ResultCodeText(outcome.result);
    if (outcome.status == KEB_OUTCOME_REFUSED) {
        reply["unit_error"] = outcome.unitError;
        reply["unit_error_text"] = ResultCodeText(outcome.unitError);
    }
    if (outcome.unitWarning != 0) {
        reply["warning"] = outcome.unitWarning;
        reply["warning_text"] = CommandWarningText(outcome.unitWarning);
    }
    reply["may_have_executed"] =
        outcome.mayHaveExecuted != 0 || outcome.status == KEB_OUTCOME_SUCCEEDED;
    reply["duration_ms"] = outcome.durationMs;
    reply["trials"] = outcome.trials;
    if (outcome.systemErrorText[0] != '\0') reply["system_error"] = outcome.systemErrorText;
    if (result == 1) {
        Json named = Json::object();
        for (size_t i = 0; i < values.size() && i < entry.outputs.size(); ++i) {
            if (entry.outputTypes[i] == "f32")
                named[entry.outputs[i]] = SentFloat(values[i]);
            else
                named[entry.outputs[i]] = static_cast<int64_t>(values[i]);
        }
        reply["values"] = std::move(named);
    }
    return reply.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace kelcmd::bridge
