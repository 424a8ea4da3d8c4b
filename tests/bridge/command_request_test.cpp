#include "command_request.h"

#include <gtest/gtest.h>

#include <string>

namespace kelcmd::bridge {
namespace {

std::string Refusal(std::string_view unit, std::string_view name, std::string_view payload) {
    std::string error;
    EXPECT_FALSE(ParseCommandRequest(unit, name, payload, error)) << payload;
    return error;
}

TEST(CommandRequest, TakesTheSendParametersByName) {
    std::string error;
    auto request =
        ParseCommandRequest("3", "MoveAbsolute", R"({"timeout": 5000, "position": -1000})", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->unit, 3);
    EXPECT_EQ(request->entry->name, "MoveAbsolute");
    EXPECT_EQ(request->inputs, (std::vector<std::string>{"-1000", "5000"}));  // the export's order

    // A whole number written as a float is still one; an empty payload is no parameters.
    request = ParseCommandRequest("1", "MoveAbsolute", R"({"position": 1e3, "timeout": 0})", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->inputs[0], "1000");
    EXPECT_TRUE(ParseCommandRequest("1", "ReadPosition", "", error)) << error;
}

TEST(CommandRequest, RefusesHostileAndWrongInputBeforeTheBus) {
    const std::string move = "MoveAbsolute";
    EXPECT_NE(Refusal("1", move, "{\"position\": 1").find("not valid JSON"), std::string::npos);
    EXPECT_NE(Refusal("1", move, std::string(1 << 20, ' ')).find("more than"), std::string::npos);
    EXPECT_NE(Refusal("1", move, std::string(5000, '[')).find("flat"), std::string::npos);
    EXPECT_NE(Refusal("1", "FlyToTheMoon", "{}").find("unknown command"), std::string::npos);
    EXPECT_NE(Refusal("1", move, "[1, 2]").find("not an object"), std::string::npos);
    EXPECT_NE(Refusal("1", move, R"({"position": "10", "timeout": 1})").find("a number is needed"),
              std::string::npos);
    EXPECT_NE(Refusal("1", move, R"({"position": true, "timeout": 1})").find("a number is needed"),
              std::string::npos);
    EXPECT_NE(Refusal("1", move, R"({"position": 1})").find("missing parameter 'timeout'"),
              std::string::npos);
    EXPECT_NE(Refusal("1", move, R"({"position": 1, "timeout": 1, "speed": 9})").find("'speed'"),
              std::string::npos);
    // Out of the C type's range, or not whole where a whole number is needed.
    EXPECT_NE(Refusal("1", move, R"({"position": 4294967296, "timeout": 1})").find("position"),
              std::string::npos);
    EXPECT_NE(Refusal("1", move, R"({"position": 1, "timeout": -1})").find("timeout"),
              std::string::npos);
    EXPECT_NE(Refusal("1", move, R"({"position": 1.5, "timeout": 1})").find("whole number"),
              std::string::npos);
    EXPECT_NE(Refusal("1", "SetPosVelocity", R"({"posVelocity": 1e300})").find("posVelocity"),
              std::string::npos);
    for (const char* unit : {"0", "128", "255", "256", "01", "x", "", "-1"})
        EXPECT_NE(Refusal(unit, "ReadPosition", "").find("unit address"), std::string::npos)
            << unit;
}

}  // namespace
}  // namespace kelcmd::bridge
