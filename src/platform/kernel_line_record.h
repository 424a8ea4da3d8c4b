#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kelcmd {

// A tty's line record in the kernel's own layout, read and written with one ioctl each. The C
// library's tcsetattr reads the record before and after every write to check it (three calls for
// one change); a serial device checks its record once at open and afterwards switches the parity
// of the ninth bit with a single write of a record prepared here.
class KernelLineRecord {
  public:
    // The record in force on `fd`; none when `fd` is not a terminal.
    static std::optional<KernelLineRecord> Read(int fd);
    // Applies the record; false with errno set when the kernel refuses it.
    bool Write(int fd) const;

    // This record with the ninth bit as mark (set) or space (clear) parity.
    KernelLineRecord WithNinthBit(bool mark) const;

  private:
    KernelLineRecord() = default;
    alignas(8) std::array<unsigned char, 64> bytes_{};
};

}  // namespace kelcmd
