// This unit sees the kernel's struct termios, not the C library's; it must not include <termios.h>.
#include "platform/kernel_line_record.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace kelcmd {
namespace {

using KernelTermios = struct termios;
static_assert(sizeof(KernelTermios) <= 64, "the kernel's line record does not fit");

KernelTermios Unpack(const std::array<unsigned char, 64>& bytes) {
    KernelTermios record;
    std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

}  // namespace

std::optional<KernelLineRecord> KernelLineRecord::Read(int fd) {
    KernelTermios record{};
    if (::syscall(SYS_ioctl, fd, TCGETS, &record) != 0) return std::nullopt;
    KernelLineRecord result;
    std::memcpy(result.bytes_.data(), &record, sizeof record);
    return result;
}

bool KernelLineRecord::Write(int fd) const {
    const KernelTermios record = Unpack(bytes_);
    return ::syscall(SYS_ioctl, fd, TCSETS, &record) == 0;
}

KernelLineRecord KernelLineRecord::WithNinthBit(bool mark) const {
    KernelTermios record = Unpack(bytes_);
    record.c_cflag |= PARENB | CMSPAR;
    if (mark) {
        record.c_cflag |= PARODD;
    } else {
        record.c_cflag &= ~static_cast<tcflag_t>(PARODD);
    }
    KernelLineRecord result;
    std::memcpy(result.bytes_.data(), &record, sizeof record);
    return result;
}

}  // namespace kelcmd
