#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>
#include <type_traits>

namespace kelcmd {

class CCommandFamily;

// One C argument of a command export, without its type: the bytes of a value (with the value's
// width) or a pointer.
class ExportArgument {
  public:
    template <class T>
    static ExportArgument Of(T value) noexcept {
        ExportArgument argument;
        if constexpr (std::is_pointer_v<T>) {
            argument.pointer_ = const_cast<void*>(static_cast<const void*>(value));
        } else {
            static_assert(std::is_arithmetic_v<T> && sizeof(T) <= 8);
            std::memcpy(argument.bytes_.data(), &value, sizeof(T));
            argument.size_ = sizeof(T);
        }
        return argument;
    }

    template <class T>
    T As() const noexcept {
        if constexpr (std::is_pointer_v<T>) {
            return static_cast<T>(pointer_);
        } else {
            T value{};
            std::memcpy(&value, bytes_.data(), sizeof(T));
            return value;
        }
    }

    const uint8_t* Bytes() const noexcept { return bytes_.data(); }
    uint32_t Size() const noexcept { return size_; }
    void* Pointer() const noexcept { return pointer_; }

  private:
    std::array<uint8_t, 8> bytes_{};
    uint32_t size_ = 0;
    void* pointer_ = nullptr;
};

// An export's argument as it enters the generic path (the guard check knows this one).
template <class T>
ExportArgument Argument(T value) noexcept {
    return ExportArgument::Of(value);
}

// What the catalogue says about one argument of an export.
struct ExportParameter {
    const char* name;
    // u8 u16 u32 i16 i32 f32 (a value), *u8 ... *f32 (one value written), in, buf (memory).
    const char* code;
    // The send parameter the value or memory is sent as, or -1.
    int sendIndex = -1;
    // The return parameter written to the pointer, or -1.
    int returnIndex = -1;
    // The value is also the answer timeout in ms.
    bool wait = false;
    // A length: the argument whose buffer it measures (-1: none) and the largest length accepted
    // (0: any).
    int sizeOf = -1;
    uint32_t limit = 0;
    // Memory read without a length argument: its size in bytes.
    uint32_t fixedSize = 0;
};

// An export that runs through its own steps instead of the generic path.
using ExportHandler = int32_t (*)(CCommandFamily& family, const char* port, uint8_t slave,
                                  std::string_view command,
                                  std::span<const ExportArgument> arguments);
// Calls the MP_ export itself with type-less arguments (for programs that run exports by name).
using ExportInvoker = int32_t (*)(const char* port, uint8_t slave,
                                  std::span<const ExportArgument> arguments);

// One command export of the catalogue: the MP_ form and its plain form on the current target.
struct CommandExport {
    // The export's name without MP_.
    const char* name;
    // Its catalogue command and family; null for exports written by hand.
    const char* command;
    CCommandFamily& (*family)() noexcept;
    std::span<const ExportParameter> parameters;
    // The return values reach the caller only when the answer carried all of them.
    bool completeRead;
    ExportHandler handler;
    ExportInvoker invoke;
};

// Every command export in the catalogue's order, those written by hand included.
std::span<const CommandExport> CommandExports();
// The export of that name (without MP_), or null.
const CommandExport* FindCommandExport(std::string_view name);
// One line per export: its name, then the codes of its arguments after port and slave
// ("SetProfile u8 f32 f32"). For hosts that bind the exports at run time.
const char* CommandSignatureText();
// One line per argument of every export: export name, argument index, its name, its code, then
// what memory arguments need ("length=I": as many bytes as argument I says, "bytes=N",
// "width-of=I": the width of the system parameter numbered by argument I), "limit=N" for a length
// with a largest value, "wait" for the answer timeout in ms, and "unstacked" for an out-value that
// a stacked call leaves unwritten ("PutString 1 length u32 limit=1022"). For hosts that must check
// the memory they hand the exports.
const char* CommandArgumentText();

// The family of a catalogue export (null `family` is a hand-written export: never run here).
CCommandFamily& FamilyOf(const CommandExport& entry) noexcept;

// The body of every generated MP_ export, inside the command export guard: the buffer checks,
// a copy of the command's prototype for the port and slave, the arguments placed as the catalogue
// says, the execution. 1 on success, 0 on failure (nothing is sent when a check fails).
int32_t RunCommandExport(const CommandExport& entry, const char* port, uint8_t slave,
                         std::initializer_list<ExportArgument> arguments) noexcept;

}  // namespace kelcmd
