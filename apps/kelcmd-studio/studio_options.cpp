#include "studio_options.h"

#include <optional>

namespace kelcmd::studio {

const char* const kStudioHelp =
    "usage: kelcmd-studio [OPTIONS] [DEVICE]\n"
    "\n"
    "A commissioning cockpit for KelBus units: the units that answer on the port with their live\n"
    "position, velocity, current, axis status, error and warning; a scope of the selected unit;\n"
    "drive controls; a command line that takes commands as kelcmd does; the bus monitor; and the\n"
    "library's dialogs in menus.\n"
    "\n"
    "DEVICE\n"
    "  what the port is connected to: a tty such as /dev/ttyUSB0, or simulated units such as\n"
    "  sim:1-3 (addresses 1 to 3). Default: the device of the last session, else sim:1-3.\n"
    "\n"
    "options:\n"
    "  --port NAME        the port name the studio opens (default Com1)\n"
    "  --device DEVICE    the same as the positional DEVICE\n"
    "  --snapshot FILE.png\n"
    "                     open the port, find the units, move them a little, poll them, write\n"
    "                     the window as a picture to FILE.png and exit; without a display the\n"
    "                     offscreen platform is used\n"
    "  -h, --help         print this help and exit\n"
    "  --version          print the version and exit\n"
    "\n"
    "environment:\n"
    "  DISPLAY, WAYLAND_DISPLAY\n"
    "                     the display the window opens on; --snapshot works without one\n"
    "  QT_QPA_PLATFORM    the Qt platform, e.g. offscreen\n"
    "  XDG_CONFIG_HOME    where the remembered settings are kept (default ~/.config)\n"
    "\n"
    "The last device and the window layout are remembered between sessions (QSettings,\n"
    "organisation KelCmd, application kelcmd-studio).\n"
    "\n"
    "exit status: 0 closed normally or snapshot written, 1 no display, the port failed or the\n"
    "snapshot could not be written, 2 usage error.\n";

std::string ParseStudioOptions(int argc, char** argv, StudioOptions& options) {
    bool deviceGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        // Help and version end the parsing: what follows them is not read.
        options.help = word == "-h" || word == "--help";
        options.version = word == "--version";
        if (options.help || options.version) return {};
        if (word.size() < 2 || word[0] != '-') {
            if (deviceGiven) return "more than one device ('" + word + "')";
            options.device = word;
            deviceGiven = true;
            continue;
        }
        // "--port=Com2" as well as "--port Com2".
        const size_t equals = word.find('=');
        const std::string option = word.substr(0, equals);
        if (option != "--port" && option != "--device" && option != "--snapshot") {
            return "unknown option '" + option + "'";
        }
        std::optional<std::string> value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        }
        if (!value || value->empty()) return "option " + option + " needs a value";
        if (option == "--port") {
            options.port = *value;
        } else if (option == "--snapshot") {
            options.snapshot = *value;
        } else {
            if (deviceGiven) return "more than one device ('" + *value + "')";
            options.device = *value;
            deviceGiven = true;
        }
    }
    return {};
}

}  // namespace kelcmd::studio
