#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kelcmd {

class CKelCommand;

// What the command families need of the command stack: whether the calling thread is collecting
// commands for a port and slave, and handing a command over to that collection instead of sending
// it. The batch implementation provides the real stack.
class CCommandStack {
  public:
    virtual ~CCommandStack() = default;

    // True when the calling thread collects commands for (port, slave); the port name is compared
    // without regard to letter case.
    virtual bool IsStacking(const std::string& port, uint8_t slave) const = 0;
    // Takes the command into the calling thread's collecting batch that matches its port name and
    // destination. 1, or 0 when none matches (the command is then discarded).
    virtual int Append(std::unique_ptr<CKelCommand> command) = 0;
};

}  // namespace kelcmd
