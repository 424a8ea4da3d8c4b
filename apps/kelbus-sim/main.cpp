// kelbus-sim: simulated KelBus units on a pseudo-terminal, for programs that open a real tty.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "pty_bridge.h"
#include "pty_port.h"
#include "server_options.h"
#include "sim/bus_registry.h"
#include "tty_link.h"

namespace {

using namespace kelcmd::simserver;

// Waits for SIGINT, SIGTERM or SIGHUP, looking at the bridge every 100 ms. The signals are
// blocked in every thread and taken here, so that the program ends through its destructors: the
// link goes, the bus is released.
int WaitForStop(const sigset_t& stopSignals, const PtyBridge& bridge) {
    const timespec interval{0, 100'000'000};
    while (!bridge.Failed()) {
        const int signal = ::sigtimedwait(&stopSignals, nullptr, &interval);
        if (signal > 0) return 0;
        if (errno != EAGAIN && errno != EINTR) break;
    }
    const std::string reason =
        bridge.Failed() ? bridge.Error() : std::string("waiting for a signal: ") + strerror(errno);
    std::fprintf(stderr, "kelbus-sim: %s\n", reason.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    ServerOptions options;
    if (const std::string error = ParseServerOptions(argc, argv, options); !error.empty()) {
        std::fprintf(stderr, "kelbus-sim: %s\n%s", error.c_str(), UsageText().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);  // the threads started below inherit it

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
                         options.trace ? stdout : nullptr);
        status = WaitForStop(stopSignals, bridge);
    }
    bus->Release();
    return status;
}
