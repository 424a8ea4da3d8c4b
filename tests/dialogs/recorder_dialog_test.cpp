// The recorder, autotuning, check-sum and user parameter dialog exports against a simulated unit:
// the bytes on the wire, what the dialogs showed, and what the exports returned.
#include <QTreeWidget>

#include "api/recorder_test_support.h"
#include "dialog_test_support.h"
#include "dialogs/graph/recorded_data_window.h"
#include "dialogs/recorder/recorder_dialogs.h"
#include "dialogs/structures/structure_dialogs.h"
#include "dialogs/structures/user_parameter_editing.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::testing {
void PrintTo(const RecorderRequest& request, std::ostream* out) {
    *out << "{mtype " << int(request.mtype) << ", data";
    for (const uint8_t byte : request.data) *out << ' ' << int(byte);
    *out << '}';
}

namespace {

using namespace kelcmd::dialogs;

class RecorderDialogTest : public DialogTest {};

// A finished recording of `count` samples per vector: position must and is, current must and is.
void StoreRecording(RecorderPort& port, uint16_t count) {
    std::array<std::vector<int16_t>, 4> samples;
    for (uint16_t i = 0; i < count; ++i) {
        samples[0].push_back(static_cast<int16_t>(i));
        samples[1].push_back(static_cast<int16_t>(i - 1));
        samples[2].push_back(100);
        samples[3].push_back(90);
    }
    port.Peripherals().recorder.Store({0, 1, 4, 5}, 2000, samples);
}

TEST_F(RecorderDialogTest, DisplayRecordedDataReadsInPiecesAndShowsTheGraph) {
    RecorderPort port(41);
    ASSERT_EQ(port.openResult, 0);
    StoreRecording(port, 512);
    RecordingPrompt prompt;
    std::vector<std::string> curves;
    ModalScript script({[&](QDialog& dialog) {
        auto& window = static_cast<RecordedDataWindow&>(dialog);
        for (size_t i = 0; i < window.View().CurveCount(); ++i) {
            curves.push_back(window.View().Curve(i).name);
        }
        EXPECT_EQ(window.View().Curve(0).times.size(), 512u);
        EXPECT_EQ(window.View().Curve(0).timeUnit, "ms");
        dialog.accept();
    }});
    EXPECT_EQ(MP_DisplayRecordedDataDlg(port.name.c_str(), 1), 1);
    std::vector<RecorderRequest> expected = {{0x6A, {}}};
    for (const auto& [first, count] : {std::pair{0, 511}, std::pair{511, 1}}) {
        for (uint8_t vector = 0; vector < 4; ++vector) {
            expected.push_back(
                {0x6B,
                 {vector, static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first),
                  static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)}});
        }
    }
    EXPECT_EQ(RecorderRequests(port), expected);
    EXPECT_EQ(curves, (std::vector<std::string>{"position must", "position is", "current must",
                                                "current is", "error position", "error current"}));
    EXPECT_EQ(script.titles, std::vector<std::string>{"Recorded Data"});
}

TEST_F(RecorderDialogTest, ReadRecordedDataShowsThePieceItRead) {
    RecorderPort port(47);
    ASSERT_EQ(port.openResult, 0);
    StoreRecording(port, 20);
    RecordingPrompt prompt;
    std::vector<double> values;
    ModalScript script({Ok([](QDialog& d) {
                            Find<QComboBox>(d, "vector").setCurrentIndex(1);
                            Type(d, "first_sample", "5");
                            Type(d, "number_of_samples", "3");
                        }),
                        [&](QDialog& dialog) {
                            const GraphCurve curve =
                                static_cast<RecordedDataWindow&>(dialog).View().Curve(0);
                            values = curve.values;
                            EXPECT_EQ(curve.name, "position is");
                            EXPECT_EQ(curve.times, (std::vector<double>{0, 1, 2}));  // 1000 us
                            dialog.accept();
                        }});
    EXPECT_EQ(MP_ReadRecordedDataDlg(port.name.c_str(), 1), 1);
    EXPECT_EQ(RecorderRequests(port),
              (std::vector<RecorderRequest>{{0x6B, {1, 0x00, 0x05, 0x00, 0x03}}}));
    EXPECT_EQ(values, (std::vector<double>{4, 5, 6}));
}

