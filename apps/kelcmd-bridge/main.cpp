// kelcmd-bridge: owns KelBus lines and puts them on an MQTT broker (--help tells everything).
#include <signal.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "api/communication.h"
#include "bridge_options.h"
#include "bus_bridge.h"
#include "transport/kel_communication.h"

namespace {

// SIGTERM and SIGINT are taken by the main thread alone: every thread started after this
// inherits the mask, so no exchange is interrupted by a signal handler.
sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    return signals;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelcmd::bridge;
    BridgeOptions options;
    if (const std::string error = ParseBridgeOptions(argc, argv, options); !error.empty()) {
        std::fprintf(stderr, "kelcmd-bridge: %s\n(kelcmd-bridge --help tells the options)\n",
                     error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(BridgeHelpText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kelcmd-bridge %s (%s)\n", KELCMD_VERSION,
                    kelcmd::Communication().GetVersionText().c_str());
        return 0;
    }

    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a broker that goes away must not end the program

    std::vector<std::unique_ptr<BusBridge>> buses;
    for (const BusSpec& bus : options.buses) {
        auto bridge = std::make_unique<BusBridge>(options, bus);
        std::string error;
        if (!bridge->Start(error)) {
            std::fprintf(stderr, "kelcmd-bridge: %s\n", error.c_str());
            return 1;  // the buses started so far stop cleanly (offline) on the way out
        }
        std::fprintf(stderr, "kelcmd-bridge: %s on %s\n", bridge->TopicBase().c_str(),
                     bus.port.c_str());
        buses.push_back(std::move(bridge));
    }

    int signal = 0;
    sigwait(&signals, &signal);
    for (auto& bus : buses) bus->Stop();
    return 0;
}
