#pragma once

#include <string>

namespace kelcmd::studio {

// What the studio's command line chose. Parsed before any window exists, so that --help and
// --version work without a display.
struct StudioOptions {
    std::string device;  // empty: the last device used, else the simulated units
    std::string port = "Com1";
    std::string snapshot;  // a PNG to write instead of staying open
    bool help = false;
    bool version = false;
};

// The --help text: usage, DEVICE, options, --snapshot, environment and exit status.
extern const char* const kStudioHelp;

// The device used when neither the command line nor the last session names one.
inline constexpr const char* kDefaultDevice = "sim:1-3";

// Parses argv; returns an error text naming the argument, or empty on success.
std::string ParseStudioOptions(int argc, char** argv, StudioOptions& options);

}  // namespace kelcmd::studio
