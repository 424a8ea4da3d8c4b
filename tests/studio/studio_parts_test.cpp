// The studio's parts that need no window: options, the command line, the scope's history.
#include <gtest/gtest.h>

#include <chrono>

#include "command_line.h"
#include "scope_history.h"
#include "studio_options.h"

namespace kelcmd::studio {
namespace {

StudioOptions Parse(std::vector<std::string> words, std::string* error = nullptr) {
    words.insert(words.begin(), "kelcmd-studio");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    StudioOptions options;
    const std::string problem =
        ParseStudioOptions(static_cast<int>(argv.size()), argv.data(), options);
    if (error != nullptr) *error = problem;
    return options;
}

TEST(StudioOptionsTest, TakesDevicePortAndSnapshotInEitherForm) {
    StudioOptions options = Parse({"--port=Com2", "/dev/ttyUSB0", "--snapshot", "out.png"});
    EXPECT_EQ(options.port, "Com2");
    EXPECT_EQ(options.device, "/dev/ttyUSB0");
    EXPECT_EQ(options.snapshot, "out.png");
    EXPECT_EQ(Parse({"--device", "sim:4"}).device, "sim:4");
    EXPECT_TRUE(Parse({"sim:1", "--help"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
}

TEST(StudioOptionsTest, NamesTheWrongArgument) {
    std::string error;
    Parse({"--help-me"}, &error);
    EXPECT_EQ(error, "unknown option '--help-me'");
    Parse({"--snapshot"}, &error);
    EXPECT_EQ(error, "option --snapshot needs a value");
    Parse({"sim:1", "--device=sim:2"}, &error);
    EXPECT_EQ(error, "more than one device ('sim:2')");
}

TEST(CommandLineTest, CompletesAndHintsFromTheCatalogue) {
    const std::vector<std::string> names = CompleteCommand("moveabs");
    EXPECT_EQ(names, (std::vector<std::string>{"MoveAbsolute", "MoveAbsoluteInfo"}));
    EXPECT_EQ(CommandHint("MoveAbsolute"), "MoveAbsolute position timeout  (i32 u32)");
    EXPECT_EQ(CommandHint("ReadPosVelCur"),
              "ReadPosVelCur   -> positionIs velocityIs currentIs  (*i32 *f32 *i16)");
    EXPECT_EQ(CommandHint("NoSuchCommand"), "");
    EXPECT_EQ(SplitWords("  MoveAbsolute\t1000  5000 "),
              (std::vector<std::string>{"MoveAbsolute", "1000", "5000"}));
}

TEST(CommandLineTest, RefusesWhatKelcmdRefusesWithoutSending) {
    EXPECT_EQ(RunCommandLine("Com1", 1, "Teleport 3"),
              "unknown command 'Teleport' (commands lists the unit commands)\n");
    EXPECT_EQ(RunCommandLine("Com1", 1, "MoveAbsolute 1000 lots"),
              "MoveAbsolute: timeout: 'lots' is not a whole number from 0 to 4294967295\n"
              "usage: MoveAbsolute position timeout\n");
    EXPECT_EQ(RunCommandLine("Com1", 1, "--slave 300 ReadPosition"),
              "--slave: '300' is not a unit address from 1 to 127 or a group address from 128 "
              "to 255\n");
    EXPECT_EQ(RunCommandLine("Com1", 0, "ReadPosition"),
              "no unit is selected: choose one, or give --slave N first\n");
}

TEST(CommandLineTest, HistoryWalksBackAndForthWithoutRepeats) {
    CommandHistory history;
    EXPECT_EQ(history.Older(), "");
    history.Add("ReadPosition");
    history.Add("ReadPosition");
    history.Add("StopMotion 0");
    EXPECT_EQ(history.Lines().size(), 2u);
    EXPECT_EQ(history.Older(), "StopMotion 0");
    EXPECT_EQ(history.Older(), "ReadPosition");
    EXPECT_EQ(history.Older(), "ReadPosition");
    EXPECT_EQ(history.Newer(), "StopMotion 0");
    EXPECT_EQ(history.Newer(), "");
}

TEST(ScopeHistoryTest, KeepsTheWindowOfItsUnitAsThreeCurves) {
    using std::chrono::milliseconds;
    ScopeHistory history;
    history.SetUnit(2);
    history.SetWindow(std::chrono::seconds(5));  // below the shortest: 10 s
    EXPECT_EQ(history.Window(), std::chrono::seconds(10));
    const auto start = std::chrono::steady_clock::now();
    UnitReading reading;
    reading.address = 2;
    reading.answered = true;
    for (int i = 0; i <= 120; ++i) {  // 12 s at 100 ms
        reading.time = start + milliseconds(100 * i);
        reading.position = 100000 * i;  // beyond what a short holds
        reading.velocity = 2.5f;
        reading.current = static_cast<int16_t>(-i);
        EXPECT_TRUE(history.Add(reading));
    }
    UnitReading other = reading;
    other.address = 3;
    EXPECT_FALSE(history.Add(other));
    UnitReading silent = reading;
    silent.answered = false;
    EXPECT_FALSE(history.Add(silent));

    const CRecordedData data = history.ToRecordedData();
    ASSERT_EQ(data.Curves().size(), 3u);
    const RecordedCurve& position = data.Curves()[0];
    EXPECT_EQ(position.name, "position is");
    EXPECT_EQ(position.timeUnit, "ms");
    EXPECT_EQ(position.period, 100u);
    ASSERT_EQ(position.points.size(), 101u);  // the last 10 s
    EXPECT_EQ(position.points.front().time, 0);
    EXPECT_EQ(position.points.back().time, 10000);
    EXPECT_EQ(std::get<float>(position.points.back().value), 12000000.0f);
    EXPECT_EQ(data.Curves()[1].name, "mean velocity");
    EXPECT_EQ(std::get<int16_t>(data.Curves()[2].points.back().value), -120);

    history.SetUnit(3);
    EXPECT_EQ(history.Size(), 0u);
}

}  // namespace
}  // namespace kelcmd::studio
