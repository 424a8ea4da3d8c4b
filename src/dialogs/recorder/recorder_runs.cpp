#include "dialogs/recorder/recorder_runs.h"

#include <cstring>
#include <memory>

#include "api/autotune_run.h"
#include "api/families.h"
#include "api/recording_readout.h"
#include "command/command_family.h"
#include "command/kel_standard_command.h"
#include "dialogs/graph/recorded_data_window.h"
#include "dialogs/recorder/recorder_dialogs.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/typed_value.h"
#include "dialogs/toolkit/wait_window.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

uint32_t Unsigned(std::span<const uint8_t> bytes) {
    return ReadUnsigned(bytes);
}

int EditInput(CCommandFamily& family, CKelStandardCommand& command) {
    const int own = EditWithRecorderDialog(command);
    return own >= 0 ? own : family.EditParameters(command);
}

}  // namespace

int RunCommandDialogWith(CCommandFamily& family, const std::string& name, const char* port,
                         uint8_t slave, const CommandDialogSteps& steps) {
    std::unique_ptr<CKelStandardCommand> command = CopyPrototype(family, name);
    if (!command) return 0;
    if (BindTarget(*command, port, slave) == 0) return 0;
    StorePrototype(family, *command);

    const int edited = steps.edit ? steps.edit(*command) : EditInput(family, *command);
    if (edited == 0) return 0;
    StorePrototype(family, *command);

    command->ClearResults();
    const int executed = steps.execute ? steps.execute(*command) : ExecuteCommand(family, *command);
    StorePrototype(family, *command);
    if (executed == 0) {
        CurrentPrompt().ShowMessage(kCommandFailed);
        return 0;
    }
    const int shown = steps.show ? steps.show(family, *command) : family.ShowResults(*command);
    if (shown == 0) {
        CurrentPrompt().ShowMessage(kFailedShowingResults);
        return 0;
    }
    return 1;
}

CRecordedData PieceAsRecording(const CKelStandardCommand& command) {
    const CParameterList& wire = command.Wire();
    CRecordedData data;
    const int vector = wire.FindSend("vector");
    const int count = wire.FindSend("nbOfSamples");
    const int signal = wire.FindReturn("dataType");
    const int samples = wire.FindReturn("data");
    if (vector < 0 || count < 0 || signal < 0 || samples < 0 || !wire.IsValid()) return data;
    const std::span<const uint8_t> bytes = wire.GetReturnValue(static_cast<size_t>(samples));
    const size_t wanted =
        std::min<size_t>(Unsigned(wire.GetSendValue(static_cast<size_t>(count))), bytes.size() / 2);
    std::vector<int16_t> values;
    for (size_t i = 0; i < wanted; ++i) {
        int16_t sample = 0;  // kept in host order
        std::memcpy(&sample, bytes.data() + 2 * i, sizeof sample);
        values.push_back(sample);
    }
    uint32_t periodUs = 1000;
    const int period = command.Extra().FindSend("samplePeriod");
    if (period >= 0) periodUs = Unsigned(command.Extra().GetSendValue(static_cast<size_t>(period)));
    const TimeBase base = TimeBaseOfMicroseconds(periodUs);
    data.AppendSamples(
        static_cast<uint8_t>(Unsigned(wire.GetSendValue(static_cast<size_t>(vector)))),
        static_cast<uint8_t>(Unsigned(wire.GetReturnValue(static_cast<size_t>(signal)))), values,
        base.period, base.unit);
    return data;
}

int DisplayRecordedData(const char* port, uint8_t slave) {
    const std::string portName = port != nullptr ? port : "";
    CRecordedData data;
    const int read = RunWhileWaiting(kReadingRecordedData, [&] {
        return ReadWholeRecording(&Families().Recording(), portName, slave, data) ? 1 : 0;
    });
    if (read == 0) {
        CurrentPrompt().ShowMessage(kDisplayRecordedDataError);
        return 0;
    }
    return ShowRecordedData(std::move(data));
}

int ReadRecordedDataDialog(const char* port, uint8_t slave) {
    CCommandFamily& family = Families().Recording();
    return RunCommandDialogWith(
        family, "ReadRecordedData", port, slave,
        {.execute =
             [&family](CKelStandardCommand& command) {
                 return RunWhileWaiting(kReadingRecordedData,
                                        [&] { return family.Execute(&command); });
             },
         .show = [](CCommandFamily&,
                    CKelStandardCommand& command) { return ShowRecordedPiece(command); }});
}

int ShowRecordedPiece(const CKelStandardCommand& command) {
    CRecordedData piece = PieceAsRecording(command);
    return piece.Empty() ? 0 : ShowRecordedData(std::move(piece));
}

int ShowKeptRecording(CKelStandardCommand& command) {
    if (!command.Extra().IsValid() &&
        RunWhileWaiting(kReadingRecordedData, [&] { return ReadKeptRecording(command); }) == 0) {
        return 0;
    }
    CRecordedData kept = KeptRecording(command);
    return kept.Empty() ? 1 : ShowRecordedData(std::move(kept));
}

// The result (Autotune's improvement, then the kept curves) is the family's result window, the
// same that the command tree shows.
int RecordingTestDialog(const std::string& name, const char* waitText, const char* port,
                        uint8_t slave) {
    return RunCommandDialogWith(Families().Autotune(), name, port, slave,
                                {.execute = [waitText](CKelStandardCommand& command) {
                                    return RunWhileWaiting(
                                        waitText, [&] { return RunWithRecording(command); });
                                }});
}

}  // namespace kelcmd::dialogs
