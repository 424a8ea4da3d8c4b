#include "demo.h"

#include <cstdio>
#include <string>

#include "api/communication.h"
#include "axis_status_bits.h"
#include "failure_report.h"
#include "kelcmd/kelcmd.h"
#include "transport/kel_communication.h"

namespace kelcmd::app {
namespace {

std::string StatusText(uint16_t status) {
    std::string text;
    for (int bit = 0; bit < 16; ++bit) {
        if (status & (1u << bit))
            text += std::string(text.empty() ? "" : " ") + kAxisStatusBits[bit];
    }
    return text.empty() ? "(none)" : text;
}

// Prints the step and its outcome; true when the command succeeded.
bool Step(const char* what, int32_t result) {
    if (result == 1) {
        std::printf("  %-44s ok\n", what);
        return true;
    }
    std::printf("  %-44s FAILED: %s\n", what, LastFailureText().c_str());
    return false;
}

void ShowPosition() {
    int32_t position = 0;
    float velocity = 0;
    int16_t current = 0;
    if (Step("Read position, velocity and current",
             ReadPosVelCur(&position, &velocity, &current))) {
        std::printf("      position %d qc, velocity %.3f qc/ms, current %d mA\n", position,
                    static_cast<double>(velocity), current);
    }
}

void ShowAxisInfo() {
    uint16_t status = 0;
    uint8_t userInputs = 0;
    uint8_t predefinedInputs = 0;
    int32_t position = 0;
    float velocity = 0;
    int16_t current = 0;
    if (Step("Read axis information", ReadAxisInfo(&status, &userInputs, &predefinedInputs,
                                                   &position, &velocity, &current))) {
        std::printf("      status 0x%04X: %s\n", status, StatusText(status).c_str());
        std::printf("      user inputs 0x%02X, predefined inputs 0x%02X, position %d qc\n",
                    userInputs, predefinedInputs, position);
    }
}

}  // namespace

int RunDemo(Session& session) {
    const Options& options = session.options();
    std::printf("%s\n", Communication().GetVersionText().c_str());
    std::printf("Port %s (%s), slave %u\n\n", options.port.c_str(), session.device().c_str(),
                options.slave);

    uint16_t version[6] = {};
    if (Step("Read the unit's versions", ReadVersion(&version[0], &version[1], &version[2],
                                                     &version[3], &version[4], &version[5]))) {
        std::printf("      command set %u, library %u, hardware %u, boot %u, application %u/%u\n",
                    version[0], version[1], version[2], version[3], version[4], version[5]);
    }
    Step("Clear the unit's error", ClearError());
    if (!Step("Position regulation on (mode 2)", SetRegMode(2))) return 1;
    Step("Profile: constant acceleration 0.5 qc/ms^2", SetProfile(1, 0.5f, 0.5f));
    Step("Positioning velocity 10 qc/ms", SetPosVelocity(10.0f));
    Step("Wait for trajectory and homing (wait mode 1)", SetWaitMode(1));

    std::printf("\nHoming\n");
    Step("Find home at the encoder index", FindHome(1, 200, 5.0f, 0, 10000));
    ShowAxisInfo();

    std::printf("\nMoves\n");
    Step("Move to 20000 qc", MoveAbsolute(20000, 10000));
    ShowPosition();
    Step("Move by -5000 qc", MoveRelative(-5000, 10000));
    ShowPosition();

    std::printf("\nA move without waiting\n");
    Step("No waiting (wait mode 2)", SetWaitMode(2));
    uint8_t flags = 0;
    uint32_t duration = 0;
    if (Step("Start the move to 0 qc", MoveAbsoluteInfo(0, 10000, &flags, &duration))) {
        std::printf("      planned duration %u ms, flags 0x%02X\n", duration, flags);
    }
    uint16_t status = 0;
    if (Step("Read the axis status while it moves", ReadAxisStatus(&status))) {
        std::printf("      status 0x%04X: %s\n", status, StatusText(status).c_str());
    }
    Step("Wait for the target position", WaitForTargetPos(10000));
    ShowPosition();
    ShowAxisInfo();

    std::printf("\nA target beyond the upper position limit\n");
    Step("Upper position limit 50000 qc", SetTempParam(21, 50000));
    Step("Enable the upper position limit", SetTempParam(22, 1));
    Step("Move to 60000 qc (the unit refuses)", MoveAbsolute(60000, 10000));
    Step("Clear the unit's warning", ClearWarning());
    Step("Restore the temporary parameters", ResetTempParam());
    return 0;
}

}  // namespace kelcmd::app