TEST_F(RecorderDialogTest, DisplayRecordedDataWithoutSamplesShowsTheError) {
    RecorderPort port(42);
    port.Peripherals().recorder.Store({0, 1, 4, 5}, 1000, {});
    RecordingPrompt prompt;
    ModalScript script({});
    EXPECT_EQ(MP_DisplayRecordedDataDlg(port.name.c_str(), 1), 0);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Error 'Display Recorded Data' !"});
    EXPECT_TRUE(script.titles.empty());
}

TEST_F(RecorderDialogTest, PolledDataNeedSamplesAndCountInSamples) {
    const int16_t values[3] = {32, 64, 96};
    {
        ModalScript none({});
        EXPECT_EQ(MP_DisplayPolledDataDlg(0, 1, 2, values, 0, nullptr, 0, nullptr, 0, nullptr), 0);
        EXPECT_TRUE(none.titles.empty());
    }
    std::vector<double> shown;
    ModalScript script({[&](QDialog& dialog) {
        const GraphCurve curve = static_cast<RecordedDataWindow&>(dialog).View().Curve(0);
        shown = curve.values;
        EXPECT_EQ(curve.timeUnit, "samples");
        EXPECT_EQ(static_cast<RecordedDataWindow&>(dialog).View().CurveCount(), 1u);
        dialog.accept();
    }});
    EXPECT_EQ(MP_DisplayPolledDataDlg(3, 1, 2, values, 0, nullptr, 0, nullptr, 0, nullptr), 1);
    EXPECT_EQ(shown, (std::vector<double>{1, 2, 3}));  // a velocity: scaled by 1/32
}

struct InputCase {
    const char* name;
    int32_t (*dialog)(const char*, uint8_t);
    std::vector<ModalScript::Step> steps;
    int32_t result;
    std::vector<RecorderRequest> requests;
    std::vector<std::string> messages = {};
};

void PickRadio(QDialog& dialog, const char* name) {
    Click(dialog, name);
}

TEST_F(RecorderDialogTest, InputDialogsSendWhatWasChosen) {
    const std::vector<InputCase> cases = {
        {"SetupRecorderCancelled", MP_SetupRecorderDlg, {Cancel()}, 0, {}},
        {"SetupRecorder",
         MP_SetupRecorderDlg,
         {Ok([](QDialog& d) {
             Find<QComboBox>(d, "measuring_interval").setCurrentIndex(3);
             Find<QComboBox>(d, "data").setCurrentIndex(1);
         })},
         1,
         {{0x68, {0x00, 0x08, 0x02, 0x01}}}},
        {"SetupRecorderLongestInterval",
         MP_SetupRecorderDlg,
         {Ok([](QDialog& d) {
             Find<QComboBox>(d, "measuring_interval").setCurrentIndex(16);
             Find<QComboBox>(d, "data").setCurrentIndex(0);
         })},
         1,
         {{0x68, {0x00, 0x00, 0x01, 0x01}}}},
        {"InitAutotune",
         MP_InitAutotuneDlg,
         {Ok([](QDialog& d) {
             PickRadio(d, "tune_position_regulator");
             PickRadio(d, "default_parameters");
             PickRadio(d, "iae2_iae_noise_taxing_202");
             PickRadio(d, "fine_tuning");
         })},
         1,
         {{0x60, {0x02, 0x01, 0xCA, 0x01}}}},
        {"SquareCurrentAmplitudeBeyondAWord",
         MP_SquareCurrentTestDlg,
         {[](QDialog& d) {
             Type(d, "amplitude_of_the_current_jump", "65536");
             Click(d, "ok");
             EXPECT_TRUE(d.isVisible());
             Click(d, "cancel");
         }},
         0,
         {},
         {"Please enter an integer between 0 and 65535."}},
        {"RecordData",
         MP_RecordDataDlg,
         {Ok([](QDialog& d) { PickRadio(d, "start_sampling_in_the_current_regulator"); })},
         1,
         {{0x69, {0x01}}}},
    };
    for (const InputCase& row : cases) {
        SCOPED_TRACE(row.name);
        RecorderPort port(43);
        ASSERT_EQ(port.openResult, 0);
        RecordingPrompt prompt;
        ModalScript script(row.steps);
        EXPECT_EQ(row.dialog(port.name.c_str(), 1), row.result);
        EXPECT_EQ(RecorderRequests(port), row.requests);
        EXPECT_EQ(prompt.messages, row.messages);
    }
}

