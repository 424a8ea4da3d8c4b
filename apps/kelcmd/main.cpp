// kelcmd: run commands on KelBus units from the command line.
#include <cstdio>
#include <string>
#include <utility>

#include "api/communication.h"
#include "batch_command.h"
#include "command_names.h"
#include "demo.h"
#include "named_command.h"
#include "params_command.h"
#include "port_doctor.h"
#include "raw_commands.h"
#include "record_command.h"
#include "scan_command.h"
#include "session.h"
#include "show_command.h"
#include "transport/kel_communication.h"

namespace {

constexpr const char* kUsage =
    "usage: kelcmd [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Runs commands on KelBus motor-control units over a serial line, or on simulated units.\n"
    "Options go before or after the command; --name=value works too.\n"
    "\n"
    "options:\n"
    "  --port NAME        port name (default Com1); a device path here is --device\n"
    "  --device DEVICE    device of the port: a tty such as /dev/ttyUSB0, or sim[:OPTIONS]\n"
    "  --slave N          unit address, 1 to 127, or a group address 128 to 255 (default 1)\n"
    "  --baud RATE        baud rate, 1 to 4000000 (default 19200)\n"
    "  --timeout MS       acknowledge and character timeout (default 100, scan 40)\n"
    "  --trace            print everything on the wire and each result, with times\n"
    "  --trace-file FILE  write the same to FILE, one JSON line each\n"
    "  -h, --help         print this help\n"
    "  --version          print the version\n"
    "\n"
    "Without --port, --device or KELCMD_PORTS the program talks to simulated units\n"
    "(device sim:1-3). They live for this one run: a move, then a read in a second run reads\n"
    "0. For units that keep their state across runs, serve them with kelbus-sim.\n"
    "\n"
    "commands:\n"
    "  scan [FIRST-LAST]            list the units that answer (addresses 1-127) and their "
    "versions\n"
    "  demo                         set up and move a unit, printing each step\n"
    "  send DEST MTYPE [BYTE ...]   send one raw frame and print its answer\n"
    "  record [--samples N] [--period MS] OUT\n"
    "                               record a move into OUT.rda and OUT.txt\n"
    "  params [--permanent]         list the unit's system parameters\n"
    "  run-batch FILE.kbc           execute a batch file and print its results\n"
    "  show FILE                    print a .kbc, .ccs, .usp or .rda file\n"
    "  commands                     list the unit commands and their arguments\n"
    "  ports                        list the serial devices, their by-id names and holders\n"
    "  doctor [DEVICE]              examine a serial device (or all) and say what to fix\n"
    "  help                         print this help\n"
    "  NAME [ARGUMENT ...]          run a unit command, e.g. MoveAbsolute 1000 5000 (any case)\n"
    "\n"
    "exit status:\n"
    "  0  done\n"
    "  1  the command, the port or a file failed\n"
    "  2  usage error (the message on standard error)\n"
    "\n"
    "environment:\n"
    "  KELCMD_PORTS    port names and their devices, e.g. Com1=/dev/ttyUSB0,Com2=sim:1-3\n"
    "  KELCMD_LIBRARY  the libkelcmd.so that the Python package loads; this program has the\n"
    "                  library built in\n";

// Commands that read answers from one unit: a group address cannot serve them.
bool NeedsAnswers(const std::string& command) {
    return command == "demo" || command == "params" || command == "record";
}

int UsageError(const std::string& text) {
    std::fprintf(stderr, "kelcmd: %s\nTry 'kelcmd --help'.\n", text.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kelcmd::app;
    Options options;
    if (const std::string error = ParseOptions(argc, argv, options); !error.empty()) {
        return UsageError(error);
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kelcmd %s (%s)\n", KELCMD_VERSION,
                    kelcmd::Communication().GetVersionText().c_str());
        return 0;
    }
    if (options.arguments.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // Command names are taken without regard to case, then spelled as the program knows them.
    if (std::string known = CanonicalCommand(options.arguments[0]); !known.empty()) {
        options.arguments[0] = std::move(known);
    }
    const std::string& command = options.arguments[0];
    const bool takesNoArguments = command == "help" || command == "commands" || command == "demo";
    if (takesNoArguments && options.arguments.size() > 1) {
        return UsageError(command + " takes no arguments (extra argument '" + options.arguments[1] +
                          "')");
    }
    if (command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "commands") {
        PrintNamedExports();
        return 0;
    }
    if (command == "show") return RunShow(options.arguments);
    if (command == "ports") return RunPorts(options.arguments);
    if (command == "doctor") return RunDoctor(options.arguments);
    const bool known = command == "send" || command == "scan" || NeedsAnswers(command) ||
                       command == "run-batch" || IsNamedExport(command);
    if (!known) {
        const std::string nearest = NearestCommand(command);
        return UsageError("unknown command '" + command + "' (" +
                          (nearest.empty() ? "" : "did you mean " + nearest + "? ") +
                          "kelcmd commands lists the unit commands)");
    }
    if (NeedsAnswers(command) && kelcmd::IsGroupAddress(options.slave)) {
        return UsageError(command +
                          " reads answers, but group addresses (128 to 255) do not "
                          "answer: choose a unit address from 1 to 127 with --slave");
    }
    // Checked before the port opens, so that a usage error does not talk to the bus.
    std::optional<ScanRange> scanRange;
    if (command == "scan") {
        scanRange = ParseScanArguments(options.arguments);
        if (!scanRange) return 2;
        if (!options.timeoutGiven) options.timeout = kScanTimeoutMs;
    }
    Session session(options);
    if (!session.Open()) return 1;
    if (command == "scan") return RunScan(session, *scanRange);
    if (command == "send") return RunSend(session, options.arguments);
    if (command == "demo") return RunDemo(session);
    if (command == "record") return RunRecord(session, options.arguments);
    if (command == "params") return RunParams(session, options.arguments);
    if (command == "run-batch") return RunBatch(session, options.arguments);
    return RunNamedExport(session, options.arguments);
}
