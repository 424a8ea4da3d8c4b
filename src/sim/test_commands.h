#pragma once

#include <cstdint>
#include <string>

namespace kelcmd::sim {

class SimUnit;

// Command codes every simulated unit knows for testing the bus itself. They lie outside the
// catalogue's codes. Multi-byte values are most significant byte first.
enum TestCommand : uint8_t {
    // Answers positively with the request's data unchanged.
    kTestEcho = 200,
    // Data: reason, warning (2 bytes). Refuses with that reason as mtype and the warning as data.
    // Shorter data is refused with BAD_LEN and WARN_SYNTAX.
    kTestRefuse = 201,
    // Runs and is acknowledged, but sends no answer frame.
    kTestNoAnswer = 202,
    // Data: delay in ms of simulated time (2 bytes), then anything. Echoes the whole data after the
    // delay. Shorter data is refused with BAD_LEN and WARN_SYNTAX.
    kTestDelayedEcho = 203,
    // Data: register number, value (4 bytes). Stores the value in the unit's store under
    // "reg<number>" and answers with no data. Other lengths are refused with BAD_LEN, WARN_SYNTAX.
    kTestStoreRegister = 204,
    // Data: register number. Answers with the register's value (4 bytes; 0 if never stored).
    kTestLoadRegister = 205,
    // No data. Counts how often it ran and answers with the new count (4 bytes), so a repeated
    // answer can be told from a repeated execution.
    kTestCount = 206,
};

// The store key kTestStoreRegister and kTestLoadRegister use for a register number.
std::string TestRegisterKey(uint8_t number);

// Registers the test commands on a unit.
void InstallTestCommands(SimUnit& unit);

}  // namespace kelcmd::sim
