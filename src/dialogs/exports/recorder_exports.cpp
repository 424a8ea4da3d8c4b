// The recorder's and the autotuning's dialog exports that are not a command's plain dialogs, and
// the recorded data graph for recordings and for data the host polled itself.
#include <array>

#include "api/families.h"
#include "api/recording_readout.h"
#include "dialogs/bootstrap/dialog_export.h"
#include "dialogs/graph/recorded_data_window.h"
#include "dialogs/recorder/recorder_runs.h"
#include "kelcmd/kelcmd_dialogs.h"

extern "C" {

KELCMD_DIALOGS_API int32_t MP_ReadRecordedDataDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_ReadRecordedDataDlg", [&] {
        return kelcmd::dialogs::ReadRecordedDataDialog(portName, slave);
    });
}

KELCMD_DIALOGS_API int32_t MP_DisplayRecordedDataDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_DisplayRecordedDataDlg", [&] {
        return kelcmd::dialogs::DisplayRecordedData(portName, slave);
    });
}

KELCMD_DIALOGS_API int32_t MP_DisplayPolledDataDlg(uint16_t nbOfSamples, uint32_t period,
                                                   uint8_t signal1, const int16_t* data1,
                                                   uint8_t signal2, const int16_t* data2,
                                                   uint8_t signal3, const int16_t* data3,
                                                   uint8_t signal4, const int16_t* data4) {
    return kelcmd::dialogs::RunDialogExport("MP_DisplayPolledDataDlg", [&] {
        if (nbOfSamples == 0) return 0;
        const std::array<kelcmd::PolledSeries, 4> series = {
            {{signal1, data1}, {signal2, data2}, {signal3, data3}, {signal4, data4}}};
        return kelcmd::dialogs::ShowRecordedData(
            kelcmd::BuildPolledData(nbOfSamples, period, series));
    });
}

KELCMD_DIALOGS_API int32_t MP_AutotuneDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_AutotuneDlg", [&] {
        return kelcmd::dialogs::RecordingTestDialog("Autotune", "Autotuning function is running...",
                                                    portName, slave);
    });
}

KELCMD_DIALOGS_API int32_t MP_SquareCurrentTestDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_SquareCurrentTestDlg", [&] {
        return kelcmd::dialogs::RecordingTestDialog(
            "SquareCurrentTest", "SquareCurrent Test is running...", portName, slave);
    });
}

KELCMD_DIALOGS_API int32_t MP_SetPWMDlg(const char* portName, uint8_t slave) {
    return kelcmd::dialogs::RunDialogExport("MP_SetPWMDlg", [&] {
        return kelcmd::dialogs::RecordingTestDialog("SetPWM", "Reading recorded data...", portName,
                                                    slave);
    });
}

}  // extern "C"