TEST_F(RecorderDialogTest, SetPwmRunsWithItsRecordingAndShowsIt) {
    RecorderPort port(44);
    ASSERT_EQ(port.openResult, 0);
    RecordingPrompt prompt;
    std::vector<std::string> curves;
    ModalScript script({Ok([](QDialog& d) {
                            Type(d, "duty_cycle", "-266");
                            Click(d, "stay_in_pwm_mode_after_recording");
                        }),
                        [&](QDialog& dialog) {
                            auto& window = static_cast<RecordedDataWindow&>(dialog);
                            for (size_t i = 0; i < window.View().CurveCount(); ++i) {
                                curves.push_back(window.View().Curve(i).name);
                            }
                            dialog.accept();
                        }});
    EXPECT_EQ(MP_SetPWMDlg(port.name.c_str(), 1), 1);
    const std::vector<RecorderRequest> requests = RecorderRequests(port);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0], (RecorderRequest{0x67, {0xFE, 0xF6, 0x01}}));
    EXPECT_EQ(requests[1].mtype, 0x6A);
    ASSERT_GE(curves.size(), 4u);
    EXPECT_EQ(curves[0], "current integrator");
    EXPECT_EQ(curves[3], "current is");
}

TEST_F(RecorderDialogTest, CheckCrcOfADamagedAreaFails) {
    SimPort port(45);
    ASSERT_EQ(port.openResult, 0);
    port.Unit(1).SetHandler(0x78, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(0x78, {0x00, 0x12, 0x34});
    });
    RecordingPrompt prompt;
    ModalScript script(
        {Ok([](QDialog& d) { Find<QComboBox>(d, "memory_area").setCurrentIndex(2); })});
    EXPECT_EQ(MP_CheckCRCDlg(port.name.c_str(), 1), 1);
    EXPECT_EQ(WireRequests(port), (std::vector<WireRequest>{{1, 0x78, {2}}}));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"User-Parameter 1\nFAILED!"});
}

TEST_F(RecorderDialogTest, UserParameterEditWritesThePaddedBigEndianImage) {
    SimPort port(46);
    ASSERT_EQ(port.openResult, 0);
    port.Unit(1).SetHandler(0x70, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(0x70, {7, 0xEE, 0x00, 0x05, 0, 0, 0, 0});
    });
    port.Unit(1).SetHandler(
        0x72, [](sim::SimUnit&, std::span<const uint8_t>) { return sim::PositiveAnswer(0x72); });
    UserParameterStructure(1) =
        CStructureDefinition("Axis", {{"count", ELEMENT_BYTE, 1}, {"speed", ELEMENT_WORD, 1}});
    RecordingPrompt prompt;
    {
        // The value editor opens from the list's own event loop, after this step returned.
        ModalScript script(
            {[](QDialog& dialog) {
                 EXPECT_EQ(Find<QTreeWidget>(dialog, "values").topLevelItem(1)->text(2), "5");
                 QTimer::singleShot(0, &dialog, [&dialog] {
                     static_cast<StructureDataDialog&>(dialog).EditRow(1);
                     Click(dialog, "ok");
                 });
             },
             Ok([](QDialog& d) { Type(d, "value", "4660"); })});
        EXPECT_EQ(MP_EditAllTempUsr1ParamDlg(port.name.c_str(), 1), 1);
        EXPECT_EQ(WireRequests(port),
                  (std::vector<WireRequest>{{1, 0x70, {}}, {1, 0x72, {7, 0x00, 0x12, 0x34}}}));
        EXPECT_EQ(script.titles, (std::vector<std::string>{"Edit Data of Axis", "Edit Value"}));
    }
    // Cancelling the edit writes nothing.
    ModalScript cancel({Cancel()});
    EXPECT_EQ(MP_EditAllTempUsr1ParamDlg(port.name.c_str(), 1), 0);
    EXPECT_EQ(WireRequests(port).size(), 3u);
    UserParameterStructure(1) = {};
}

TEST(RecorderDialogRules, IntervalsAndCostFunctions) {
    struct Row {
        uint16_t period;
        int index;
    };
    for (const Row& row : std::vector<Row>{{1, 0}, {8, 3}, {32768, 15}, {0, 16}, {12, 2}}) {
        EXPECT_EQ(IntervalIndexOfPeriod(row.period), row.index) << row.period;
    }
    EXPECT_EQ(PeriodOfIntervalIndex(16), 0);
    EXPECT_EQ(CostFunctionIndex(2, 99), 4);
    EXPECT_EQ(CostFunctionIndex(1, 99), 0);
    EXPECT_EQ(CostFunctionOfIndex(5), 202);
    EXPECT_EQ(CostFunctionOfIndex(3), 105);
}

}  // namespace
}  // namespace kelcmd::testing
