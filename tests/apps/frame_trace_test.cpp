// kelcmd's frame trace against simulated units: each thing on the wire once, in order, with what it
// meant, and the exchange's result last.
#include "frame_trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "kelcmd/kelcmd.h"
#include "sim/fault.h"
#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd::app {
namespace {

using kelcmd::testing::SimPort;

// "request 0", "answer 11", "result 0 refused 2", ... of every JSON line, and whether each line has
// every field.
std::vector<std::string> Summaries(const std::string& json) {
    static const std::regex line(
        "\\{\"time\":\"[0-9T:.-]+Z\",\"port\":\"Com8[0-9]\",\"event\":\"([a-z]+)\","
        "\"direction\":\"(out|in|)\",\"bytes\":\"[0-9A-F ]*\",\"duration_ms\":[0-9]+,"
        "\"result\":([0-9]+),\"text\":\"[^\"]*\"(,\"refused\":(true|false),\"unit_error\":([0-9]+),"
        "\"warning\":-?[0-9]+)?\\}");
    std::vector<std::string> summaries;
    size_t start = 0;
    for (size_t end = json.find('\n'); end != std::string::npos; end = json.find('\n', start)) {
        std::smatch match;
        const std::string text = json.substr(start, end - start);
        std::string summary = "malformed: " + text;
        if (std::regex_match(text, match, line)) {
            summary = match[1].str() + " " + match[3].str();
            if (match[5] == "true") summary += " refused " + match[6].str();
        }
        summaries.push_back(summary);
        start = end + 1;
    }
    return summaries;
}

struct Case {
    const char* what;
    std::function<void(SimPort&)> run;
    std::vector<std::string> records;
};

TEST(FrameTrace, ReportsEachThingOnTheWireOnceAndTheResultLast) {
    const std::vector<std::string> unanswered = {"request 0", "timeout 17", "timeout 14"};
    const Case cases[] = {
        {"answered",
         [](SimPort& s) { MP_ClearError(s.name.c_str(), 1); },
         {"request 0", "acknowledge 0", "answer 0", "result 0"}},
        {"refused",
         [](SimPort& s) { MP_SetRegMode(s.name.c_str(), 1, 9); },
         {"request 0", "acknowledge 0", "answer 0", "result 0 refused 2"}},
        {"refused with CMD_FAIL",
         [](SimPort& s) { MP_SetCurrent(s.name.c_str(), 1, 100); },
         {"request 0", "acknowledge 0", "answer 0", "result 0 refused 0"}},
        {"damaged answer, then resent",
         [](SimPort& s) {
             s.Unit(1).Misbehave(sim::Fault::CorruptCrc, 1);
             MP_ClearError(s.name.c_str(), 1);
         },
         {"request 0", "acknowledge 0", "answer 11", "resend 0", "acknowledge 0", "answer 0",
          "result 0"}},
        {"group address",
         [](SimPort& s) { MP_ClearError(s.name.c_str(), 200); },
         {"request 0", "result 0"}},
        {"nobody there",
         [](SimPort& s) { MP_ClearError(s.name.c_str(), 9); },
         {"request 0", "timeout 17", "timeout 14", "request 0", "timeout 17", "request 0",
          "timeout 17", "request 0", "timeout 17", "result 17"}},
    };
    int number = 80;
    for (const Case& c : cases) {
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* json = open_memstream(&buffer, &size);
        ASSERT_NE(json, nullptr);
        {
            SimPort port(number++, "1", 20);
            ASSERT_EQ(port.openResult, 0);
            FrameTrace trace(port.name, nullptr, json);
            c.run(port);
        }
        std::fclose(json);
        EXPECT_EQ(Summaries(std::string(buffer, size)), c.records) << c.what;
        std::free(buffer);
    }
}

TEST(FrameTrace, TextShowsFramesWithTheirCrcAndTheResult) {
    BusEvent answer;
    answer.kind = BusEventKind::kAnswer;
    answer.direction = BusDirection::kIn;
    answer.port = "Com1";
    answer.bytes = {0x00, 0xEC, 0x05, 0x01, 0x24, 0x12, 0x34};
    answer.elapsedNs = 8'400'000;
    answer.result = RCV_ERR_CRC;
    const std::string text = TraceText(RecordOf(answer, {}, 0));
    EXPECT_TRUE(std::regex_match(
        text, std::regex("[0-9:.]+ Com1 << 00 EC 05 01 24 12 34 \\(8 ms\\)\n[0-9:.]+ Com1 !! "
                         "RCV_ERR_CRC.*")))
        << text;

    BusEvent result;
    result.kind = BusEventKind::kResult;
    result.port = "Com1";
    result.refused = true;
    result.unitError = 0;
    result.warning = 181;
    const std::string refused = TraceText(RecordOf(result, {}, 0));
    EXPECT_TRUE(std::regex_match(refused, std::regex("[0-9:.]+ Com1 == refused: .*\\(0 ms\\)")))
        << refused;
    EXPECT_EQ(refused.find("OK"), std::string::npos) << refused;
}

}  // namespace
}  // namespace kelcmd::app
