#pragma once

#include <cstdint>

namespace kelcmd {

// One event of the bus tap as a plain record, for hosts that read the tap through the C calling
// convention (the Python package binds these functions by their C++ names).
struct BusEventRecord {
    uint8_t kind;       // BusEventKind
    uint8_t direction;  // BusDirection
    uint8_t result;
    uint8_t refused;
    uint8_t unitError;
    uint8_t failedMember;
    int16_t warning;
    uint32_t trials;
    uint32_t length;  // bytes used of `bytes`; what a purge dropped beyond its size is left out
    uint64_t timeNs;
    uint64_t elapsedNs;
    uint64_t exchange;
    char port[4096];  // the whole name of any port that opens (a device path too), terminated
    uint8_t bytes[2048];
};

// Starts watching `port` (null or empty: every port), keeping up to `capacity` events (0: the
// default) until they are read. A handle above 0, or 0 when it cannot start.
uint32_t OpenBusMonitor(const char* port, uint32_t capacity);
// The next event, waiting up to `waitMs` for one: 1 and `record` filled, or 0 (none came, no such
// handle, no record).
int32_t ReadBusMonitor(uint32_t handle, uint32_t waitMs, BusEventRecord* record);
// How many events the monitor had to drop because nobody read them in time.
uint64_t BusMonitorDropped(uint32_t handle);
// Stops watching: 1, or 0 for an unknown handle.
int32_t CloseBusMonitor(uint32_t handle);

}  // namespace kelcmd
