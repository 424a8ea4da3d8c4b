// kelcmd: run commands on KelBus units from the command line.
#include <cstdio>
#include <string>

#include "batch_command.h"
#include "demo.h"
#include "named_command.h"
#include "params_command.h"
#include "raw_commands.h"
#include "record_command.h"
#include "session.h"
#include "show_command.h"

namespace {

void PrintUsage() {
    std::puts(
        "usage: kelcmd [--port NAME] [--device DEVICE] [--slave N] [--baud RATE]\n"
        "              [--timeout MS] [--trace] COMMAND [ARGUMENTS]\n"
        "\n"
        "Without --port, --device or KELCMD_PORTS the program talks to simulated units\n"
        "(device sim:1-3). DEVICE is a tty path such as /dev/ttyUSB0, or sim[:ADDRESSES].\n"
        "--trace prints every frame on the line.\n"
        "\n"
        "commands:\n"
        "  demo                         set up and move a unit, printing each step\n"
        "  send DEST MTYPE [BYTE ...]   send one raw frame and print its answer\n"
        "  record [--samples N] [--period MS] OUT\n"
        "                               record a move into OUT.rda and OUT.txt\n"
        "  params [--permanent]         list the unit's system parameters\n"
        "  run-batch FILE.kbc           execute a batch file and print its results\n"
        "  show FILE                    print a .kbc, .ccs, .usp or .rda file\n"
        "  commands                     list the unit commands and their arguments\n"
        "  NAME [ARGUMENT ...]          run a unit command, e.g. MoveAbsolute 1000 5000");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelcmd::app;
    Options options;
    if (const std::string error = ParseOptions(argc, argv, options); !error.empty()) {
        std::fprintf(stderr, "kelcmd: %s\n", error.c_str());
        return 2;
    }
    if (options.arguments.empty() || options.arguments[0] == "help") {
        PrintUsage();
        return options.arguments.empty() ? 2 : 0;
    }
    const std::string& command = options.arguments[0];
    if (command == "commands") {
        PrintNamedExports();
        return 0;
    }
    if (command == "show") return RunShow(options.arguments);
    const bool known = command == "send" || command == "demo" || command == "record" ||
                       command == "params" || command == "run-batch" || IsNamedExport(command);
    if (!known) {
        std::fprintf(stderr, "kelcmd: unknown command '%s' (try kelcmd help or kelcmd commands)\n",
                     command.c_str());
        return 2;
    }
    Session session(options);
    if (!session.Open()) return 1;
    if (command == "send") return RunSend(session, options.arguments);
    if (command == "demo") return RunDemo(session);
    if (command == "record") return RunRecord(session, options.arguments);
    if (command == "params") return RunParams(session, options.arguments);
    if (command == "run-batch") return RunBatch(session, options.arguments);
    return RunNamedExport(session, options.arguments);
}
