// The recorder exports: set-up, start, number of samples ready, one stretch of a vector.
#include "api/export_guard.h"
#include "api/families.h"
#include "api/recorder_family.h"
#include "kelcmd/kelcmd.h"

using namespace kelcmd;

extern "C" {

KELCMD_API int32_t MP_SetupRecorder(const char* portName, uint8_t slave, uint16_t period,
                                    uint8_t dataType, uint8_t autoRecord) {
    return CallExport(RecordingFamily(), portName, slave, "SetupRecorder",
                      {Value(period), Value(dataType), Value(autoRecord)});
}

KELCMD_API int32_t MP_RecordData(const char* portName, uint8_t slave, uint8_t regulator) {
    return CallExport(RecordingFamily(), portName, slave, "RecordData", {Value(regulator)});
}

KELCMD_API int32_t MP_ReadNbOfSamples(const char* portName, uint8_t slave, uint8_t* terminated,
                                      uint16_t* nbOfSamples, uint32_t* period) {
    return CallExport(RecordingFamily(), portName, slave, "ReadNbOfSamples", {},
                      {Out(terminated), Out(nbOfSamples), Out(period)});
}

// `data` receives all 511 values of the answer's array (1022 bytes); the first nbOfSamples of
// them are the samples asked for.
KELCMD_API int32_t MP_ReadRecordedData(const char* portName, uint8_t slave, uint8_t vector,
                                       uint16_t firstSample, uint16_t nbOfSamples,
                                       uint8_t* dataType, int16_t* data) {
    return CallExport(RecordingFamily(), portName, slave, "ReadRecordedData",
                      {Value(vector), Value(firstSample), Value(nbOfSamples)},
                      {Out(dataType), Out(data)});
}

KELCMD_API int32_t SetupRecorder(uint16_t period, uint8_t dataType, uint8_t autoRecord) {
    return OnCurrentTarget(MP_SetupRecorder, period, dataType, autoRecord);
}

KELCMD_API int32_t RecordData(uint8_t regulator) {
    return OnCurrentTarget(MP_RecordData, regulator);
}

KELCMD_API int32_t ReadNbOfSamples(uint8_t* terminated, uint16_t* nbOfSamples, uint32_t* period) {
    return OnCurrentTarget(MP_ReadNbOfSamples, terminated, nbOfSamples, period);
}

KELCMD_API int32_t ReadRecordedData(uint8_t vector, uint16_t firstSample, uint16_t nbOfSamples,
                                    uint8_t* dataType, int16_t* data) {
    return OnCurrentTarget(MP_ReadRecordedData, vector, firstSample, nbOfSamples, dataType, data);
}

}  // extern "C"
