#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame_trace.h"

namespace kelcmd::app {

// What the command line chose: the port, its device, the slave and whether frames are traced.
struct Options {
    std::string port = "Com1";
    std::string device;  // empty: KELCMD_PORTS or the default device of the port name
    uint32_t baud = 19200;
    uint32_t timeout = 100;
    uint8_t slave = 1;
    bool trace = false;
    std::vector<std::string> arguments;  // the command and its arguments
};

// Parses the global options; the first word that is not an option starts the command. Returns an
// error text, or empty on success.
std::string ParseOptions(int argc, char** argv, Options& options);

// The opened port for the length of one program run.
class Session {
  public:
    explicit Session(const Options& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the port through the exports; prints the reason and returns false when it fails.
    bool Open();
    const Options& options() const { return options_; }

  private:
    Options options_;
    std::unique_ptr<FrameTrace> trace_;
    bool open_ = false;
};

}  // namespace kelcmd::app
