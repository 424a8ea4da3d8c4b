// kelcmd: run commands on KelBus units from the command line.
#include <cstdio>
#include <string>

#include "raw_commands.h"
#include "session.h"

namespace {

void PrintUsage() {
    std::puts(
        "usage: kelcmd [--port NAME] [--device DEVICE] [--slave N] [--baud RATE]\n"
        "              [--timeout MS] [--trace] COMMAND [ARGUMENTS]\n"
        "\n"
        "Without --port, --device or KELCMD_PORTS the program talks to simulated units\n"
        "(device sim:1-3). DEVICE is a tty path such as /dev/ttyUSB0, or sim[:ADDRESSES].\n"
        "\n"
        "commands:\n"
        "  send DEST MTYPE [BYTE ...]   send one raw frame and print its answer");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelcmd::app;
    Options options;
    if (const std::string error = ParseOptions(argc, argv, options); !error.empty()) {
        std::fprintf(stderr, "kelcmd: %s\n", error.c_str());
        return 2;
    }
    if (options.arguments.empty() || options.arguments[0] == "help" ||
        options.arguments[0] == "--help") {
        PrintUsage();
        return options.arguments.empty() ? 2 : 0;
    }
    const std::string& command = options.arguments[0];
    Session session(options);
    if (command == "send") {
        if (!session.Open()) return 1;
        return RunSend(session, options.arguments);
    }
    std::fprintf(stderr, "kelcmd: unknown command '%s' (try kelcmd help)\n", command.c_str());
    return 2;
}
