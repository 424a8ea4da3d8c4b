#pragma once

#include <cstdint>

namespace kelcmd {

// The recording readout for hosts that bind plain functions by name (the Python package): C
// signatures in namespace kelcmd, so that they are exported beside the library's other C++ entry
// points and not among the public exports.

// The name of a recorded signal ("velocity is") into `text` (cut to size - 1, terminated); 1 for
// signals 0 to 15, 0 with an empty text otherwise.
int32_t RecordedSignalNameText(uint32_t signal, char* text, uint32_t size);

// `count` samples of `vector` from sample `first` on, read from the unit in as many commands as
// needed, into `samples` (room for `count`), and the signal the unit reported into `*signal`.
// 1 on success; 0 when a command failed (the thread's last outcome tells why) or an argument is
// null.
int32_t ReadRecordedVectorOf(const char* port, uint8_t slave, uint8_t vector, uint16_t first,
                             uint16_t count, int16_t* samples, uint8_t* signal);

}  // namespace kelcmd
