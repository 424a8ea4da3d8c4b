// kelcmd's frame trace against simulated units: each frame reported once, in order, with the
// result that belongs to it, however often the port tells of the exchange.
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

namespace kelcmd::app {
namespace {

using kelcmd::testing::SimPort;

// "request 0", "answer 11", ... of every JSON line, and whether each line has every field.
std::vector<std::string> Summaries(const std::string& json) {
    static const std::regex line(
        "\\{\"time\":\"[0-9T:.-]+Z\",\"port\":\"Com8[0-9]\",\"direction\":\"(request|answer|end)\","
        "\"bytes\":\"[0-9A-F "
        "]*\",\"duration_ms\":[0-9]+,\"result\":([0-9]+),\"text\":\"[^\"]*\"\\}");
    std::vector<std::string> summaries;
    size_t start = 0;
    for (size_t end = json.find('\n'); end != std::string::npos; end = json.find('\n', start)) {
        std::smatch match;
        const std::string text = json.substr(start, end - start);
        summaries.push_back(std::regex_match(text, match, line)
                                ? match[1].str() + " " + match[2].str()
                                : "malformed: " + text);
        start = end + 1;
    }
    return summaries;
}

struct Case {
    const char* what;
    std::function<void(SimPort&)> run;
    std::vector<std::string> records;
};

TEST(FrameTrace, ReportsEachFrameOnceWithItsOwnResult) {
    const Case cases[] = {
        {"answered",
         [](SimPort& s) { MP_ClearError(s.name.c_str(), 1); },
         {"request 0", "answer 0"}},
        {"nobody there", [](SimPort& s) { MP_ClearError(s.name.c_str(), 9); }, {"request 17"}},
        {"refused",
         [](SimPort& s) { MP_SetRegMode(s.name.c_str(), 1, 9); },
         {"request 0", "answer 2"}},
        {"damaged answer, then resent",
         [](SimPort& s) {
             s.Unit(1).Misbehave(sim::Fault::CorruptCrc, 1);
             MP_ClearError(s.name.c_str(), 1);
         },
         {"request 0", "answer 11", "answer 0"}},
        {"acknowledged, never answered",
         [](SimPort& s) {
             s.Unit(1).Misbehave(sim::Fault::AckNoAnswer, 1);
             MP_ClearError(s.name.c_str(), 1);
         },
         {"request 14"}},
        {"group address", [](SimPort& s) { MP_ClearError(s.name.c_str(), 200); }, {"request 0"}},
        {"the same command twice",
         [](SimPort& s) {
             MP_ClearError(s.name.c_str(), 1);
             MP_ClearError(s.name.c_str(), 1);
         },
         {"request 0", "answer 0", "request 0", "answer 0"}},
    };
    int number = 80;
    for (const Case& c : cases) {
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* json = open_memstream(&buffer, &size);
        ASSERT_NE(json, nullptr);
        {
            FrameTrace trace(nullptr, json);
            SimPort port(number++, "1", 20);
            ASSERT_EQ(port.openResult, 0);
            port.Port()->RegisterObserver(&trace);
            c.run(port);
            port.Port()->SuspendObserver(1, 1, &trace);
        }
        std::fclose(json);
        EXPECT_EQ(Summaries(std::string(buffer, size)), c.records) << c.what;
        std::free(buffer);
    }
}

}  // namespace
}  // namespace kelcmd::app
