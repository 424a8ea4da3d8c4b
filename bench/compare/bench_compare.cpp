// Figures of this library side by side with libmodbus's RTU master, each against a small
// responder on an identical pseudo-terminal pair at 115200 baud, and of this library on the paced
// simulated line. scripts/bench-compare.sh runs it and adds the system call counts (strace -c).
//
//   bench_compare                      every figure, with ratios
//   bench_compare --only WHO COUNT     COUNT round trips of WHO (kelcmd, kelcmd-rts or modbus)
//                                      and nothing else, for counting system calls
#include <errno.h>
#include <fcntl.h>
#include <modbus/modbus.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "api/built_ins.h"
#include "kelcmd/kelcmd.h"
#include "sim/bus_registry.h"
#include "sim/sim_bus.h"
#include "transport/frame.h"
#include "transport/serial_line.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kPtyBaud = 115200;
constexpr uint8_t kReadPositionCode = 0x30;
constexpr int32_t kPosition = 123456;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A pseudo-terminal whose master side a forked responder serves; the slave path is opened by the
// master under test.
class PtyResponder {
  public:
    explicit PtyResponder(const std::function<void(int master)>& serve) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slavePath_ = ::ptsname(master_);
        child_ = ::fork();
        if (child_ == 0) {
            serve(master_);
            ::_exit(0);
        }
    }
    ~PtyResponder() {
        if (child_ > 0) {
            ::kill(child_, SIGTERM);
            ::waitpid(child_, nullptr, 0);
        }
        if (master_ >= 0) ::close(master_);
    }
    bool Ready() const { return child_ > 0; }
    const std::string& SlavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    std::string slavePath_;
    pid_t child_ = -1;
};

