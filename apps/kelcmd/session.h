#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "frame_trace.h"
#include "transport/protocol_constants.h"

namespace kelcmd::app {

// What the command line chose: the port, its device, the slave and how frames are traced.
struct Options {
    std::string port = "Com1";
    std::string device;  // empty: KELCMD_PORTS or the default device of the port name
    uint32_t baud = 19200;
    uint32_t timeout = 100;
    bool timeoutGiven = false;
    uint8_t slave = 1;
    bool trace = false;
    std::string traceFile;  // empty: no JSON trace
    bool help = false;
    bool version = false;
    std::vector<std::string> arguments;  // the command and its arguments
};

// Parses the global options; the first word that is not an option starts the command. Returns an
// error text naming the argument, or empty on success.
std::string ParseOptions(int argc, char** argv, Options& options);

// The opened port for the length of one program run.
class Session {
  public:
    explicit Session(const Options& options);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Opens the trace file and the port through the exports, warning about device texts that the
    // library ignores; prints the reason and returns false when something fails.
    bool Open();
    const Options& options() const { return options_; }
    // The device the port really opened: the mapped one, or the one its name stands for.
    const std::string& device() const { return device_; }

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    Options options_;
    std::string device_;
    std::unique_ptr<std::FILE, CloseFile> traceFile_;
    std::unique_ptr<FrameTrace> trace_;
    bool open_ = false;
};

}  // namespace kelcmd::app
