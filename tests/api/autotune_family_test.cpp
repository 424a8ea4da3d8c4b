// Autotuning, square current and PWM tests: their requests, and the run that keeps the unit's
// recording with the command.
#include "api/autotune_family.h"

#include <gtest/gtest.h>

#include <cstring>

#include "api/autotune_run.h"
#include "api/catalogue_call.h"
#include "api/recorder_family.h"
#include "kelcmd/kelcmd.h"
#include "recorder_test_support.h"

namespace kelcmd {
namespace {

using testing::RecorderPort;
using testing::RecorderRequest;
using testing::RecorderRequests;

TEST(AutotuneFamily, RequestsOnTheWire) {
    RecorderPort port(70);
    ASSERT_EQ(port.openResult, 0);
    port.bus->Clock().SetSpeed(100);  // the tuning takes seconds of the unit's time
    const char* name = port.name.c_str();
    EXPECT_EQ(MP_InitAutotune(name, 1, 2, 1, 202, 1), 1);
    int16_t factor = 0;
    EXPECT_EQ(MP_Autotune(name, 1, &factor), 1);
    EXPECT_GT(factor, 100);
    EXPECT_EQ(MP_SetPWM(name, 1, -266, 1), 1);
    EXPECT_EQ(MP_SquareCurrentTest(name, 1, 500, 5000), 1);
    EXPECT_EQ(RecorderRequests(port),
              (std::vector<RecorderRequest>{{0x60, {0x02, 0x01, 0xCA, 0x01}},
                                            {0x61, {}},
                                            {0x67, {0xFE, 0xF6, 0x01}},
                                            {0x62, {0x01, 0xF4}}}));
    EXPECT_TRUE(port.Peripherals().pwmMode);
    // Out of the unit's range: refused.
    EXPECT_EQ(MP_SetPWM(name, 1, 267, 0), 0);
    EXPECT_EQ(MP_InitAutotune(name, 1, 1, 0, 202, 0), 0);
}

TEST(AutotuneFamily, SquareCurrentTestWaitsAsLongAsTheCallerSays) {
    RecorderPort port(71);
    port.Unit(1).SetHandler(CAutotuneFamily::kSquareCurrentTest, [](sim::SimUnit&, auto) {
        sim::SimAnswer answer = sim::PositiveAnswer(CAutotuneFamily::kSquareCurrentTest);
        answer.simulatedDelay = std::chrono::milliseconds(300);
        return answer;
    });
    EXPECT_EQ(MP_SquareCurrentTest(port.name.c_str(), 1, 500, 100), 0);
    EXPECT_EQ(MP_SquareCurrentTest(port.name.c_str(), 1, 500, 1000), 1);
}

std::vector<int16_t> KeptSamples(const CKelStandardCommand& command, size_t index) {
    const auto bytes = command.Extra().GetReturnValue(index);
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

TEST(AutotuneFamily, RunKeepsTheFirst1024SamplesOfEachVector) {
    RecorderPort port(72);
    // A test that leaves a recording of 1100 samples.
    sim::RecorderPeripherals& peripherals = port.Peripherals();
    port.Unit(1).SetHandler(CAutotuneFamily::kSetPWM, [&peripherals](sim::SimUnit&, auto) {
        std::array<std::vector<int16_t>, 4> samples;
        for (size_t v = 0; v < 4; ++v) {
            for (int i = 0; i < 1100; ++i)
                samples[v].push_back(static_cast<int16_t>(v * 10000 + i));
        }
        peripherals.recorder.Store({7, 6, 4, 5}, 1500, samples);
        return sim::PositiveAnswer(CAutotuneFamily::kSetPWM);
    });
    std::unique_ptr<CKelStandardCommand> command = PrepareCatalogueCall(
        &AutotuneFamily(), port.name.c_str(), 1, "SetPWM", {Value(int16_t{5})});
    ASSERT_TRUE(command);
    ASSERT_EQ(RunWithRecording(*command), 1);

    const std::vector<RecorderRequest> requests = RecorderRequests(port);
    ASSERT_EQ(requests.size(), 2u + 12u);
    EXPECT_EQ(requests[13],
              (RecorderRequest{0x6B, {0x03, 0x03, 0xFE, 0x00, 0x02}}));  // 1022, 2 samples
    EXPECT_TRUE(command->Extra().IsValid());
    for (size_t v = 0; v < 4; ++v) {
        const std::vector<int16_t> kept = KeptSamples(*command, v);
        ASSERT_EQ(kept.size(), 1024u);
        EXPECT_EQ(kept[1023], static_cast<int16_t>(v * 10000 + 1023));
    }
    uint32_t period = 0;
    std::memcpy(&period, command->Extra().GetReturnValue(4).data(), 4);
    EXPECT_EQ(period, 1500u);

    const CRecordedData shown = KeptRecording(*command);
    ASSERT_EQ(shown.Curves().size(), 4u);
    EXPECT_EQ(shown.Curves()[0].name, "current integrator");
    EXPECT_EQ(shown.Curves()[3].name, "current is");
    EXPECT_EQ(shown.Curves()[3].timeUnit, "ms");
}

TEST(AutotuneFamily, AutotuneRunKeepsTheTuningCurves) {
    RecorderPort port(73);
    port.bus->Clock().SetSpeed(100);
    ASSERT_EQ(MP_InitAutotune(port.name.c_str(), 1, 1, 0, 104, 0), 1);
    std::unique_ptr<CKelStandardCommand> command =
        PrepareCatalogueCall(&AutotuneFamily(), port.name.c_str(), 1, "Autotune");
    ASSERT_TRUE(command);
    ASSERT_EQ(RunWithRecording(*command), 1);
    const CRecordedData shown = KeptRecording(*command);
    ASSERT_EQ(shown.Curves().size(), 4u);
    EXPECT_EQ(shown.Curves()[0].name, "P gain");
    EXPECT_EQ(shown.Curves()[3].name, "performace index");
    EXPECT_FALSE(shown.Curves()[3].points.empty());
}

TEST(AutotuneFamily, FailedRunKeepsNothing) {
    RecorderPort port(74);
    // Autotune without InitAutotune is refused by the unit.
    std::unique_ptr<CKelStandardCommand> command =
        PrepareCatalogueCall(&AutotuneFamily(), port.name.c_str(), 1, "Autotune");
    ASSERT_TRUE(command);
    EXPECT_EQ(RunWithRecording(*command), 0);
    EXPECT_FALSE(command->Extra().IsValid());
    EXPECT_TRUE(command->Extra().GetReturnValue(0).empty());
    EXPECT_EQ(RecorderRequests(port).size(), 1u);
}

}  // namespace
}  // namespace kelcmd