bool ReadFully(int fd, uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, bytes + done, count - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A unit that answers every request with the acknowledge and a ReadPosition answer, in one write
// (a unit that answers at once). A pseudo-terminal carries no ninth bit, so frames are found by
// their length word.
void ServeKelBus(int master) {
    const uint16_t word = kelcmd::LengthWord(4);
    std::vector<uint8_t> reply = {
        0x01, 0, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word), 1, kReadPositionCode};
    for (int shift = 24; shift >= 0; shift -= 8) reply.push_back(uint8_t(kPosition >> shift));
    const uint16_t crc = kelcmd::FrameCrc(std::span<const uint8_t>(reply.data() + 1, 9));
    reply.push_back(static_cast<uint8_t>(crc >> 8));
    reply.push_back(static_cast<uint8_t>(crc));
    uint8_t request[1040];
    for (;;) {
        if (!ReadFully(master, request, 5)) return;
        const size_t rest =
            kelcmd::LengthOf(static_cast<uint16_t>(request[1] << 8 | request[2])) + 2;
        if (!ReadFully(master, request + 5, rest)) return;
        if (::write(master, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
            return;
    }
}

void ServeModbus(int master) {
    modbus_t* server = modbus_new_rtu("/dev/null", kPtyBaud, 'N', 8, 1);
    modbus_mapping_t* mapping = modbus_mapping_new(0, 0, 16, 0);
    if (server == nullptr || mapping == nullptr) return;
    mapping->tab_registers[0] = static_cast<uint16_t>(kPosition >> 16);
    mapping->tab_registers[1] = static_cast<uint16_t>(kPosition);
    modbus_set_slave(server, 1);
    modbus_set_socket(server, master);
    uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
    for (;;) {
        const int length = modbus_receive(server, query);
        if (length > 0) {
            modbus_reply(server, query, length, mapping);
        } else if (length < 0 && errno != EMBBADCRC) {
            break;
        }
    }
    modbus_mapping_free(mapping);
    modbus_free(server);
}

struct RoundTrips {
    uint64_t count = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    bool ok = false;
    double PerSecond() const { return seconds > 0 ? count / seconds : 0; }
    double CpuMicrosEach() const { return count > 0 ? cpuSeconds * 1e6 / count : 0; }
};

// Runs `exchange` until `count` round trips or `seconds` have passed, whichever first.
RoundTrips Measure(const std::function<bool()>& exchange, uint64_t count, double seconds) {
    RoundTrips result;
    for (int i = 0; i < 20; ++i) {  // warm up
        if (!exchange()) return result;
    }
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuSeconds();
    while (result.count < count) {
        if (!exchange()) return result;
        ++result.count;
        if ((result.count & 63) == 0 &&
            std::chrono::duration<double>(Clock::now() - start).count() > seconds) {
            break;
        }
    }
    result.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.ok = true;
    return result;
}

RoundTrips KelCmdOnPty(uint8_t busControl, uint64_t count, double seconds) {
    PtyResponder responder(ServeKelBus);
    if (!responder.Ready()) return {};
    const char* port = "Com90";
    KEB_MapPort(port, responder.SlavePath().c_str());
    if (KEB_InitKelBus(kPtyBaud, port, busControl, 100, 4) != 0) return {};
    RoundTrips result = Measure(
        [&] {
            int32_t position = 0;
            return MP_ReadPosition(port, 1, &position) == 1 && position == kPosition;
        },
        count, seconds);
    KEB_CloseKelBusPort(port);
    KEB_MapPort(port, "");
    return result;
}

RoundTrips ModbusOnPty(uint64_t count, double seconds) {
    PtyResponder responder(ServeModbus);
    if (!responder.Ready()) return {};
    modbus_t* master = modbus_new_rtu(responder.SlavePath().c_str(), kPtyBaud, 'N', 8, 1);
    if (master == nullptr) return {};
    RoundTrips result;
    if (modbus_set_slave(master, 1) == 0 && modbus_connect(master) == 0) {
        result = Measure(
            [&] {
                uint16_t registers[2] = {};
                return modbus_read_registers(master, 0, 2, registers) == 2 &&
                       (int32_t(registers[0]) << 16 | registers[1]) == kPosition;
            },
            count, seconds);
        modbus_close(master);
    }
    modbus_free(master);
    return result;
}

// ---- The paced simulated line ----

struct Paced {
    double measuredMicros = 0;     // per exchange, wall time
    double theoreticalMicros = 0;  // characters * 11 / baud + the mandated gaps
    double cpuMicros = 0;          // per exchange, this thread
    bool ok = false;
};

// `batch` stacked ReadPositions per exchange (1: a single command), `runs` exchanges.
Paced PacedExchange(uint32_t baud, size_t batch, int runs) {
    const std::string busName = "bench-paced-" + std::to_string(baud) + "-" + std::to_string(batch);
    const char* port = "Com91";
    KEB_MapPort(port, ("sim:1,paced,bus=" + busName).c_str());
    Paced result;
    if (KEB_InitKelBus(baud, port, KEB_RTS_CONTROL, 100, 4) != 0) return result;
    auto bus = kelcmd::sim::FindBus(busName);
    std::vector<int32_t> positions(batch);
    auto exchange = [&] {
        if (batch == 1) return MP_ReadPosition(port, 1, positions.data()) == 1;
        MP_StartStackingCommands(port, 1);
        for (int32_t& position : positions) MP_ReadPosition(port, 1, &position);
        return MP_ExecuteCommandStack(port, 1) == 1;
    };
    for (int i = 0; i < 3; ++i) exchange();  // warm up
    bus->ClearWireLog();
    const kelcmd::sim::BusCounters before = bus->Counters();
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuSeconds();
    bool ok = true;
    for (int i = 0; i < runs; ++i) ok = exchange() && ok;
    result.cpuMicros = (ThreadCpuSeconds() - cpuStart) * 1e6 / runs;
    result.measuredMicros =
        std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;

    const kelcmd::sim::BusCounters after = bus->Counters();
    size_t frames = 0;
    for (const auto& byte : bus->WireLog()) frames += byte.ninthBit ? 1 : 0;
    const double characters = static_cast<double>(after.bytesWritten - before.bytesWritten +
                                                  after.bytesRead - before.bytesRead) /
                              runs;
    const uint32_t gap = kelcmd::CSerialLine::CharacterGap(baud);
    const double gapsPerFrame = gap + 1000.0 + gap;  // RTS control: address, CRC, RTS off
    result.theoreticalMicros =
        characters * 11.0 * 1e6 / baud + gapsPerFrame * static_cast<double>(frames) / runs;
    result.ok = ok;
    KEB_CloseKelBusPort(port);
    KEB_MapPort(port, "");
    kelcmd::sim::RemoveBus(busName);
    return result;
}

constexpr int kRounds = 5;

double Median(const std::vector<RoundTrips>& runs, double (RoundTrips::*figure)() const) {
    std::vector<double> values;
    for (const RoundTrips& run : runs) values.push_back((run.*figure)());
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int OnlyRoundTrips(const std::string& who, uint64_t count) {
    RoundTrips result;
    if (who == "kelcmd") result = KelCmdOnPty(KEB_AUTO_CONTROL, count, 1e9);
    if (who == "kelcmd-rts") result = KelCmdOnPty(KEB_RTS_CONTROL, count, 1e9);
    if (who == "modbus") result = ModbusOnPty(count, 1e9);
    if (!result.ok || result.count != count) {
        std::fprintf(stderr, "bench_compare: %s failed\n", who.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    kelcmd::RegisterBuiltIns();
    ::signal(SIGPIPE, SIG_IGN);
    if (argc == 4 && std::strcmp(argv[1], "--only") == 0) {
        return OnlyRoundTrips(argv[2], std::strtoull(argv[3], nullptr, 10));
    }

    std::printf(
        "Round trips on a pseudo-terminal pair at %u baud (ReadPosition / read of two "
        "registers), responder in another process; median of %d alternating rounds:\n",
        kPtyBaud, kRounds);
    std::vector<RoundTrips> kel;
    std::vector<RoundTrips> kelRts;
    std::vector<RoundTrips> modbus;
    for (int round = 0; round < kRounds; ++round) {
        kel.push_back(KelCmdOnPty(KEB_AUTO_CONTROL, 100000, 1.0));
        kelRts.push_back(KelCmdOnPty(KEB_RTS_CONTROL, 100000, 0.5));
        modbus.push_back(ModbusOnPty(100000, 1.0));
        if (!kel.back().ok || !kelRts.back().ok || !modbus.back().ok) {
            std::fprintf(stderr, "bench_compare: a round trip failed\n");
            return 1;
        }
    }
    const double kelRate = Median(kel, &RoundTrips::PerSecond);
    const double kelCpu = Median(kel, &RoundTrips::CpuMicrosEach);
    const double modbusRate = Median(modbus, &RoundTrips::PerSecond);
    const double modbusCpu = Median(modbus, &RoundTrips::CpuMicrosEach);
    std::printf("  %-28s %10.0f round trips/s  %7.1f us CPU each\n", "kelcmd, AUTO_CONTROL",
                kelRate, kelCpu);
    std::printf("  %-28s %10.0f round trips/s  %7.1f us CPU each\n", "kelcmd, RTS_CONTROL",
                Median(kelRts, &RoundTrips::PerSecond), Median(kelRts, &RoundTrips::CpuMicrosEach));
    std::printf("  %-28s %10.0f round trips/s  %7.1f us CPU each\n", "libmodbus RTU", modbusRate,
                modbusCpu);
    std::printf(
        "  ratio kelcmd (AUTO_CONTROL) / libmodbus: round trips %.2f, CPU per exchange %.2f\n",
        kelRate / modbusRate, kelCpu / modbusCpu);

    std::printf("\nPaced simulated line, RTS control, ReadPosition (measured / theoretical):\n");
    for (uint32_t baud : {19200u, 57600u}) {
        for (size_t batch : {size_t{1}, size_t{20}}) {
            const Paced paced = PacedExchange(baud, batch, batch == 1 ? 200 : 50);
            if (!paced.ok) {
                std::fprintf(stderr, "bench_compare: paced exchange failed\n");
                return 1;
            }
            std::printf("  %5u baud, %-16s %8.0f us / %8.0f us = %.3f   %6.1f us CPU\n", baud,
                        batch == 1 ? "single command" : "batch of 20", paced.measuredMicros,
                        paced.theoreticalMicros, paced.measuredMicros / paced.theoreticalMicros,
                        paced.cpuMicros);
        }
    }
    return 0;
}
