// kelbus-sim: simulated KelBus units on a pseudo-terminal, for programs that open a real tty.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "pty_bridge.h"
#include "pty_port.h"
#include "server_options.h"
#include "sim/bus_registry.h"
#include "tty_link.h"

namespace {

using namespace kelcmd::simserver;

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

// SIGINT, SIGTERM and SIGHUP only set a flag, in whichever thread they arrive (a sanitizer's own
// threads included), so that the program ends through its destructors: the link goes, the bus is
// released.
void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

// Until a stop signal, or until the bridge fails: then its reason is printed and the status is 1.
int WaitForStop(const PtyBridge& bridge) {
    while (!stopRequested && !bridge.Failed()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!bridge.Failed()) return 0;
    std::fprintf(stderr, "kelbus-sim: %s\n", bridge.Error().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    ServerOptions options;
    if (const std::string error = ParseServerOptions(argc, argv, options); !error.empty()) {
        std::fprintf(stderr, "kelbus-sim: %s (kelbus-sim --help lists the options)\n",
                     error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }

    CatchStopSignals();

    std::string error;
    const auto port = PtyPort::Open(error);
    if (!port) {
        std::fprintf(stderr, "kelbus-sim: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<TtyLink> link;
    if (!options.link.empty()) {
        link = TtyLink::Create(options.link, port->SlavePath(), error);
        if (!link) {
            std::fprintf(stderr, "kelbus-sim: %s\n", error.c_str());
            return 1;
        }
    }
    const auto bus = kelcmd::sim::BusForDevice(SimulatedDevice(options));
    if (!bus || !bus->TryOpen()) {
        std::fprintf(stderr, "kelbus-sim: cannot set up the units %s\n", options.units.c_str());
        return 1;
    }
    if (options.speed) bus->Clock().SetSpeed(*options.speed);
    bus->SetPaced(options.paced);
    bus->SetBaud(19200);  // until the host program sets its own rate

    // The slave's path alone on the first line, for scripts; the rest after it.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("%s\n", port->SlavePath().c_str());
    std::fprintf(stderr, "kelbus-sim: units %s on %s%s%s\n", options.units.c_str(),
                 port->SlavePath().c_str(), link ? ", link " : "",
                 link ? link->Path().c_str() : "");

    int status = 0;
    {
        PtyBridge bridge(*port, *bus, FaultDice(options.faults, options.seed),
                         options.trace ? stdout : nullptr, options.latencyTimerMs);
        status = WaitForStop(bridge);
    }
    bus->Release();
    return status;
}
