#include "api/recording_for_hosts.h"

#include "api/export_guard.h"
#include "api/families.h"
#include "api/recorded_data.h"
#include "api/recording_readout.h"
#include "api/unit_texts.h"

namespace kelcmd {

int32_t RecordedSignalNameText(uint32_t signal, char* text, uint32_t size) {
    return Guarded(0, [&] {
        const std::string_view name = RecordedSignalName(signal);
        CopyTruncated(name, text, size);
        return name.empty() ? 0 : 1;
    });
}

int32_t ReadRecordedVectorOf(const char* port, uint8_t slave, uint8_t vector, uint16_t first,
                             uint16_t count, int16_t* samples, uint8_t* signal) {
    return Guarded(0, [&] {
        RecordNotSentOutcome(NO_COMMAND);
        if (port == nullptr || signal == nullptr || (samples == nullptr && count > 0)) return 0;
        return ReadRecordedVector(&Families().Recording(), port, slave, vector, first, count,
                                  samples, *signal)
                   ? 1
                   : 0;
    });
}

}  // namespace kelcmd
